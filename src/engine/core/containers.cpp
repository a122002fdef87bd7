// Gzip and zip containers, read and written over zlib's raw deflate.
//
// Zip is read and written here rather than through a library: none of the
// maintained zip libraries the package registries offer builds for both the
// native and the mingw targets (libzip has no mingw package), and replacing
// one member while every other member's bytes stay as they were needs only
// the local headers, the central directory and the end record.
#include "engine/core/containers.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/strings/string_ids.h"

namespace vk {
namespace {

// Deflate never makes more than about 1032 bytes of one byte of input; a
// container whose data could not fill the space it claims gets no more.
constexpr uint64_t kMostInflateRatio = 1032;
constexpr uint64_t kFirstChunk = 64 * 1024;
constexpr size_t kMostEndCommentSearch = 0xFFFF + kZipEndSize;

// The unpacked bytes, in a block grown as the data fills it, never past `limit`.
class Output {
public:
    explicit Output(uint64_t limit) : limit_(limit) {}

    bool Reserve(uint64_t capacity) {
        capacity = std::min(capacity, limit_);
        if (capacity <= block_.size() && block_.size() != 0) return true;
        ByteBlock bigger;
        if (!bigger.Allocate(static_cast<size_t>(capacity))) return false;
        if (used_ != 0) std::memcpy(bigger.data(), block_.data(), static_cast<size_t>(used_));
        block_ = std::move(bigger);
        return true;
    }
    bool Full() const { return used_ >= limit_; }
    uint8_t* End() { return block_.data() + used_; }
    uint64_t Room() const { return block_.size() - used_; }
    uint64_t Used() const { return used_; }
    void Advance(uint64_t count) { used_ += count; }
    const uint8_t* Data() const { return block_.data(); }
    uint64_t Capacity() const { return block_.size(); }

    // The block cut to the bytes used.
    bool Take(ByteBlock& image) {
        if (used_ != block_.size()) {
            ByteBlock exact;
            if (!exact.Allocate(static_cast<size_t>(used_))) return false;
            if (used_ != 0) std::memcpy(exact.data(), block_.data(), static_cast<size_t>(used_));
            block_ = std::move(exact);
        }
        image = std::move(block_);
        return true;
    }

private:
    ByteBlock block_;
    uint64_t used_ = 0;
    uint64_t limit_;
};

// Inflates the raw deflate stream at the start of `in` onto `out`, `hint`
// bytes expected; `consumed` is the stream's length.
ContainerFault Inflate(const uint8_t* in, size_t count, uint64_t hint, Output& out, size_t& consumed) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return ContainerFault::kOutOfMemory;
    const uint64_t most = out.Used() + count * kMostInflateRatio + 1;
    if (!out.Reserve(std::max<uint64_t>(out.Used() + std::min(hint, most), 1))) {
        inflateEnd(&stream);
        return ContainerFault::kOutOfMemory;
    }
    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = static_cast<uInt>(count);
    ContainerFault fault = ContainerFault::kNone;
    for (;;) {
        if (out.Room() == 0) {
            if (out.Full()) {
                // At the limit the stream may still end without another byte.
                uint8_t spare = 0;
                stream.next_out = &spare;
                stream.avail_out = 1;
                if (inflate(&stream, Z_NO_FLUSH) != Z_STREAM_END || stream.avail_out == 0) {
                    fault = ContainerFault::kTooLarge;
                }
                break;
            }
            if (!out.Reserve(std::max(out.Capacity() * 2, kFirstChunk))) {
                fault = ContainerFault::kOutOfMemory;
                break;
            }
        }
        const uInt room = static_cast<uInt>(std::min<uint64_t>(out.Room(), 1u << 30));
        stream.next_out = out.End();
        stream.avail_out = room;
        const int status = inflate(&stream, Z_NO_FLUSH);
        out.Advance(room - stream.avail_out);
        if (status == Z_STREAM_END) break;
        if (status == Z_MEM_ERROR) {
            fault = ContainerFault::kOutOfMemory;
            break;
        }
        if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_ERROR) {
            fault = ContainerFault::kCorrupt;
            break;
        }
        if (stream.avail_in == 0 && stream.avail_out != 0) {
            fault = ContainerFault::kTruncated;
            break;
        }
    }
    consumed = count - stream.avail_in;
    inflateEnd(&stream);
    return fault;
}

