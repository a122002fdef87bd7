#include "engine/core/save_journal.h"

#include <algorithm>
#include <cstring>


namespace vk {
namespace {

// The journal file: a header, then one piece per run of changed sectors,
// each its place, its length, the checksum of the bytes the save writes
// there, and the old bytes it overwrites.
constexpr uint8_t kMagic[8] = {'V', 'K', 'J', 'O', 'U', 'R', 'N', 'L'};
constexpr uint32_t kVersion = 2;  // 1 summed in one lane
constexpr size_t kMagicAt = 0;
constexpr size_t kVersionAt = 8;
constexpr size_t kPieceCountAt = 12;
constexpr size_t kImageSizeAt = 16;       // 64 bits
constexpr size_t kPayloadLengthAt = 24;   // 64 bits: the bytes after the header
constexpr size_t kPayloadSumAt = 32;      // 64 bits
constexpr size_t kHeaderSumAt = 40;       // 64 bits, of the 40 bytes before it
constexpr size_t kHeaderSize = 48;
constexpr size_t kPieceOffsetAt = 0;      // 64 bits
constexpr size_t kPieceLengthAt = 8;
constexpr size_t kPieceNewSumAt = 16;     // 64 bits; bytes 12 to 15 are 0
constexpr size_t kPieceHeaderSize = 24;

// Changes are found and journalled in runs of whole 512-byte blocks of the
// file, counted from its start.
constexpr uint32_t kBlock = 512;
// Old bytes are read for comparing in pieces of this size.
constexpr uint32_t kReadChunk = 1u << 20;
// A journal is never larger than the image it belongs to and its headers;
// one larger than this is no journal of ours.
constexpr uint64_t kMaxJournal = 0x7FFFFFFFull;

void Store64(uint8_t* p, uint64_t v) {
    Store32(p, static_cast<uint32_t>(v));
    Store32(p + 4, static_cast<uint32_t>(v >> 32));
}
uint64_t Load64(const uint8_t* p) { return Load32(p) | (uint64_t{Load32(p + 4)} << 32); }

// Running sums over the bytes as pairs of little-endian 32-bit words, as
// SQLite's write-ahead log sums its frames, but in four lanes of their own
// (each takes every fourth pair; the last pairs padded with zeros) that the
// processor adds side by side instead of one after the other: a torn or
// missing write changes them, at a fraction of a CRC's cost over the
// megabytes a large save journals. The lanes are folded into one value.
// Bytes may come in several calls, each a multiple of 32 bytes but the last.
class RunningSum {
public:
    void Add(const uint8_t* bytes, size_t count) {
        size_t i = 0;
        for (; i + kStride <= count; i += kStride) Step(bytes + i);
        if (i < count) {
            uint8_t tail[kStride] = {};
            std::memcpy(tail, bytes + i, count - i);
            Step(tail);
        }
    }
    uint64_t Value() const {
        uint64_t folded = 0;
        for (size_t k = 0; k < kLanes; ++k) {
            folded = (folded * 0x100000001B3ull) ^ ((uint64_t{s2_[k]} << 32) | s1_[k]);
        }
        return folded;
    }

private:
    static constexpr size_t kLanes = 4;
    static constexpr size_t kStride = 8 * kLanes;
    void Step(const uint8_t* p) {
        for (size_t k = 0; k < kLanes; ++k) {
            s1_[k] += Load32(p + 8 * k) + s2_[k];
            s2_[k] += Load32(p + 8 * k + 4) + s1_[k];
        }
    }
    uint32_t s1_[kLanes] = {};
    uint32_t s2_[kLanes] = {};
};

uint64_t Checksum(const uint8_t* bytes, size_t count) {
    RunningSum sum;
    sum.Add(bytes, count);
    return sum.Value();
}

struct Piece {
    uint64_t offset = 0;
    uint32_t length = 0;
    size_t oldAt = 0;  // where its old bytes start in the journal
    RunningSum newSum; // of its new bytes, summed while they are compared
};

// Sorted, merged and widened to whole blocks inside the file.
std::vector<ByteRange> WholeBlocks(std::vector<ByteRange> ranges, uint64_t size) {
    std::sort(ranges.begin(), ranges.end(), [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });
    std::vector<ByteRange> blocks;
    for (const ByteRange& range : ranges) {
        if (range.length == 0 || range.offset >= size) continue;
        const uint64_t first = range.offset / kBlock * kBlock;
        const uint64_t end = std::min<uint64_t>(size, (range.offset + range.length + kBlock - 1) / kBlock * kBlock);
        if (!blocks.empty() && first <= blocks.back().offset + blocks.back().length) {
            blocks.back().length = std::max(blocks.back().length, end - blocks.back().offset);
        } else {
            blocks.push_back({first, end - first});
        }
    }
    return blocks;
}

// Compares the candidates with the file and lays the journal out as it goes:
// room for the header, then for every run of changed blocks its piece
// header and old bytes. FinishJournal fills the headers in.
uint32_t CollectChanges(const HostFile& image, const uint8_t* data, uint32_t size,
                        const std::vector<ByteRange>& candidates, std::vector<uint8_t>& journal,
                        std::vector<Piece>& pieces) {
    const std::vector<ByteRange> blocks = WholeBlocks(candidates, size);
    uint64_t most = kPieceHeaderSize;
    for (const ByteRange& range : blocks) most += range.length + range.length / kBlock * kPieceHeaderSize;
    journal.reserve(static_cast<size_t>(std::min<uint64_t>(most, kMaxJournal)) + kHeaderSize);
    journal.assign(kHeaderSize, 0);
    // The old bytes are read straight into the journal, a piece header's
    // room before them, and the unchanged blocks squeezed out where they
    // lie: no buffer of their own to fill and copy from. A header is only
    // needed after a dropped block, which left more room than it takes.
    for (const ByteRange& range : blocks) {
        for (uint64_t at = range.offset; at < range.offset + range.length;) {
            const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(kReadChunk, range.offset + range.length - at));
            const size_t base = journal.size();
            journal.resize(base + kPieceHeaderSize + count);
            const size_t readAt = base + kPieceHeaderSize;
            uint32_t done = 0;
            if (const uint32_t code = ReadHostFileAt(image, at, journal.data() + readAt, count, done); code != 0) {
                return code;
            }
            if (done != count) {
                return HostCodeFor(HostFailure::kEndOfFile);  // the file is shorter than when it was read
            }
            size_t write = base;
            for (uint32_t block = 0; block < count; block += kBlock) {
                const uint32_t length = std::min(kBlock, count - block);
                const uint64_t offset = at + block;
                if (std::memcmp(journal.data() + readAt + block, data + offset, length) == 0) continue;
                if (pieces.empty() || pieces.back().offset + pieces.back().length != offset) {
                    write += kPieceHeaderSize;
                    pieces.push_back({offset, 0, write, {}});
                }
                if (write != readAt + block) {
                    std::memmove(journal.data() + write, journal.data() + readAt + block, length);
                }
                pieces.back().length += length;
                pieces.back().newSum.Add(data + offset, length);
                write += length;
            }
            journal.resize(write);
            at += count;
        }
    }
    return 0;
}

// Fills in the piece headers and the journal's header.
void FinishJournal(std::vector<uint8_t>& journal, const std::vector<Piece>& pieces, uint32_t size) {
    for (const Piece& piece : pieces) {
        uint8_t* head = journal.data() + piece.oldAt - kPieceHeaderSize;
        Store64(head + kPieceOffsetAt, piece.offset);
        Store32(head + kPieceLengthAt, piece.length);
        Store32(head + kPieceLengthAt + 4, 0);
        Store64(head + kPieceNewSumAt, piece.newSum.Value());
    }
    uint8_t* header = journal.data();
    std::memcpy(header + kMagicAt, kMagic, sizeof kMagic);
    Store32(header + kVersionAt, kVersion);
    Store32(header + kPieceCountAt, static_cast<uint32_t>(pieces.size()));
    Store64(header + kImageSizeAt, size);
    Store64(header + kPayloadLengthAt, journal.size() - kHeaderSize);
    Store64(header + kPayloadSumAt, Checksum(journal.data() + kHeaderSize, journal.size() - kHeaderSize));
    Store64(header + kHeaderSumAt, Checksum(header, kHeaderSumAt));
}

// Puts the old bytes of every piece back and flushes them.
uint32_t WriteOldBytes(const HostFile& image, const std::vector<uint8_t>& journal, const std::vector<Piece>& pieces) {
    for (const Piece& piece : pieces) {
        if (const uint32_t code = WriteHostFileAt(image, piece.offset, journal.data() + piece.oldAt, piece.length)) {
            return code;
        }
    }
    return FlushHostFile(image);
}

// A journal that is done with goes; where it cannot be removed (a shared
// folder may keep another user's file), its header is wiped instead, which
// leaves nothing an opening would act on.
uint32_t RetireJournal(const std::string& path, const HostFile* open) {
    if (DeleteHostFile(path) == 0) {
        return 0;
    }
    HostFile wiped;
    if (open == nullptr || !open->IsOpen()) {
        if (const uint32_t code = OpenHostFile(path, kAccessWrite, kShareNone, Disposition::kOpenExisting, 0, wiped)) {
            return code;
        }
        open = &wiped;
    }
    const uint8_t zeros[kHeaderSize] = {};
    if (const uint32_t code = WriteHostFileAt(*open, 0, zeros, kHeaderSize)) {
        return code;
    }
    return FlushHostFile(*open);
}

// Reads and checks a journal: false when it is not whole (its save never
// began to write the image) or not one of ours for an image of `imageSize`.
bool ParseJournal(const std::vector<uint8_t>& journal, uint64_t imageSize, std::vector<Piece>& pieces) {
    if (journal.size() < kHeaderSize || std::memcmp(journal.data() + kMagicAt, kMagic, sizeof kMagic) != 0 ||
        Load64(journal.data() + kHeaderSumAt) != Checksum(journal.data(), kHeaderSumAt) ||
        Load32(journal.data() + kVersionAt) != kVersion ||
        Load64(journal.data() + kPayloadLengthAt) != journal.size() - kHeaderSize ||
        Load64(journal.data() + kPayloadSumAt) != Checksum(journal.data() + kHeaderSize, journal.size() - kHeaderSize) ||
        Load64(journal.data() + kImageSizeAt) != imageSize) {
        return false;
    }
    const uint32_t count = Load32(journal.data() + kPieceCountAt);
    size_t at = kHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (journal.size() - at < kPieceHeaderSize) return false;
        Piece piece;
        piece.offset = Load64(journal.data() + at + kPieceOffsetAt);
        piece.length = Load32(journal.data() + at + kPieceLengthAt);
        piece.oldAt = at + kPieceHeaderSize;
        if (journal.size() - piece.oldAt < piece.length || piece.offset > imageSize ||
            imageSize - piece.offset < piece.length) {
            return false;
        }
        pieces.push_back(piece);
        at = piece.oldAt + piece.length;
    }
    return at == journal.size();
}

