#include "foundation/Bundle.h"
#include "foundation/FileManager.h"
#include "foundation/ProcessInfo.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

using vyk::test::TemporaryFolder;

TEST(Bundle, MainBundleHoldsThePlatformLibrary) {
    // Test programs lie outside the layout; the platform library is inside it.
    const URL& bundle = Bundle::main().bundleURL();
    EXPECT_EQ(bundle.lastPathComponent(), "VYK-Wimbrax");
    EXPECT_EQ(FileManager::defaultManager().kindOfItem(bundle.path() + "/lib/libvyk-platform.so"),
              FileManager::ItemKind::regularFile);
}

TEST(Bundle, FoundFromABinaryInTheLayout) {
    EXPECT_EQ(Bundle::forBinary("/opt/VYK-Wimbrax/bin/VYK-Wimbrax").bundleURL().path(), "/opt/VYK-Wimbrax/");
    EXPECT_EQ(Bundle::forBinary("/opt/VYK-Wimbrax/lib/libvyk-platform.so").bundleURL().path(), "/opt/VYK-Wimbrax/");
    EXPECT_EQ(Bundle::forBinary("/usr/local/tool").bundleURL().path(), "/usr/local/");
}

TEST(Bundle, FindsResourcesThatExist) {
    TemporaryFolder tmp;
    const Bundle bundle = Bundle::forBinary(tmp / "bin/VYK-Wimbrax");
    EXPECT_FALSE(bundle.resourceURL());
    EXPECT_FALSE(bundle.url("manual", "pdf"));
    ASSERT_TRUE(FileManager::defaultManager().createDirectory(tmp / "Resources/manual.pdf.d", true));
    ASSERT_TRUE(FileManager::defaultManager().createDirectory(tmp / "PlugIns", true));
    std::ofstream(tmp / "Resources/manual.pdf") << "%PDF";
    ASSERT_TRUE(bundle.resourceURL());
    EXPECT_EQ(bundle.resourceURL()->path(), tmp / "Resources");
    EXPECT_EQ(bundle.builtInPlugInsURL()->path(), tmp / "PlugIns");
    ASSERT_TRUE(bundle.url("manual", "pdf"));
    EXPECT_EQ(bundle.url("manual", "pdf")->path(), tmp / "Resources/manual.pdf");
    EXPECT_FALSE(bundle.url("manual", "html"));
    EXPECT_FALSE(bundle.url("manual.pdf", "d")); // a folder is no resource file
}

TEST(ProcessInfo, UniqueStringsAreRandomUUIDs) {
    const std::regex uuid("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 10000; ++i) {
        const std::string s = ProcessInfo::processInfo().globallyUniqueString();
        if (i < 100) {
            EXPECT_TRUE(std::regex_match(s, uuid)) << s;
        }
        seen.insert(s);
    }
    EXPECT_EQ(seen.size(), 10000u);
}