bool Deflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    const size_t start = out.size();
    out.resize(start + deflateBound(&stream, static_cast<uLong>(size)));
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out.data() + start;
    stream.avail_out = static_cast<uInt>(out.size() - start);
    const int status = deflate(&stream, Z_FINISH);
    out.resize(start + stream.total_out);
    deflateEnd(&stream);
    return status == Z_STREAM_END;
}

uint32_t Crc(const uint8_t* data, size_t size) {
    uLong crc = crc32(0, Z_NULL, 0);
    while (size != 0) {
        const uInt part = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
        crc = crc32(crc, data, part);
        data += part;
        size -= part;
    }
    return static_cast<uint32_t>(crc);
}

// ---- gzip -----------------------------------------------------------------

// The length of the member header at `p`, or a fault.
ContainerFault GzipHeaderLength(const uint8_t* p, size_t count, size_t& length) {
    if (count < kGzipHeaderSize) return ContainerFault::kTruncated;
    if (p[0] != kGzipId1 || p[1] != kGzipId2 || p[2] != kGzipDeflate || (p[kGzipFlags] & kGzipFlagReserved) != 0) {
        return ContainerFault::kCorrupt;
    }
    const uint8_t flags = p[kGzipFlags];
    size_t at = kGzipHeaderSize;
    if (flags & kGzipFlagExtra) {
        if (count - at < 2) return ContainerFault::kTruncated;
        const size_t extra = Load16(p + at);
        if (count - at - 2 < extra) return ContainerFault::kTruncated;
        at += 2 + extra;
    }
    for (uint8_t text : {kGzipFlagName, kGzipFlagComment}) {
        if (flags & text) {
            const void* end = std::memchr(p + at, 0, count - at);
            if (end == nullptr) return ContainerFault::kTruncated;
            at = static_cast<size_t>(static_cast<const uint8_t*>(end) - p) + 1;
        }
    }
    if (flags & kGzipFlagHeaderCrc) {
        if (count - at < 2) return ContainerFault::kTruncated;
        if (Load16(p + at) != (Crc(p, at) & 0xFFFF)) return ContainerFault::kCorrupt;
        at += 2;
    }
    length = at;
    return ContainerFault::kNone;
}

// Every member of the file, one after another, as gzip itself reads them;
// zero bytes after the last (a tape's padding) are no member.
ContainerFault UnpackGzip(const uint8_t* bytes, size_t count, uint64_t limit, ByteBlock& image) {
    Output out(limit);
    size_t at = 0;
    do {
        size_t header = 0;
        ContainerFault fault = GzipHeaderLength(bytes + at, count - at, header);
        if (fault != ContainerFault::kNone) return fault;
        at += header;
        const uint64_t before = out.Used();
        // A single member's ISIZE is the size unpacked, modulo 2^32.
        const uint64_t hint = count - at >= kGzipTrailerSize ? Load32(bytes + count - 4) : 0;
        size_t consumed = 0;
        fault = Inflate(bytes + at, count - at, hint, out, consumed);
        if (fault != ContainerFault::kNone) return fault;
        at += consumed;
        if (count - at < kGzipTrailerSize) return ContainerFault::kTruncated;
        const uint64_t length = out.Used() - before;
        if (Load32(bytes + at) != Crc(out.Data() + before, static_cast<size_t>(length)) ||
            Load32(bytes + at + 4) != static_cast<uint32_t>(length)) {
            return ContainerFault::kCorrupt;
        }
        at += kGzipTrailerSize;
        while (at < count && bytes[at] == 0) ++at;
    } while (at < count);
    return out.Take(image) ? ContainerFault::kNone : ContainerFault::kOutOfMemory;
}

