// The host-file port: the files and folders of the machine the program runs
// on. Every call returns the host's own error code, kHostSuccess (0) on
// success; ClassifyHostCode (host_failure.h) says what a code means.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/bytes.h"
#include "engine/ports/host_failure.h"

namespace vk {

enum HostAccess : unsigned { kAccessRead = 1, kAccessWrite = 2 };
enum HostShare : unsigned { kShareNone = 0, kShareRead = 1, kShareWrite = 2 };

// What opening does when the file is there and when it is not.
enum class Disposition {
    kCreateNew,      // fails (HostFailure::kExists) when the file is there
    kCreateAlways,   // an existing file is emptied
    kOpenExisting,   // fails when the file is not there
    kOpenAlways,     // created when it is not there
};

// Host attribute bits. The low six have the values of the FAT entry's bits.
enum HostAttributes : uint32_t {
    kHostReadOnly = 0x01,
    kHostHidden = 0x02,
    kHostSystem = 0x04,
    kHostDirectory = 0x10,
    kHostArchive = 0x20,
    kHostDevice = 0x40,     // neither a plain file nor a folder: a device, pipe or socket
    kHostNormal = 0x80,
};

// A file's time: 100-ns ticks since 1970-01-01 00:00:00 UTC, negative before.
using HostTime = int64_t;

// Owner of one open host file; closes it when it goes.
class HostFile {
public:
    HostFile() = default;
    explicit HostFile(intptr_t native) : native_(native) {}
    ~HostFile() { Close(); }
    HostFile(HostFile&& other) noexcept : native_(other.native_) { other.native_ = kNone; }
    HostFile& operator=(HostFile&& other) noexcept;
    HostFile(const HostFile&) = delete;
    HostFile& operator=(const HostFile&) = delete;

    bool IsOpen() const { return native_ != kNone; }
    intptr_t Native() const { return native_; }
    void Close();

    static constexpr intptr_t kNone = -1;

private:
    intptr_t native_ = kNone;
};

// Only regular files open: a folder, device or pipe is refused without
// waiting on it. Where the host has no sharing modes of its own, a file
// opened for writing without write sharing is locked exclusively, and one
// opened for reading without write sharing is locked shared, so that a
// second program is refused with kSharingViolation as it would be by the
// platform's sharing modes.
uint32_t OpenHostFile(std::string_view path, unsigned access, unsigned share,
                      Disposition disposition, uint32_t attributes, HostFile& file);
uint32_t HostFileSize(const HostFile& file, uint64_t& size);
uint32_t SeekHostFile(const HostFile& file, uint64_t position);
// `done` receives the byte count moved; a short count is no error here.
uint32_t ReadHostFile(const HostFile& file, void* buffer, uint32_t count, uint32_t& done);
uint32_t WriteHostFile(const HostFile& file, const void* buffer, uint32_t count, uint32_t& done);
// Positioned reads and writes: `offset` from the file's start. A read short
// of `count` has met the end of the file; a write moves all of `count` or fails.
uint32_t ReadHostFileAt(const HostFile& file, uint64_t offset, void* buffer, uint32_t count, uint32_t& done);
uint32_t WriteHostFileAt(const HostFile& file, uint64_t offset, const void* buffer, uint32_t count);

// The first `size` bytes of the open file as one block. Where the host can,
// the block is a private copy-on-write mapping of the file: only the pages
// the engine reaches are read, and what it changes stays in memory. Where it
// cannot, the file is read whole.
uint32_t LoadHostFile(const HostFile& file, uint32_t size, ByteBlock& block);
// The parts of a block from LoadHostFile that may differ from its file: the
// pages written since it was loaded where the host can tell, else all of it.
std::vector<ByteRange> ChangedHostRanges(const ByteBlock& block);

// Creation, last-access and last-write time at once.
uint32_t SetHostFileTimes(const HostFile& file, HostTime time);
void CloseHostFileNative(intptr_t native);

// Puts `size` bytes of `data` in the place of the file at `path` in one
// step: they go to a new file beside it, which is flushed and then renamed
// over `path`, so that `path` names the old file or the new one, never a
// mix. The new file keeps the old one's permissions, and a path that is a
// symbolic link keeps its link. `file` is the open handle of the old file;
// on success it is the new file's (read and write access, read sharing),
// on failure the old file's as before. When `file` holds the old file's
// lock, the temporary copies a killed writer left beside it go too: a copy
// whose own lock can be taken has no writer any more.
uint32_t ReplaceHostFile(std::string_view path, const void* data, uint32_t size, HostFile& file);
// Removes the temporary copies killed writers left beside `target` (see
// ReplaceHostFile and NewHostFile): those no live writer holds.
void RemoveDeadCopies(std::string_view target);
// Makes what was written through `file` reach the device.
uint32_t FlushHostFile(const HostFile& file);

// A whole file written beside `target` under a temporary name (.NAME.XXXXXX
// where the host allows it), which takes the target's place only once it is
// complete: until CommitNewHostFile succeeds the target stays as it was, and
// a new file not committed is removed when it goes.
class NewHostFile {
public:
    NewHostFile() = default;
    ~NewHostFile();
    NewHostFile(const NewHostFile&) = delete;
    NewHostFile& operator=(const NewHostFile&) = delete;

