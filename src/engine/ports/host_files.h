// The host-file port: the files and folders of the machine the program runs
// on. Every call returns a system error code (win_error), 0 on success; the
// POSIX implementation maps errno onto those codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk {

enum HostAccess : unsigned { kAccessRead = 1, kAccessWrite = 2 };
enum HostShare : unsigned { kShareNone = 0, kShareRead = 1, kShareWrite = 2 };

// With the platform's numbering.
enum class Disposition : unsigned {
    kCreateNew = 1,      // fails with kFileExists when the file is there
    kCreateAlways = 2,   // an existing file is emptied
    kOpenExisting = 3,
    kOpenAlways = 4,
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

// Host time: 100-ns intervals since 1601-01-01 UTC, the platform's file time.
using HostTime = uint64_t;

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
// Creation, last-access and last-write time at once.
uint32_t SetHostFileTimes(const HostFile& file, HostTime time);
void CloseHostFileNative(intptr_t native);

// Puts `size` bytes of `data` in the place of the file at `path` in one
// step: they go to a new file beside it, which is flushed and then renamed
// over `path`, so that `path` names the old file or the new one, never a
// mix. The new file keeps the old one's permissions, and a path that is a
// symbolic link keeps its link. `file` is the open handle of the old file;
// on success it is the new file's (read and write access, read sharing),
// on failure the old file's as before.
uint32_t ReplaceHostFile(std::string_view path, const void* data, uint32_t size, HostFile& file);
// Makes what was written through `file` reach the device.
uint32_t FlushHostFile(const HostFile& file);

uint32_t DeleteHostFile(std::string_view path);

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

}  // namespace vk