ContainerFault RepackGzip(const uint8_t* old, size_t count, const uint8_t* image, size_t size,
                          std::vector<uint8_t>& out) {
    size_t header = 0;
    const ContainerFault fault = GzipHeaderLength(old, count, header);
    if (fault != ContainerFault::kNone) return fault;
    out.assign(old, old + header);
    if (!Deflate(image, size, out)) return ContainerFault::kOutOfMemory;
    uint8_t trailer[kGzipTrailerSize];
    Store32(trailer, Crc(image, size));
    Store32(trailer + 4, static_cast<uint32_t>(size));
    out.insert(out.end(), trailer, trailer + kGzipTrailerSize);
    return ContainerFault::kNone;
}

// ---- zip ------------------------------------------------------------------

struct ZipEntry {
    std::string name;
    size_t central = 0;       // its directory record
    size_t centralLength = 0;
    uint32_t local = 0;       // its local header
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
};

struct ZipDirectory {
    size_t end = 0;           // the end record
    uint32_t centralOffset = 0;
    uint32_t centralSize = 0;
    std::vector<ZipEntry> entries;
};

bool IsFile(const ZipEntry& entry) { return entry.name.empty() || entry.name.back() != '/'; }

bool LooksLikeImage(const std::string& name) {
    static const char* const kImageEndings[] = {".dsk", ".di1", ".di2", ".flp", ".img", ".ima"};
    for (const char* ending : kImageEndings) {
        const size_t n = std::strlen(ending);
        if (name.size() > n && std::equal(name.end() - static_cast<std::ptrdiff_t>(n), name.end(), ending,
                                          [](char a, char b) { return (a | 0x20) == b; })) {
            return true;
        }
    }
    return false;
}

ContainerFault ReadZipDirectory(const uint8_t* bytes, size_t count, ZipDirectory& dir) {
    if (count < kZipEndSize) return ContainerFault::kTruncated;
    // The end record is the last thing in the file, its comment after it.
    size_t end = count - kZipEndSize;
    const size_t lowest = count > kMostEndCommentSearch ? count - kMostEndCommentSearch : 0;
    for (;; --end) {
        if (Load32(bytes + end) == kZipEndSignature && end + kZipEndSize + Load16(bytes + end + kZipEndCommentLength) == count) {
            break;
        }
        if (end == lowest) return ContainerFault::kTruncated;
    }
    const uint8_t* e = bytes + end;
    const uint16_t entries = Load16(e + kZipEndEntries);
    dir.end = end;
    dir.centralOffset = Load32(e + kZipEndCentralOffset);
    dir.centralSize = Load32(e + kZipEndCentralSize);
    if (Load16(e + kZipEndDisk) != 0 || Load16(e + kZipEndCentralDisk) != 0 ||
        Load16(e + kZipEndDiskEntries) != entries || entries == 0xFFFF || dir.centralOffset == 0xFFFFFFFF ||
        dir.centralSize == 0xFFFFFFFF) {
        return ContainerFault::kUnsupported;
    }
    if (dir.centralOffset > end || end - dir.centralOffset < dir.centralSize) return ContainerFault::kCorrupt;
    size_t at = dir.centralOffset;
    const size_t stop = size_t{dir.centralOffset} + dir.centralSize;
    for (uint32_t i = 0; i < entries; ++i) {
        if (stop - at < kZipCentralHeaderSize || Load32(bytes + at) != kZipCentralSignature) {
            return ContainerFault::kCorrupt;
        }
        const uint8_t* c = bytes + at;
        const size_t length = kZipCentralHeaderSize + Load16(c + kZipCentralNameLength) +
                              Load16(c + kZipCentralExtraLength) + Load16(c + kZipCentralCommentLength);
        if (stop - at < length) return ContainerFault::kCorrupt;
        ZipEntry entry;
        entry.name.assign(reinterpret_cast<const char*>(c + kZipCentralHeaderSize), Load16(c + kZipCentralNameLength));
        entry.central = at;
        entry.centralLength = length;
        entry.local = Load32(c + kZipCentralLocalOffset);
        entry.flags = Load16(c + kZipCentralFlags);
        entry.method = Load16(c + kZipCentralMethod);
        entry.crc = Load32(c + kZipCentralCrc);
        entry.compressedSize = Load32(c + kZipCentralCompressedSize);
        entry.size = Load32(c + kZipCentralSize);
        if (Load16(c + kZipCentralDiskStart) != 0 || entry.local == 0xFFFFFFFF || entry.size == 0xFFFFFFFF ||
            entry.compressedSize == 0xFFFFFFFF) {
            return ContainerFault::kUnsupported;
        }
        if (entry.local >= dir.centralOffset) return ContainerFault::kCorrupt;
        dir.entries.push_back(std::move(entry));
        at += length;
    }
    return at == stop ? ContainerFault::kNone : ContainerFault::kCorrupt;
}

