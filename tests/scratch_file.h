// Scratch files and folders that no other process is handed.
#pragma once
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

// A scratch file, gone once closed. On Windows std::tmpfile() names its file
// after the clock, in the user's temporary folder, which the two Windows
// builds share under Wine: two test programs that asked at the same moment
// got the same file, so one read what the other wrote, or got no file at all.
inline std::FILE* ScratchFile()
{
#ifdef _WIN32
    static int count = 0;
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("zorbel-test-" + std::to_string(getpid()) + "-file-" + std::to_string(++count));
    return _wfopen(path.c_str(), L"w+bD"); // D: deleted when closed
#else
    return std::tmpfile();
#endif
}

// A folder of a test's own in the temporary folder, under a name that no
// other run or user holds (another user's folder of the same name would
// refuse us); removed once the test has passed, kept and named if it failed.
// Paths are wide on Windows, so any letters in the temporary folder's do.
class ScratchFolder {
  public:
    ScratchFolder()
    {
        std::filesystem::path base = std::filesystem::temp_directory_path();
#ifdef _WIN32
        // No mkdtemp here; a name that is taken makes no folder, and no error.
        std::error_code error;
        for (int n = 0;; ++n) {
            path_ = base / ("zorbel-test-" + std::to_string(getpid()) + "-" + std::to_string(n));
            if (std::filesystem::create_directory(path_, error) || error)
                break;
        }
        if (error)
            ADD_FAILURE() << "cannot make a folder " << path_.string() << ": " << error.message();
#else
        std::string name = (base / "zorbel-test-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr)
            ADD_FAILURE() << "cannot make a folder " << name << ": " << std::strerror(errno);
        path_ = name;
#endif
    }
    ~ScratchFolder()
    {
        std::error_code ignored; // a folder left behind is no reason to end the tests
        if (::testing::Test::HasFailure())
            std::fprintf(stderr, "The failed test's files are kept in %s\n",
                         path_.string().c_str());
        else
            std::filesystem::remove_all(path_, ignored);
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
