#include "files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
std::wstring Decode(const std::string& text, UINT codePage)
{
    int size = static_cast<int>(text.size());
    int wideSize = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideSize), L'\0');
    (void)MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), wideSize);
    return wide;
}
std::string Encode(const std::wstring& wide, UINT codePage)
{
    int size = static_cast<int>(wide.size());
    int outSize = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(outSize), '\0');
    (void)WideCharToMultiByte(codePage, 0, wide.data(), size, out.data(), outSize, nullptr,
                              nullptr);
    return out;
}
std::wstring Utf16(const std::string& path)
{
    return Decode(path, CP_UTF8);
}

using FileStat = struct _stat64;
int Stat(int fd, FileStat* stat)
{
    return _fstat64(fd, stat);
}
int StatPath(const std::string& path, FileStat* info)
{
    return _wstat64(Utf16(path).c_str(), info);
}
int OpenForReading(const std::string& path)
{
    return _wopen(Utf16(path).c_str(), _O_RDONLY | _O_BINARY);
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
int StatPath(const std::string& path, FileStat* info)
{
    return stat(path.c_str(), info);
}
// Non-blocking, so that opening a FIFO never waits for a writer.
int OpenForReading(const std::string& path)
{
    return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
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
    int fd = OpenForReading(path);
    if (fd < 0) {
        // Some kinds cannot be opened at all (a socket; a folder on Windows):
        // say what they are rather than why opening failed.
        int error = errno;
        FileStat info{};
        why = StatPath(path, &info) == 0 && !S_ISREG(info.st_mode)
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
    return folder + kSeparator + name;
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
        tidy += i > 0 ? std::string(1, kSeparator) + steps[i] : steps[i];
    return tidy;
}

std::string LibraryFolder()
{
#ifdef _WIN32
    HMODULE module = nullptr;
    std::wstring path(32768, L'\0'); // the longest path Windows has
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&LibraryFolder), &module))
        return ".";
    DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length == path.size())
        return ".";
    path.resize(length);
    return FolderOf(Utf8(path));
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || info.dli_fname == nullptr)
        return ".";
    return FolderOf(info.dli_fname);
#endif
}

std::string Environment(const char* name)
{
#ifdef _WIN32
    // The process's own environment: the C library's wide copy is made from
    // its narrow one, which has lost the letters the code page cannot hold.
    std::wstring wideName = Utf16(name);
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0)
        return "";
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(wideName.c_str(), value.data(), size));
    return Utf8(value);
#else
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
#endif
}

std::vector<size_t> CharacterStarts(std::string_view text)
{
    std::vector<size_t> starts;
    for (size_t at = 0; at < text.size();) {
        starts.push_back(at);
#ifdef _WIN32
        at += IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
#else
        do
            ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80);
#endif
    }
    starts.push_back(text.size());
    return starts;
}

#ifdef _WIN32
std::string Utf8(const std::wstring& text)
{
    return Encode(text, CP_UTF8);
}

std::string FromCommandLine(const std::string& text)
{
    return Utf8(Decode(text, CP_ACP));
}

std::string ForTool(const std::string& text)
{
    return Encode(Utf16(text), CP_ACP);
}

std::string TextAsUtf8(std::string text)
{
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                            static_cast<int>(text.size()), nullptr, 0) != 0)
        return text;
    return FromCommandLine(text);
}
#else
std::string FromCommandLine(const std::string& text)
{
    return text;
}

std::string ForTool(const std::string& text)
{
    return text;
}

std::string TextAsUtf8(std::string text)
{
    return text;
}
#endif

} // namespace standin
