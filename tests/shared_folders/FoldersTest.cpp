#include "shared/Folders.h"

#include "../foundation_files/TestEnvironment.h"
#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "foundation/FileManager.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using vyk::test::EnvironmentGuard;
using vyk::test::TemporaryFolder;

namespace {

// The lines logged through the main queue once it has been drained.
class ConsoleCapture {
public:
    ConsoleCapture() {
        RunLoop::main().runUntilIdle();   // lines of earlier tests go to the old sink
        previous_ = Console::setSink([this](std::string_view text) { text_ += text; });
    }
    ~ConsoleCapture() { Console::setSink(previous_); }
    std::string drained() {
        RunLoop::main().runUntilIdle();
        return std::exchange(text_, {});
    }

private:
    Console::Sink previous_;
    std::string text_;
};

const std::string kPrefix = "AudioUnitViewController::getPaths() : ";

std::string resourcesLine() {
    const auto resources = Bundle::main().resourceURL();
    return resources ? kPrefix + "Audio Unit's resources path is: " + resources->path() + "\n"
                     : kPrefix + "ERROR: Audio Unit's resources path is nil.\n";
}

} // namespace

TEST(Folders, GetPathsFindsTheDocumentsFolderTheXDGWay) {
    TemporaryFolder tmp;
    EnvironmentGuard env;
    ConsoleCapture console;
    env.set("VYK_WIMBRAX_DOCUMENTS", std::nullopt);
    env.set("XDG_DATA_HOME", tmp / "data");
    env.set("HOME", tmp / "home");

    getPaths();
    ASSERT_TRUE(documentsURL);
    EXPECT_EQ(documentsURL->path(), tmp / "data/vyk-wimbrax");
    EXPECT_EQ(console.drained(),
              kPrefix + "Audio Unit's documents path is: " + tmp / "data/vyk-wimbrax" + "\n" + resourcesLine());
    EXPECT_FALSE(sharedURLAudio);
    EXPECT_FALSE(sharedURLMIDI);
}

TEST(Folders, WithoutAHomeTheDocumentsFolderIsUnknown) {
    EnvironmentGuard env;
    ConsoleCapture console;
    env.set("VYK_WIMBRAX_DOCUMENTS", std::nullopt);
    env.set("XDG_DATA_HOME", std::nullopt);
    env.set("HOME", std::nullopt);
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
    EXPECT_FALSE(ensureDirectoryExists(URL::fileURL(tmp / "Presets")));
    EXPECT_FALSE(ensureDirectoryExists(URL::fileURL(tmp / "Presets/Factory")));
    EXPECT_EQ(console.drained(),
              "ensureDirectoryExists() : ERROR: Creating required directory '" + tmp / "Presets" +
                  "' failed: a file that is not a folder is in the way\n"
                  "ensureDirectoryExists() : ERROR: Creating required directory '" + tmp / "Presets/Factory" +
                  "' failed: a file that is not a folder is in the way\n");
}