// True when the image holds every piece's new bytes: the save had finished
// and only the journal's removal was lost.
bool HoldsNewBytes(const HostFile& image, const std::vector<uint8_t>& journal, const std::vector<Piece>& pieces) {
    std::vector<uint8_t> now;
    for (const Piece& piece : pieces) {
        now.resize(piece.length);
        uint32_t done = 0;
        if (ReadHostFileAt(image, piece.offset, now.data(), piece.length, done) != 0 || done != piece.length ||
            Checksum(now.data(), now.size()) != Load64(journal.data() + piece.oldAt - kPieceHeaderSize + kPieceNewSumAt)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string JournalPathFor(const std::string& imagePath) { return ResolveHostPath(imagePath) + "-journal"; }

JournalSave SaveInPlace(const HostFile& image, const std::string& journalPath, const uint8_t* data, uint32_t size,
                        const std::vector<ByteRange>& candidates) {
    JournalSave result;
    std::vector<uint8_t> journal;
    std::vector<Piece> pieces;
    if (const uint32_t code = CollectChanges(image, data, size, candidates, journal, pieces)) {
        result.stage = JournalSave::Stage::kImage;
        result.hostCode = code;
        return result;
    }
    if (pieces.empty()) {
        return result;
    }
    FinishJournal(journal, pieces, size);

    HostFile file;
    uint32_t code = OpenHostFile(journalPath, kAccessRead | kAccessWrite, kShareNone, Disposition::kCreateAlways,
                                 kHostNormal, file);
    if (code != 0) {
        result.stage = JournalSave::Stage::kNoJournal;
        result.hostCode = code;
        return result;
    }
    code = WriteHostFileAt(file, 0, journal.data(), static_cast<uint32_t>(journal.size()));
    if (code == 0) code = FlushHostFile(file);
    if (code == 0) code = FlushHostFolderOf(journalPath);
    if (code != 0) {
        file.Close();
        DeleteHostFile(journalPath);
        result.stage = JournalSave::Stage::kJournal;
        result.hostCode = code;
        return result;
    }

    for (const Piece& piece : pieces) {
        code = WriteHostFileAt(image, piece.offset, data + piece.offset, piece.length);
        if (code != 0) break;
        result.bytesWritten += piece.length;
    }
    if (code == 0) code = FlushHostFile(image);
    if (code != 0) {
        // Put the old bytes back now; where even that fails, the journal
        // stays for the next opening to roll back.
        if (WriteOldBytes(image, journal, pieces) == 0) {
            RetireJournal(journalPath, &file);
        }
        result.stage = JournalSave::Stage::kImage;
        result.hostCode = code;
        return result;
    }
    // The new bytes are on the device: a journal whose removal a crash
    // undoes is known as finished by the next opening (every piece holds
    // its new bytes) and removed, so the folder is not flushed again.
    RetireJournal(journalPath, &file);
    return result;
}

JournalRecovery RecoverImage(const HostFile& image, const std::string& journalPath, bool writable) {
    JournalRecovery recovery;
    HostFile file;
    uint32_t code = OpenHostFile(journalPath, kAccessRead, kShareRead, Disposition::kOpenExisting, 0, file);
    if (code != 0) {
        const HostFailure failure = ClassifyHostCode(code);
        if (failure != HostFailure::kNotFound && writable) {
            recovery.found = JournalRecovery::Found::kFailed;
            recovery.hostCode = code;
            recovery.path = journalPath;
        }
        return recovery;
    }
    uint64_t journalSize = 0;
    uint64_t imageSize = 0;
    std::vector<uint8_t> journal;
    code = HostFileSize(file, journalSize);
    if (code == 0) code = HostFileSize(image, imageSize);
    if (code == 0 && journalSize <= kMaxJournal) {
        journal.resize(static_cast<size_t>(journalSize));
        uint32_t done = 0;
        code = ReadHostFileAt(file, 0, journal.data(), static_cast<uint32_t>(journalSize), done);
        if (code == 0 && done != journalSize) journal.resize(done);
    }
    file.Close();
    if (code != 0) {
        if (writable) {
            recovery.found = JournalRecovery::Found::kFailed;
            recovery.hostCode = code;
            recovery.path = journalPath;
        }
        return recovery;
    }
    std::vector<Piece> pieces;
    if (!ParseJournal(journal, imageSize, pieces) || HoldsNewBytes(image, journal, pieces)) {
        // A journal that is not whole was still being written when its save
        // broke off, before the image was touched; one whose pieces the image
        // already holds belongs to a save that had finished. Either way the
        // image is as a save left it, and the journal says nothing more.
        if (writable) RetireJournal(journalPath, nullptr);
        return recovery;
    }
    if (!writable) {
        recovery.found = JournalRecovery::Found::kReadOnly;
        for (const Piece& piece : pieces) {
            const auto from = journal.begin() + static_cast<std::ptrdiff_t>(piece.oldAt);
            recovery.restore.push_back({piece.offset, std::vector<uint8_t>(from, from + piece.length)});
        }
        return recovery;
    }
    if ((code = WriteOldBytes(image, journal, pieces)) != 0) {
        recovery.found = JournalRecovery::Found::kFailed;
        recovery.hostCode = code;
        return recovery;
    }
    if ((code = RetireJournal(journalPath, nullptr)) != 0) {
        recovery.found = JournalRecovery::Found::kFailed;
        recovery.hostCode = code;
        recovery.path = journalPath;
        return recovery;
    }
    recovery.found = JournalRecovery::Found::kRolledBack;
    return recovery;
}

}  // namespace vk