// Where the member's data starts, checked against its local header.
ContainerFault ZipDataStart(const uint8_t* bytes, const ZipDirectory& dir, const ZipEntry& entry, size_t& data) {
    const size_t local = entry.local;
    if (dir.centralOffset - local < kZipLocalHeaderSize || Load32(bytes + local) != kZipLocalSignature) {
        return ContainerFault::kCorrupt;
    }
    data = local + kZipLocalHeaderSize + Load16(bytes + local + kZipLocalNameLength) +
           Load16(bytes + local + kZipLocalExtraLength);
    if (data > dir.centralOffset || dir.centralOffset - data < entry.compressedSize) return ContainerFault::kCorrupt;
    return ContainerFault::kNone;
}

const ZipEntry* ChooseMember(const ZipDirectory& dir, const std::string& member, ContainerInfo& info,
                             ContainerFault& fault) {
    const ZipEntry* named = nullptr;
    const ZipEntry* only = nullptr;
    const ZipEntry* image = nullptr;
    size_t files = 0;
    size_t images = 0;
    for (const ZipEntry& entry : dir.entries) {
        if (!IsFile(entry)) continue;
        info.members.push_back(entry.name);
        ++files;
        only = &entry;
        if (LooksLikeImage(entry.name)) {
            ++images;
            image = &entry;
        }
        if (!member.empty() && entry.name == member && named == nullptr) named = &entry;
    }
    fault = ContainerFault::kNone;
    if (!member.empty()) {
        if (named == nullptr) fault = ContainerFault::kNoImage;
        return named;
    }
    if (files == 1) return only;
    if (images == 1) return image;
    fault = files == 0 ? ContainerFault::kNoImage : ContainerFault::kChooseMember;
    return nullptr;
}

ContainerFault UnpackZip(const uint8_t* bytes, size_t count, const std::string& member, uint64_t limit,
                         ContainerInfo& info, ByteBlock& image) {
    ZipDirectory dir;
    ContainerFault fault = ReadZipDirectory(bytes, count, dir);
    if (fault != ContainerFault::kNone) return fault;
    const ZipEntry* entry = ChooseMember(dir, member, info, fault);
    if (entry == nullptr) return fault;
    info.member = entry->name;
    if (entry->flags & kZipFlagEncrypted) return ContainerFault::kUnsupported;
    if (entry->method != kZipStored && entry->method != kZipDeflated) return ContainerFault::kUnsupported;
    if (entry->size > limit) return ContainerFault::kTooLarge;
    size_t data = 0;
    fault = ZipDataStart(bytes, dir, *entry, data);
    if (fault != ContainerFault::kNone) return fault;
    // No more than the directory says: a member that inflates further is damaged.
    Output out(entry->size);
    if (entry->method == kZipStored) {
        if (entry->compressedSize != entry->size) return ContainerFault::kCorrupt;
        if (!out.Reserve(std::max<uint64_t>(entry->size, 1))) return ContainerFault::kOutOfMemory;
        std::memcpy(out.End(), bytes + data, entry->size);
        out.Advance(entry->size);
    } else {
        size_t consumed = 0;
        fault = Inflate(bytes + data, entry->compressedSize, entry->size, out, consumed);
        if (fault == ContainerFault::kTooLarge) fault = ContainerFault::kCorrupt;
        if (fault != ContainerFault::kNone) return fault;
    }
    if (out.Used() != entry->size || Crc(out.Data(), static_cast<size_t>(out.Used())) != entry->crc) {
        return ContainerFault::kCorrupt;
    }
    return out.Take(image) ? ContainerFault::kNone : ContainerFault::kOutOfMemory;
}

void Append(std::vector<uint8_t>& out, const uint8_t* from, size_t count) { out.insert(out.end(), from, from + count); }

