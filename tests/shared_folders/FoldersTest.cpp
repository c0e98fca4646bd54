#include "shared/Folders.h"

#include "TestEnvironment.h"
#include "foundation/Bundle.h"
#include "foundation/FileManager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using vyk::test::ConsoleCapture;
using vyk::test::EnvironmentGuard;
using vyk::test::TemporaryFolder;

namespace {

const std::string kPrefix = "AudioUnitViewController::getPaths() : ";

std::string resourcesLine() {
    const auto resources = Bundle::main().resourceURL();
    return resources ? kPrefix + "Audio Unit's resources path is: " + resources->path() + "\n"
                     : kPrefix + "ERROR: Audio Unit's resources path is nil.\n";
}

} // namespace

// The documents folder the XDG way, or none without a home, each with its line.
TEST(Folders, GetPathsFindsTheDocumentsFolderOrSaysItIsNil) {
    TemporaryFolder tmp;
    EnvironmentGuard env;
    ConsoleCapture console;
    console.drained();
    env.set("VYK_WIMBRAX_DOCUMENTS", std::nullopt);
    env.set("XDG_DATA_HOME", tmp / "data");
    env.set("HOME", std::nullopt);
    getPaths();
    ASSERT_TRUE(documentsURL);
    EXPECT_EQ(documentsURL->path(), tmp / "data/vyk-wimbrax");
    EXPECT_EQ(console.drained(),
              kPrefix + "Audio Unit's documents path is: " + tmp / "data/vyk-wimbrax" + "\n" + resourcesLine());
    EXPECT_FALSE(sharedURLAudio);
    EXPECT_FALSE(sharedURLMIDI);

    env.set("XDG_DATA_HOME", std::nullopt);
    getPaths();
    EXPECT_FALSE(documentsURL);
    EXPECT_EQ(console.drained(), kPrefix + "ERROR: Audio Unit's documents path is nil.\n" + resourcesLine());
}

TEST(Folders, EnsureDirectoryExistsCreatesEveryLevelOrReportsAFileInTheWay) {
    TemporaryFolder tmp;
    ConsoleCapture console;
    EXPECT_TRUE(ensureDirectoryExists(URL::fileURL(tmp / "a/b/c")));
    EXPECT_EQ(FileManager::defaultManager().kindOfItem(tmp / "a/b/c"), FileManager::ItemKind::directory);
    EXPECT_TRUE(ensureDirectoryExists(URL::fileURL(tmp / "a/b/c")));
    EXPECT_EQ(console.drained(), "");

    std::ofstream(tmp / "Presets") << "not a folder";
    EXPECT_FALSE(ensureDirectoryExists(URL::fileURL(tmp / "Presets/Factory")));
    EXPECT_EQ(console.drained(), "ensureDirectoryExists() : ERROR: Creating required directory '" +
                                     tmp / "Presets/Factory" + "' failed: a file that is not a folder is in the way\n");
}
