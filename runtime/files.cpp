#include "files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace standin {
namespace {

#ifdef _WIN32
using FileStat = struct _stat64;
int Stat(int fd, FileStat* stat)
{
    return _fstat64(fd, stat);
}
int StatPath(const char* path, FileStat* info)
{
    return _stat64(path, info);
}
int OpenForReading(const char* path)
{
    return _open(path, _O_RDONLY | _O_BINARY);
}
int ReadSome(int fd, char* buffer, size_t size)
{
    return _read(fd, buffer, static_cast<unsigned>(size < (1u << 30) ? size : (1u << 30)));
}
int Close(int fd)
{
    return _close(fd);
}
int64_t ModifiedAt(const FileStat& stat)
{
    return stat.st_mtime;
}
#else
using FileStat = struct stat;
int Stat(int fd, FileStat* stat)
{
    return fstat(fd, stat);
}
int StatPath(const char* path, FileStat* info)
{
    return stat(path, info);
}
// Non-blocking, so that opening a FIFO never waits for a writer.
int OpenForReading(const char* path)
{
    return open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
ssize_t ReadSome(int fd, char* buffer, size_t size)
{
    return read(fd, buffer, size);
}
int Close(int fd)
{
    return close(fd);
}
int64_t ModifiedAt(const FileStat& stat)
{
    return int64_t{stat.st_mtim.tv_sec} * 1000000000 + stat.st_mtim.tv_nsec;
}
#endif

// A file is held in one block of memory, and a 32-bit build holds at most
// this much in one (its strings' max_size()). Every build refuses a larger
// file alike, so that the same files give the same answers everywhere.
constexpr uint64_t kLargestFile = 0x7FFFFFFF;

std::string OverTheLimit(const std::string& size, uint64_t limit)
{
    return "it is " + size + " bytes, over the limit of " + std::to_string(limit) + " bytes";
}

// Reads until the end of the file, or until contents holds more than limit
// bytes. The file's claimed size is read into the room already made; what
// comes after it (a file that grew, or one in /proc that claims 0 bytes)
// is appended, never more than one byte past the limit.
bool ReadAll(int fd, uint64_t limit, std::string& contents, std::string& why)
{
    size_t filled = 0;
    char more[4096];
    for (;;) {
        bool intoRoom = filled < contents.size();
        auto got = intoRoom ? ReadSome(fd, contents.data() + filled, contents.size() - filled)
                            : ReadSome(fd, more,
                                       static_cast<size_t>(
                                           std::min<uint64_t>(sizeof more, limit + 1 - filled)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            why = std::strerror(errno);
            return false;
        }
        if (got == 0) {
            contents.resize(filled);
            return true;
        }
        if (!intoRoom)
            contents.append(more, static_cast<size_t>(got));
        filled += static_cast<size_t>(got);
        if (filled > limit)
            return true;
    }
}

// ReadRegularFile on a file opened for reading.
FileRead ReadOpenFile(int fd, uint64_t limit, std::string& contents, std::string& why)
{
    FileStat before{}, after{};
    if (Stat(fd, &before) != 0) {
        why = std::strerror(errno);
        return FileRead::Failed;
    }
    if (!S_ISREG(before.st_mode)) {
        why = std::string("it is ") + KindOfFile(before.st_mode) + ", not a regular file";
        return FileRead::Failed;
    }
    if (static_cast<uint64_t>(before.st_size) > limit) {
        why = OverTheLimit(std::to_string(before.st_size), limit);
        return FileRead::OverTheLimit;
    }
    if (static_cast<uint64_t>(before.st_size) > kLargestFile) {
        why = "it is " + std::to_string(before.st_size) +
              " bytes, more than the stand-in can hold in memory (" + std::to_string(kLargestFile) +
              " bytes)";
        return FileRead::Failed;
    }
    contents.resize(static_cast<size_t>(before.st_size)); // the one allocation
    if (!ReadAll(fd, limit, contents, why))
        return FileRead::Failed;
    if (contents.size() > limit) {
        why = OverTheLimit("more than " + std::to_string(limit), limit);
        return FileRead::OverTheLimit;
    }
    if (Stat(fd, &after) != 0) {
        why = std::strerror(errno);
        return FileRead::Failed;
    }
    if (after.st_size != before.st_size || ModifiedAt(after) != ModifiedAt(before)) {
        why = "it changed while it was read (write a new file and rename it over the old one)";
        return FileRead::Failed;
    }
    return FileRead::Done;
}

} // namespace

const char* KindOfFile(unsigned mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
#ifdef S_ISSOCK
    if (S_ISSOCK(mode))
        return "a socket";
#endif
    return "not a file";
}

FileRead ReadRegularFile(const std::string& path, uint64_t limit, std::string& contents,
                         std::string& why)
{
    contents.clear();
    int fd = OpenForReading(path.c_str());
    if (fd < 0) {
        // Some kinds cannot be opened at all (a socket; a folder on Windows):
        // say what they are rather than why opening failed.
        int error = errno;
        FileStat info{};
        why = StatPath(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)
                  ? std::string("it is ") + KindOfFile(info.st_mode) + ", not a regular file"
                  : std::strerror(error);
        return FileRead::Failed;
    }
    FileRead result = ReadOpenFile(fd, limit, contents, why);
    (void)Close(fd); // opened for reading: nothing to lose
    if (result != FileRead::Done)
        contents.clear();
    return result;
}

bool IsAbsolute(const std::string& path)
{
#ifdef _WIN32
    if (path.size() > 1 && path[1] == ':') // a drive letter
        return true;
#endif
    return !path.empty() && (path[0] == '/' || path[0] == '\\');
}

std::string FolderOf(const std::string& path)
{
    auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (IsAbsolute(name))
        return name;
    return folder + "/" + name;
}

std::string Tidy(const std::string& path)
{
    std::vector<std::string> steps;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = path.size();
        std::string step = path.substr(start, end - start);
        if (step == ".." && !steps.empty() && !steps.back().empty() && steps.back() != "..")
            steps.pop_back();
        else if (step != "." || steps.empty())
            steps.push_back(step);
        start = end + 1;
    }
    std::string tidy;
    for (size_t i = 0; i < steps.size(); ++i)
        tidy += (i ? "/" : "") + steps[i];
    return tidy;
}

std::string LibraryFolder()
{
#ifdef _WIN32
    HMODULE module = nullptr;
    char path[MAX_PATH];
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&LibraryFolder), &module) ||
        GetModuleFileNameA(module, path, sizeof path) == 0)
        return ".";
    return FolderOf(path);
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || info.dli_fname == nullptr)
        return ".";
    return FolderOf(info.dli_fname);
#endif
}

} // namespace standin
