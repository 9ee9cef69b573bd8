// Scratch files and folders that no other process is handed.
#pragma once
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#ifdef _WIN32
#include <direct.h>
#endif

// A scratch file, gone once closed. On Windows std::tmpfile() names its file
// after the clock, in the user's temporary folder, which the two Windows
// builds share under Wine: two test programs that asked at the same moment
// got the same file, so one read what the other wrote, or got no file at all.
inline std::FILE* ScratchFile()
{
#ifdef _WIN32
    static int count = 0;
    const char* folder = std::getenv("TEMP");
    std::string path = std::string(folder != nullptr ? folder : ".") + "\\zorbel-test-" +
                       std::to_string(getpid()) + "-" + std::to_string(++count);
    return std::fopen(path.c_str(), "w+bD"); // D: deleted when closed
#else
    return std::tmpfile();
#endif
}

// A folder of a test's own in the temporary folder, under a name that no
// other run or user holds (another user's folder of the same name would
// refuse us); removed once the test has passed, kept and named if it failed.
class ScratchFolder {
  public:
    ScratchFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "zorbel-test-").string();
#ifdef _WIN32
        // No mkdtemp here; _mkdir refuses a name that is taken.
        name += std::to_string(getpid()) + "-";
        int n = 0;
        while (_mkdir((name + std::to_string(n)).c_str()) != 0 && errno == EEXIST)
            ++n;
        name += std::to_string(n);
#else
        name += "XXXXXX";
        if (mkdtemp(name.data()) == nullptr)
            ADD_FAILURE() << "cannot make a folder " << name << ": " << std::strerror(errno);
#endif
        path_ = name;
    }
    ~ScratchFolder()
    {
        if (::testing::Test::HasFailure())
            std::fprintf(stderr, "The failed test's files are kept in %s\n",
                         path_.string().c_str());
        else
            std::filesystem::remove_all(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const
    {
        return path_;
    }

  private:
    std::filesystem::path path_;
};
