// The stand-in's file reading and path helpers: what it refuses, the limits
// it keeps whatever size a file claims, and paths as messages show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files.h"
#include "tests/scratch_file.h"

using namespace standin;

namespace {

namespace fs = std::filesystem;

TEST(ReadRegularFile, ReadsUpToItsLimitAndRefusesTheRest)
{
    ScratchFolder scratch;
    fs::path folder = scratch.path();
    std::string file = (folder / "ten.txt").string();
    std::ofstream(file, std::ios::binary) << "0123456789";
    std::string contents, why;

    EXPECT_EQ(ReadRegularFile(file, 10, contents, why), FileRead::Done) << why;
    EXPECT_EQ(contents, "0123456789");
    EXPECT_EQ(ReadRegularFile(file, 9, contents, why), FileRead::OverTheLimit);
    EXPECT_EQ(why, "it is 10 bytes, over the limit of 9 bytes");
    EXPECT_EQ(contents, "");
    EXPECT_EQ(ReadRegularFile(folder.string(), 10, contents, why), FileRead::Failed);
    EXPECT_EQ(why, "it is a folder, not a regular file");
#ifndef _WIN32 // a socket cannot even be opened, yet is named as a FIFO is
    std::string socket_file = (folder / "r.socket").string();
    ASSERT_EQ(mknod(socket_file.c_str(), S_IFSOCK | 0600, 0), 0);
    EXPECT_EQ(ReadRegularFile(socket_file, 10, contents, why), FileRead::Failed);
    EXPECT_EQ(why, "it is a socket, not a regular file");
#endif
    EXPECT_STREQ(KindOfFile(S_IFBLK), "a block device");
    EXPECT_STREQ(KindOfFile(0), "not a file");
}

#ifndef _WIN32
TEST(ReadRegularFile, TrustsNoClaimedSize)
{
    // Files in /proc claim 0 bytes: read whole, yet never past the limit.
    std::string contents, why;
    ASSERT_EQ(ReadRegularFile("/proc/self/status", 1 << 20, contents, why), FileRead::Done) << why;
    EXPECT_NE(contents.find("Name:"), std::string::npos);
    EXPECT_EQ(ReadRegularFile("/proc/self/status", 8, contents, why), FileRead::OverTheLimit);
    EXPECT_EQ(why, "it is more than 8 bytes, over the limit of 8 bytes");
    // A read that fails: the first page of the process's memory is not mapped.
    EXPECT_EQ(ReadRegularFile("/proc/self/mem", 8, contents, why), FileRead::Failed);
    EXPECT_EQ(why, "Input/output error");
}
#endif

TEST(Paths, AreTidiedAndJoined)
{
    // Written with the platform's own separator: a backslash on Windows.
    auto native = [](std::string path) {
#ifdef _WIN32
        std::replace(path.begin(), path.end(), '/', '\\');
#endif
        return path;
    };
    EXPECT_EQ(Tidy("/a/./b/../c.ini"), native("/a/c.ini"));
    EXPECT_EQ(Tidy("././local.txt"), native("./local.txt"));
    EXPECT_EQ(Tidy("../x/../y"), native("../y"));
    EXPECT_EQ(Tidy("../../a/./b"), native("../../a/b")); // ".." after ".." stays
    EXPECT_EQ(Tidy("a/b/../../../c"), native("../c"));
    EXPECT_EQ(Join("conf", "r.txt"), native("conf/r.txt"));
    EXPECT_EQ(Join("conf", "/abs/r.txt"), "/abs/r.txt");
    EXPECT_EQ(Join("conf", "\\abs\\r.txt"), "\\abs\\r.txt");
    EXPECT_FALSE(IsAbsolute(""));
    EXPECT_EQ(Tidy("/../a"), native("/../a")); // ".." at the root stays
    EXPECT_EQ(FolderOf("/zorbel.ini"), "/");
    EXPECT_EQ(FolderOf("zorbel.ini"), ".");
#ifdef _WIN32
    EXPECT_TRUE(IsAbsolute("C:/notes/r.txt")); // a drive letter
#else
    EXPECT_FALSE(IsAbsolute("C:/notes/r.txt")); // a folder named "C:"
#endif
}

} // namespace