ContainerFault RepackZip(const uint8_t* old, size_t count, const ContainerInfo& info, const uint8_t* image,
                         size_t size, DosDateTime stamp, std::vector<uint8_t>& out) {
    ZipDirectory dir;
    ContainerFault fault = ReadZipDirectory(old, count, dir);
    if (fault != ContainerFault::kNone) return fault;
    const ZipEntry* changed = nullptr;
    for (const ZipEntry& entry : dir.entries) {
        if (entry.name == info.member && IsFile(entry)) {
            changed = &entry;
            break;
        }
    }
    if (changed == nullptr) return ContainerFault::kNoImage;
    size_t data = 0;
    fault = ZipDataStart(old, dir, *changed, data);
    if (fault != ContainerFault::kNone) return fault;

    const uint16_t method = changed->method == kZipStored ? kZipStored : kZipDeflated;
    std::vector<uint8_t> packed;
    if (method == kZipDeflated && !Deflate(image, size, packed)) return ContainerFault::kOutOfMemory;
    const uint8_t* body = method == kZipStored ? image : packed.data();
    const size_t bodySize = method == kZipStored ? size : packed.size();
    if (bodySize >= 0xFFFFFFFFu || count + bodySize >= 0xFFFFFFFFu) return ContainerFault::kTooLarge;
    const uint32_t crc = Crc(image, size);
    const uint16_t flags = static_cast<uint16_t>(changed->flags & ~kZipFlagDescriptor);

    // Each member's local header and data reach up to the next member's, or
    // to the directory: copied whole, a data descriptor goes along.
    std::vector<uint32_t> starts;
    for (const ZipEntry& entry : dir.entries) starts.push_back(entry.local);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    std::vector<std::pair<uint32_t, uint32_t>> moved;  // old local offset, new one
    Append(out, old, starts.empty() ? dir.centralOffset : starts.front());
    for (size_t i = 0; i < starts.size(); ++i) {
        const uint32_t from = starts[i];
        const uint32_t to = i + 1 < starts.size() ? starts[i + 1] : dir.centralOffset;
        moved.emplace_back(from, static_cast<uint32_t>(out.size()));
        if (from != changed->local) {
            Append(out, old + from, to - from);
            continue;
        }
        const size_t header = out.size();
        Append(out, old + from, data - from);
        uint8_t* h = out.data() + header;
        Store16(h + kZipLocalFlags, flags);
        Store16(h + kZipLocalMethod, method);
        Store16(h + kZipLocalTime, stamp.time);
        Store16(h + kZipLocalDate, stamp.date);
        Store32(h + kZipLocalCrc, crc);
        Store32(h + kZipLocalCompressedSize, static_cast<uint32_t>(bodySize));
        Store32(h + kZipLocalSize, static_cast<uint32_t>(size));
        Append(out, body, bodySize);
    }
    const size_t central = out.size();
    for (const ZipEntry& entry : dir.entries) {
        const size_t record = out.size();
        Append(out, old + entry.central, entry.centralLength);
        uint8_t* c = out.data() + record;
        const auto place = std::lower_bound(moved.begin(), moved.end(), std::make_pair(entry.local, uint32_t{0}));
        Store32(c + kZipCentralLocalOffset, place->second);
        if (&entry == changed) {
            Store16(c + kZipCentralFlags, flags);
            Store16(c + kZipCentralMethod, method);
            Store16(c + kZipCentralTime, stamp.time);
            Store16(c + kZipCentralDate, stamp.date);
            Store32(c + kZipCentralCrc, crc);
            Store32(c + kZipCentralCompressedSize, static_cast<uint32_t>(bodySize));
            Store32(c + kZipCentralSize, static_cast<uint32_t>(size));
        }
    }
    const size_t centralSize = out.size() - central;
    // Whatever lay between the directory and the end record goes along.
    Append(out, old + dir.centralOffset + dir.centralSize, dir.end - dir.centralOffset - dir.centralSize);
    const size_t end = out.size();
    Append(out, old + dir.end, count - dir.end);
    Store32(out.data() + end + kZipEndCentralSize, static_cast<uint32_t>(centralSize));
    Store32(out.data() + end + kZipEndCentralOffset, static_cast<uint32_t>(central));
    return out.size() >= 0xFFFFFFFFu ? ContainerFault::kTooLarge : ContainerFault::kNone;
}

