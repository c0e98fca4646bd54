// Loading and saving whole files, and printing, with the console messages.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "TestEnvironment.h"
#include "dsp/kvt/CString.h"

using KVT::CString;

namespace {

class CStringFile : public ::testing::Test {
protected:
    std::string read(const std::string& path) {
        std::stringstream ss;
        ss << std::ifstream(path, std::ios::binary).rdbuf();
        return ss.str();
    }
    // Runs `action` and returns what it printed.
    template <typename F>
    std::string print(F action) {
        console.clear();
        action();
        return console.text();
    }

    vyk::test::TemporaryFolder tmp;
    const std::string dir = tmp.path();
    vyk::test::ConsoleCapture console;
};

} // namespace

TEST_F(CStringFile, RoundTripKeepsZeroBytes) {
    const std::string path = dir + "/data.bin", content("a\0b\xff", 4);
    CString s("a");
    s += '\0';
    s += "b\xff";
    EXPECT_EQ(s >> path.c_str(), 0);
    EXPECT_EQ(read(path), content);
    CString loaded;
    EXPECT_EQ(loaded << path.c_str(), 4);
    EXPECT_EQ(std::string(loaded.Data(), 4), content);
    EXPECT_EQ(console.text(), "");
    EXPECT_EQ(loaded << static_cast<const char*>(nullptr), 0);
}

TEST_F(CStringFile, LoadFailuresPrintAndLeaveAnEmptyString) {
    const std::string huge = dir + "/huge";
    std::FILE* f = std::fopen(huge.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(ftruncate(fileno(f), (off_t{1} << 31) + 16), 0); // sparse
    std::fclose(f);
    // A missing file, a directory and a file too large for a string.
    for (const std::string& path : {dir + "/missing.txt", dir, huge}) {
        CString s("old");
        EXPECT_EQ(print([&] { EXPECT_EQ(s << path.c_str(), 0); }),
                  "\nERROR: File '" + path + "' could not be opened for loading.");
        EXPECT_FALSE(s.ToBool());
    }
    const std::string emptyFile = dir + "/empty";
    std::ofstream(emptyFile).close();
    CString s("old");
    EXPECT_EQ(print([&] { EXPECT_EQ(s << emptyFile.c_str(), 0); }), "");
}

TEST_F(CStringFile, FailedSaveKeepsTheOldFile) {
    CString none, s("new");
    EXPECT_EQ(print([&] { EXPECT_EQ(none >> (dir + "/x").c_str(), 0); }), "\nError: String object is empty.");

    // The target is a non-empty directory: the write succeeds, the rename fails.
    const std::string target = dir + "/target";
    ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
    std::ofstream(target + "/keep") << "old";
    EXPECT_EQ(print([&] { s >> target.c_str(); }), "\nERROR: While writing file.");
    EXPECT_EQ(read(target + "/keep"), "old");
    EXPECT_NE(access((target + ".tmp").c_str(), F_OK), 0); // no temporary left behind

    const std::string unopenable = dir + "/no/such/dir/file";
    EXPECT_EQ(print([&] { s >> unopenable.c_str(); }),
              "\nERROR: File '" + unopenable + "' could not be opened for saving.");

    // Saving over an existing file replaces it whole.
    const std::string file = dir + "/file";
    std::ofstream(file) << "a much longer old text";
    s >> file.c_str();
    EXPECT_EQ(read(file), "new");
}

// A save through a symbolic link keeps the link and writes its file.
TEST_F(CStringFile, SaveThroughALinkWritesItsFile) {
    const std::string link = dir + "/link";
    ASSERT_EQ(symlink("file", link.c_str()), 0);
    EXPECT_EQ(print([&] { CString("new") >> link.c_str(); }), "");
    struct stat info {};
    EXPECT_TRUE(lstat(link.c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    EXPECT_EQ(read(dir + "/file"), "new");
}

TEST_F(CStringFile, PrintsTheTextNTimes) {
    CString s("ab"), none;
    s += '\0';
    s += "hidden";
    s >> 3;
    none >> 2;
    EXPECT_EQ(console.text(), "ababab");
}
