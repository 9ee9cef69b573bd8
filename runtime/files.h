// Reading the stand-in's files, and the paths it names them by.
#pragma once

#include <cstdint>
#include <string>

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
// Drops "." and "folder/.." steps, so paths in messages read plainly.
std::string Tidy(const std::string& path);
// The folder this library was loaded from; the sample data is found from it.
std::string LibraryFolder();

} // namespace standin