std::string MemberList(const ContainerInfo& info) {
    std::string list;
    for (const std::string& name : info.members) {
        if (!list.empty()) list += '\n';
        list += name;
    }
    return list;
}

}  // namespace

ContainerKind DetectContainer(const uint8_t* bytes, size_t count) {
    if (count >= 2 && bytes[0] == kGzipId1 && bytes[1] == kGzipId2) return ContainerKind::kGzip;
    if (count >= 4 && (Load32(bytes) == kZipLocalSignature || Load32(bytes) == kZipEndSignature)) {
        return ContainerKind::kZip;
    }
    return ContainerKind::kNone;
}

ContainerFault UnpackContainer(const uint8_t* bytes, size_t count, const std::string& member, uint64_t limit,
                               ContainerInfo& info, ByteBlock& image) {
    info = ContainerInfo();
    info.kind = DetectContainer(bytes, count);
    switch (info.kind) {
    case ContainerKind::kGzip:
        return UnpackGzip(bytes, count, limit, image);
    case ContainerKind::kZip:
        return UnpackZip(bytes, count, member, limit, info, image);
    case ContainerKind::kNone:
        break;
    }
    return ContainerFault::kCorrupt;
}

ContainerFault RepackContainer(const uint8_t* old, size_t count, const ContainerInfo& info, const uint8_t* image,
                               size_t size, DosDateTime stamp, std::vector<uint8_t>& out) {
    out.clear();
    try {
        switch (info.kind) {
        case ContainerKind::kGzip:
            return RepackGzip(old, count, image, size, out);
        case ContainerKind::kZip:
            return RepackZip(old, count, info, image, size, stamp, out);
        case ContainerKind::kNone:
            break;
        }
    } catch (const std::bad_alloc&) {
        out.clear();
        return ContainerFault::kOutOfMemory;
    }
    return ContainerFault::kCorrupt;
}

Notice ContainerFaultNotice(ContainerFault fault, const std::string& path, const ContainerInfo& info) {
    switch (fault) {
    case ContainerFault::kTruncated:
        return TextNotice(kMsgContainerTruncated, Tone::kError, {path});
    case ContainerFault::kTooLarge:
        return TextNotice(kMsgContainerTooLarge, Tone::kError, {path});
    case ContainerFault::kUnsupported:
        return TextNotice(kMsgContainerUnsupported, Tone::kError, {path});
    case ContainerFault::kNoImage:
        if (info.members.empty()) return TextNotice(kMsgContainerEmpty, Tone::kError, {path});
        return TextNotice(kMsgNoSuchMember, Tone::kError, {path, info.member, MemberList(info)});
    case ContainerFault::kChooseMember:
        return TextNotice(kMsgChooseMember, Tone::kError, {path, MemberList(info)});
    case ContainerFault::kOutOfMemory:
        return TextNotice(kMsgContainerNoMemory, Tone::kError, {path});
    case ContainerFault::kCorrupt:
    case ContainerFault::kNone:
        break;
    }
    return TextNotice(kMsgContainerCorrupt, Tone::kError, {path});
}

std::string UnpackedImagePath(const std::string& path, const ContainerInfo& info) {
    const std::string::size_type slash = path.find_last_of("\\/:");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    if (info.kind == ContainerKind::kZip) {
        const std::string::size_type inner = info.member.find_last_of("\\/");
        return folder + (inner == std::string::npos ? info.member : info.member.substr(inner + 1));
    }
    if (info.kind == ContainerKind::kGzip) {
        const std::string name = path.substr(folder.size());
        const std::string::size_type dot = name.find_last_of('.');
        if (dot != std::string::npos && dot != 0) {
            const std::string ending = name.substr(dot);
            if (ending.size() == 3 && (ending[1] | 0x20) == 'g' && (ending[2] | 0x20) == 'z') {
                return folder + name.substr(0, dot);
            }
        }
    }
    return path;
}

}  // namespace vk
