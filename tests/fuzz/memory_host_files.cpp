#include "tests/fuzz/memory_host_files.h"

#include <algorithm>
#include <cstring>

#include "engine/fat/dir/dir_entry.h"
#include "posix/win_codes.h"

namespace vk {
namespace fuzz {
namespace {

struct OpenFile {
    std::string path;
    uint64_t position = 0;
    unsigned access = 0;
    bool open = false;
};

std::vector<OpenFile>& Handles() {
    static std::vector<OpenFile> handles;
    return handles;
}

OpenFile* Find(const HostFile& file) {
    const intptr_t n = file.Native();
    if (n < 0 || static_cast<size_t>(n) >= Handles().size() || !Handles()[static_cast<size_t>(n)].open) {
        return nullptr;
    }
    return &Handles()[static_cast<size_t>(n)];
}

constexpr int64_t kTicksPerSecond = 10000000;  // HostTime counts 100 ns since 1970

}  // namespace

std::map<std::string, MemoryFile>& MemoryFiles() {
    static std::map<std::string, MemoryFile> files;
    return files;
}

void ResetMemoryFiles() {
    MemoryFiles().clear();
    Handles().clear();
}

}  // namespace fuzz

using fuzz::MemoryFiles;

uint32_t OpenHostFile(std::string_view path, unsigned access, unsigned, Disposition disposition, uint32_t attributes,
                      HostFile& file) {
    const std::string name(path);
    auto it = MemoryFiles().find(name);
    const bool exists = it != MemoryFiles().end();
    if (exists && (it->second.attributes & kHostDirectory)) {
        return win_code::kAccessDenied;
    }
    switch (disposition) {
    case Disposition::kOpenExisting:
        if (!exists) return win_code::kFileNotFound;
        break;
    case Disposition::kCreateNew:
        if (exists) return win_code::kFileExists;
        break;
    case Disposition::kCreateAlways:
    case Disposition::kOpenAlways:
        break;
    }
    if (exists && (access & kAccessWrite) && (it->second.attributes & kHostReadOnly)) {
        return win_code::kAccessDenied;
    }
    fuzz::MemoryFile& f = MemoryFiles()[name];
    if (!exists || disposition == Disposition::kCreateAlways) {
        f.data.clear();
        f.attributes = attributes ? attributes : kHostArchive;
    }
    fuzz::Handles().push_back({name, 0, access, true});
    file = HostFile(static_cast<intptr_t>(fuzz::Handles().size() - 1));
    return win_code::kSuccess;
}

void CloseHostFileNative(intptr_t native) {
    if (native >= 0 && static_cast<size_t>(native) < fuzz::Handles().size()) {
        fuzz::Handles()[static_cast<size_t>(native)].open = false;
    }
}

uint32_t HostFileSize(const HostFile& file, uint64_t& size) {
    fuzz::OpenFile* h = fuzz::Find(file);
    if (!h) return win_code::kInvalidHandle;
    size = MemoryFiles()[h->path].data.size();
    return win_code::kSuccess;
}

uint32_t SeekHostFile(const HostFile& file, uint64_t position) {
    fuzz::OpenFile* h = fuzz::Find(file);
    if (!h) return win_code::kInvalidHandle;
    h->position = position;
    return win_code::kSuccess;
}

uint32_t ReadHostFile(const HostFile& file, void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    fuzz::OpenFile* h = fuzz::Find(file);
    if (!h || !(h->access & kAccessRead)) return win_code::kAccessDenied;
    const std::vector<uint8_t>& data = MemoryFiles()[h->path].data;
    if (h->position < data.size()) {
        done = static_cast<uint32_t>(std::min<uint64_t>(count, data.size() - h->position));
        std::memcpy(buffer, data.data() + h->position, done);
        h->position += done;
    }
    return win_code::kSuccess;
}

uint32_t WriteHostFile(const HostFile& file, const void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    fuzz::OpenFile* h = fuzz::Find(file);
    if (!h || !(h->access & kAccessWrite)) return win_code::kAccessDenied;
    std::vector<uint8_t>& data = MemoryFiles()[h->path].data;
    if (h->position + count > (64u << 20)) return win_code::kDiskFull;
    if (data.size() < h->position + count) data.resize(h->position + count);
    std::memcpy(data.data() + h->position, buffer, count);
    h->position += count;
    done = count;
    return win_code::kSuccess;
}

uint32_t SetHostFileTimes(const HostFile& file, HostTime time) {
    fuzz::OpenFile* h = fuzz::Find(file);
    if (!h) return win_code::kInvalidHandle;
    MemoryFiles()[h->path].time = time;
    return win_code::kSuccess;
}

// The memory host has no power cut: the bytes change in one step anyway.
uint32_t ReplaceHostFile(std::string_view path, const void* data, uint32_t size, HostFile& file) {
    const std::string name(path);
    auto it = MemoryFiles().find(name);
    if (it != MemoryFiles().end() && (it->second.attributes & kHostDirectory)) {
        return win_code::kAccessDenied;
    }
    if (size > (64u << 20)) return win_code::kDiskFull;
    fuzz::MemoryFile& f = MemoryFiles()[name];
    const auto* bytes = static_cast<const uint8_t*>(data);
    f.data.assign(bytes, bytes + size);
    fuzz::Handles().push_back({name, 0, kAccessRead | kAccessWrite, true});
    file = HostFile(static_cast<intptr_t>(fuzz::Handles().size() - 1));
    return win_code::kSuccess;
}

// New files are written under a name no image entry can give (a '~' before
// a counter), moved to their target by name when committed.
uint32_t CreateNewHostFile(std::string_view target, uint32_t attributes, NewHostFile& file) {
    DiscardNewHostFile(file);
    const std::string name(target);
    const std::string::size_type slash = name.find_last_of('/');
    const std::string::size_type start = slash == std::string::npos ? 0 : slash + 1;
    const std::string folder = name.substr(0, start);
    auto parent = MemoryFiles().find(folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder);
    if (parent != MemoryFiles().end() && !(parent->second.attributes & kHostDirectory)) {
        return win_code::kPathNotFound;
    }
    static unsigned counter = 0;
    const std::string temp = folder + "." + name.substr(start) + ".~" + std::to_string(++counter);
    fuzz::MemoryFile& f = MemoryFiles()[temp];
    f.data.clear();
    f.attributes = (attributes ? attributes : kHostArchive) | fuzz::kMemoryTemp;
    fuzz::Handles().push_back({temp, 0, kAccessWrite, true});
    file.file = HostFile(static_cast<intptr_t>(fuzz::Handles().size() - 1));
    file.targetPath = name;
    file.tempPath = temp;
    return win_code::kSuccess;
}

uint32_t CommitNewHostFile(NewHostFile& file, bool replace) {
    if (!file.IsPending()) return win_code::kInvalidHandle;
    auto target = MemoryFiles().find(file.targetPath);
    if (target != MemoryFiles().end()) {
        if (!replace) return win_code::kFileExists;
        if (target->second.attributes & kHostDirectory) {
            DiscardNewHostFile(file);
            return win_code::kAccessDenied;
        }
    }
    file.file.Close();
    fuzz::MemoryFile moved = std::move(MemoryFiles()[file.tempPath]);
    MemoryFiles().erase(file.tempPath);
    moved.attributes &= ~fuzz::kMemoryTemp;
    MemoryFiles()[file.targetPath] = std::move(moved);
    file.tempPath.clear();
    return win_code::kSuccess;
}

void DiscardNewHostFile(NewHostFile& file) {
    file.file.Close();
    if (file.IsPending()) {
        MemoryFiles().erase(file.tempPath);
        file.tempPath.clear();
    }
}

size_t fuzz::TempFilesLeft() {
    return static_cast<size_t>(std::count_if(MemoryFiles().begin(), MemoryFiles().end(), [](const auto& file) {
        return (file.second.attributes & kMemoryTemp) != 0;
    }));
}

uint32_t FlushHostFolderOf(std::string_view) { return win_code::kSuccess; }

std::string ResolveHostPath(std::string_view path) { return std::string(path); }

void RemoveDeadCopies(std::string_view) {}

uint32_t FlushHostFile(const HostFile& file) {
    return fuzz::Find(file) ? win_code::kSuccess : win_code::kInvalidHandle;
}

uint32_t DeleteHostFile(std::string_view path) {
    return MemoryFiles().erase(std::string(path)) ? win_code::kSuccess : win_code::kFileNotFound;
}

// A folder is an entry with the directory bit and no bytes.
uint32_t CreateHostFolder(std::string_view path, bool& existed) {
    const std::string name(path);
    auto it = MemoryFiles().find(name);
    if (it != MemoryFiles().end()) {
        existed = (it->second.attributes & kHostDirectory) != 0;
        return existed ? win_code::kSuccess : win_code::kAlreadyExists;
    }
    existed = false;
    MemoryFiles()[name].attributes = kHostDirectory;
    return win_code::kSuccess;
}

uint32_t SetHostFolderTime(std::string_view path, HostTime time) {
    auto it = MemoryFiles().find(std::string(path));
    if (it == MemoryFiles().end()) return win_code::kFileNotFound;
    it->second.time = time;
    return win_code::kSuccess;
}

uint32_t SetHostFileAttributes(std::string_view path, uint32_t attributes) {
    auto it = MemoryFiles().find(std::string(path));
    if (it == MemoryFiles().end()) return win_code::kFileNotFound;
    it->second.attributes = attributes;
    return win_code::kSuccess;
}

uint32_t GetHostFileAttributes(std::string_view path, uint32_t& attributes) {
    auto it = MemoryFiles().find(std::string(path));
    if (it == MemoryFiles().end()) return win_code::kFileNotFound;
    attributes = it->second.attributes;
    return win_code::kSuccess;
}

uint32_t FindHostFile(std::string_view path, HostFindData& data) {
    const std::string name(path);
    auto it = MemoryFiles().find(name);
    if (it == MemoryFiles().end()) return win_code::kFileNotFound;
    const std::string::size_type slash = name.find_last_of('/');
    data.longName = slash == std::string::npos ? name : name.substr(slash + 1);
    data.shortName.clear();
    data.attributes = it->second.attributes;
    data.size = it->second.data.size();
    data.lastWriteTime = it->second.time;
    return win_code::kSuccess;
}

// Paths are the files' only identity here.
bool IsSameHostFile(const HostFile& open, std::string_view path) {
    const fuzz::OpenFile* h = fuzz::Find(open);
    return h != nullptr && h->path == path;
}

// Local time is UTC here: the fuzzers need no time zone.
bool HostTimeToLocalDos(HostTime time, DosDateTime& dos) {
    // Whole seconds and days rounded down, so that times before 1970 work too.
    const int64_t seconds = (time >= 0 ? time : time - (fuzz::kTicksPerSecond - 1)) / fuzz::kTicksPerSecond;
    const int64_t days1970 = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    const int64_t secs = seconds - days1970 * 86400;
    // Days since 1970-01-01 to a civil date.
    const int64_t d = days1970 + 719468;
    const int64_t era = (d >= 0 ? d : d - 146096) / 146097;
    const int64_t doe = d - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t y = yoe + era * 400;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    y += month <= 2;
    if (y < kDosFirstYear || y > kDosLastYear) return false;
    dos.date = PackDosDate(static_cast<int>(y), static_cast<int>(month), static_cast<int>(day));
    dos.time = PackDosTime(static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
    return true;
}

bool LocalDosToHostTime(DosDateTime dos, HostTime& time) {
    const int64_t y0 = DosDateYear(dos.date);
    const int64_t m = DosDateMonth(dos.date);
    const int64_t d = DosDateDay(dos.date);
    if (m < 1 || m > 12 || d < 1) return false;
    const int64_t y = y0 - (m <= 2);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days1970 = era * 146097 + doe - 719468;
    const int64_t secs = DosTimeHour(dos.time) * 3600 + DosTimeMinute(dos.time) * 60 + DosTimeSecond(dos.time);
    time = static_cast<HostTime>(days1970 * 86400 + secs) * fuzz::kTicksPerSecond;
    return true;
}

char HostPathSeparator() { return '/'; }

}  // namespace vk