    bool IsPending() const { return !tempPath.empty(); }

    HostFile file;           // the new file, open for writing
    std::string targetPath;  // where it goes
    std::string tempPath;    // where it is written; empty once committed or discarded
};

// Creates the new file for `target` in the target's folder, with
// `attributes` (kHostReadOnly among them) as the file will have them; the
// handle still writes. Nothing stands at `target` yet.
uint32_t CreateNewHostFile(std::string_view target, uint32_t attributes, NewHostFile& file);
// Renames the new file to its target; with `replace` it flushes the file to
// the device first, as the file it replaces is gone once it is renamed.
// Without `replace`, anything at the target (a file, a folder, a link) fails it with
// kExists and leaves it pending, so that a caller may ask and commit again;
// with it, a file or link at the target is replaced itself, never followed.
// Any other failure discards the new file, leaving the target untouched.
uint32_t CommitNewHostFile(NewHostFile& file, bool replace);
// Removes a new file that was not committed; nothing when there is none.
void DiscardNewHostFile(NewHostFile& file);

uint32_t DeleteHostFile(std::string_view path);

// Makes a file just created or removed in the folder holding `path` keep
// its name, or its absence, on the device. Nothing where the host's own
// file system does so with the file.
uint32_t FlushHostFolderOf(std::string_view path);
// The path a file is reached by once its symbolic links are followed; the
// path itself where it leads nowhere yet or the host has no links.
std::string ResolveHostPath(std::string_view path);

// Folders: a new one, or one there already (`existed`; a folder itself, not
// a link to one: anything else standing at `path` fails with
// kAlreadyExists), and the last-write time of one, set after its contents
// are written, which would change it again.
uint32_t CreateHostFolder(std::string_view path, bool& existed);
uint32_t SetHostFolderTime(std::string_view path, HostTime time);
uint32_t SetHostFileAttributes(std::string_view path, uint32_t attributes);
uint32_t GetHostFileAttributes(std::string_view path, uint32_t& attributes);

// What a directory listing tells of one path.
struct HostFindData {
    std::string longName;   // the name as stored
    std::string shortName;  // the alternate 8.3 name, empty when the host keeps none
    uint32_t attributes = 0;
    uint64_t size = 0;
    HostTime lastWriteTime = 0;
};
uint32_t FindHostFile(std::string_view path, HostFindData& data);

// True when `path` names the very file `open` has open (compared by identity,
// not by name, so links and other spellings count). False when either is not
// there.
bool IsSameHostFile(const HostFile& open, std::string_view path);

// Packed DOS date and time in the host's local time zone.
struct DosDateTime {
    uint16_t date = 0;
    uint16_t time = 0;
};
// False when the time cannot be expressed (before 1980 or after 2107).
bool HostTimeToLocalDos(HostTime time, DosDateTime& dos);
bool LocalDosToHostTime(DosDateTime dos, HostTime& time);

// The separator between a folder and a name on this host.
char HostPathSeparator();
// The folder that holds host path `path`; "." for a bare name.
std::string HostFolderOf(std::string_view path);

}  // namespace vk
