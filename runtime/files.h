// Reading the stand-in's files, and the paths it names them by. Inside the
// stand-in, paths and texts are UTF-8 on Windows; files are reached through
// the system's UTF-16 calls, whatever letters their paths hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class FileRead { Done, Failed, OverTheLimit };

// Reads a whole regular file of at most limit bytes into contents, with one
// allocation of its real size. A FIFO, a device, a socket or a folder is
// refused at once, without waiting for a writer; so is a file over the
// limit, whatever size it claims, and one that changed while it was read.
// On failure says why: "it is a FIFO, not a regular file".
FileRead ReadRegularFile(const std::string& path, uint64_t limit, std::string& contents,
                         std::string& why);

// What a file that is not a regular file is, for messages: "a FIFO".
const char* KindOfFile(unsigned mode);

bool IsAbsolute(const std::string& path);
// The folder of a path: "." for a bare name, "/" for a name at the root.
std::string FolderOf(const std::string& path);
// The name, taken from the folder unless it is absolute.
std::string Join(const std::string& folder, const std::string& name);
// Drops "." and "folder/.." steps, so paths in messages read plainly, with
// the platform's own separator.
std::string Tidy(const std::string& path);
// The folder this library was loaded from; the sample data is found from it.
std::string LibraryFolder();
// An environment variable's value, or nothing when it is unset.
std::string Environment(const char* name);

// Where each character of a text starts, and its end: UTF-8 on Linux, the
// ANSI code page (one or two bytes a character) on Windows.
std::vector<size_t> CharacterStarts(std::string_view text);

// Text as the stand-in holds it, from text as it comes on the command line;
// and text as the tool takes it. On Windows the command line and the tool
// are in the ANSI code page (a letter it cannot hold becomes its best fit,
// '?' at worst); elsewhere both stay as they are.
std::string FromCommandLine(const std::string& text);
std::string ForTool(const std::string& text);
// A file's text as the stand-in holds it. On Windows, text that is not
// valid UTF-8 is read in the ANSI code page; UTF-16 text stays as it is,
// for the reader to refuse.
std::string TextAsUtf8(std::string text);

#ifdef _WIN32
std::string Utf8(const std::wstring& text);
#endif

} // namespace standin
