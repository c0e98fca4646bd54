#include "foundation/FileManager.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

using vyk::test::EnvironmentGuard;
using vyk::test::TemporaryFolder;
using Kind = FileManager::ItemKind;

namespace {

FileManager& files() { return FileManager::defaultManager(); }

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

} // namespace

TEST(FileManager, TellsTheKindOfAnItem) {
    TemporaryFolder tmp;
    writeFile(tmp / "file", "x");
    ASSERT_EQ(::mkfifo((tmp / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(tmp.path().c_str(), (tmp / "link").c_str()), 0);
    EXPECT_EQ(files().kindOfItem(tmp / "file"), Kind::regularFile);
    EXPECT_EQ(files().kindOfItem(tmp.path()), Kind::directory);
    EXPECT_EQ(files().kindOfItem(tmp / "link"), Kind::directory);
    EXPECT_EQ(files().kindOfItem(tmp / "fifo"), Kind::other);
    EXPECT_EQ(files().kindOfItem(tmp / "missing"), Kind::none);
    EXPECT_EQ(files().kindOfItem(""), Kind::none);
    EXPECT_FALSE(files().fileExists(tmp / "file/below"));
}

// Root ignores permissions, so the failure case comes from a file, not a mode.
TEST(FileManager, CreatesFoldersWithIntermediatesUnlessAFileIsInTheWay) {
    TemporaryFolder tmp;
    NSError error;
    EXPECT_TRUE(files().createDirectory(tmp / "a/b/c", true, &error)) << error.localizedDescription;
    EXPECT_EQ(files().kindOfItem(tmp / "a/b/c"), Kind::directory);
    EXPECT_TRUE(files().createDirectory(tmp / "a/b/c", true)); // already there
    EXPECT_FALSE(files().createDirectory(tmp / "a/b/c", false));
    EXPECT_FALSE(files().createDirectory(tmp / "x/y", false, &error));
    EXPECT_EQ(error.code, ENOENT);

    writeFile(tmp / "plain", "x");
    EXPECT_FALSE(files().createDirectory(tmp / "plain", true, &error));
    EXPECT_EQ(error.code, ENOTDIR);
    EXPECT_EQ(error.localizedDescription, "a file that is not a folder is in the way");
    EXPECT_FALSE(files().createDirectory(tmp / "plain/sub/deeper", true, &error));
    EXPECT_EQ(error.code, ENOTDIR);
    EXPECT_EQ(files().kindOfItem(tmp / "plain"), Kind::regularFile);
}

TEST(FileManager, ListsAFolderSorted) {
    TemporaryFolder tmp;
    for (const char* name : {"b.aupreset", "A.AUPRESET", "readme.txt"}) writeFile(tmp / name, "");
    ASSERT_TRUE(files().createDirectory(tmp / "d.aupreset", false));
    const auto names = files().contentsOfDirectory(tmp.path());
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{"A.AUPRESET", "b.aupreset", "d.aupreset", "readme.txt"}));
    NSError error;
    EXPECT_FALSE(files().contentsOfDirectory(tmp / "missing", &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_FALSE(files().contentsOfDirectory(tmp / "readme.txt", &error));
    EXPECT_EQ(error.code, ENOTDIR);
}

TEST(FileManager, ReadsOnlyRegularFilesUpToTheCap) {
    TemporaryFolder tmp;
    writeFile(tmp / "ten", "0123456789");
    EXPECT_EQ(files().contents(tmp / "ten", 10), "0123456789");
    writeFile(tmp / "empty", "");
    EXPECT_EQ(files().contents(tmp / "empty", 10), "");

    NSError error;
    EXPECT_FALSE(files().contents(tmp / "ten", 9, &error));
    EXPECT_EQ(error.code, EFBIG);
    EXPECT_FALSE(files().contents(tmp / "missing", 10, &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_FALSE(files().contents(tmp.path(), 10, &error));
    EXPECT_EQ(error.code, EISDIR);

    // A FIFO without a writer would block a plain open forever.
    ASSERT_EQ(::mkfifo((tmp / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(files().contents(tmp / "fifo", 10, &error));
    EXPECT_EQ(error.localizedDescription, "not a regular file");
    EXPECT_FALSE(files().contents("/dev/zero", 10, &error));
    EXPECT_EQ(error.localizedDescription, "not a regular file");
}

TEST(FileManager, AHugeSparseFileIsRefusedWithoutReadingIt) {
    TemporaryFolder tmp;
    const std::string path = tmp / "huge.aupreset";
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 100 << 20), 0);
    ::close(fd);
    NSError error;
    EXPECT_FALSE(files().contents(path, 4 << 20, &error));
    EXPECT_EQ(error.code, EFBIG);
    EXPECT_EQ(error.localizedDescription, "the file is larger than 4194304 bytes");
}

TEST(FileManager, WritesAtomically) {
    TemporaryFolder tmp;
    const std::string path = tmp / "state.plist";
    ASSERT_TRUE(files().writeAtomically(path, "first"));
    ::chmod(path.c_str(), 0600);
    ASSERT_TRUE(files().writeAtomically(path, "second"));
    EXPECT_EQ(files().contents(path, 100), "second");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    NSError error;
    EXPECT_FALSE(files().writeAtomically(tmp / "missing/state.plist", "x", &error));
    EXPECT_EQ(error.code, ENOENT);

    // Renaming over a folder fails: the folder stays and no temporary is left.
    ASSERT_TRUE(files().createDirectory(tmp / "folder", false));
    EXPECT_FALSE(files().writeAtomically(tmp / "folder", "x", &error));
    EXPECT_EQ(files().kindOfItem(tmp / "folder"), Kind::directory);
    EXPECT_EQ(files().contentsOfDirectory(tmp.path()), (std::vector<std::string>{"folder", "state.plist"}));
}

// A write through symbolic links (chained, dangling, or in a folder that takes no new
// file, as /proc/self/fd) keeps them and writes the file they name.
TEST(FileManager, WritesThroughSymbolicLinks) {
    TemporaryFolder tmp;
    ASSERT_EQ(::symlink("state.plist", (tmp / "first").c_str()), 0);
    ASSERT_EQ(::symlink((tmp / "first").c_str(), (tmp / "second").c_str()), 0);
    EXPECT_TRUE(files().writeAtomically(tmp / "second", "created"));
    const int fd = ::open((tmp / "state.plist").c_str(), O_RDONLY);
    EXPECT_TRUE(files().writeAtomically("/proc/self/fd/" + std::to_string(fd), "replaced"));
    ::close(fd);
    EXPECT_EQ(files().contents(tmp / "second", 100), "replaced");
    EXPECT_EQ(files().contentsOfDirectory(tmp.path()), (std::vector<std::string>{"first", "second", "state.plist"}));
    struct stat info {};
    EXPECT_TRUE(::lstat((tmp / "second").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
}

TEST(FileManager, DocumentsFolderFollowsTheEnvironment) {
    EnvironmentGuard env;
    auto documents = [] {
        const auto urls = files().documentDirectoryURLs();
        return urls.empty() ? std::string("(none)") : urls.front().path();
    };
    env.set("VYK_WIMBRAX_DOCUMENTS", "/override/docs");
    env.set("XDG_DATA_HOME", "/xdg/data");
    env.set("HOME", "/home/user");
    EXPECT_EQ(documents(), "/override/docs");
    env.set("VYK_WIMBRAX_DOCUMENTS", "relative/docs");
    EXPECT_EQ(documents(), "/xdg/data/vyk-wimbrax");
    env.set("VYK_WIMBRAX_DOCUMENTS", std::nullopt);
    EXPECT_EQ(documents(), "/xdg/data/vyk-wimbrax");
    env.set("XDG_DATA_HOME", "");
    EXPECT_EQ(documents(), "/home/user/.local/share/vyk-wimbrax");
    env.set("XDG_DATA_HOME", "data");
    EXPECT_EQ(documents(), "/home/user/.local/share/vyk-wimbrax");
    env.set("HOME", "");
    EXPECT_EQ(documents(), "(none)");
    env.set("HOME", std::nullopt);
    EXPECT_EQ(documents(), "(none)");
}
