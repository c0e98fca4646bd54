#include "shared/Capitals.h"
#include "shared/UniqueName.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

const std::regex uuid("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");

TEST(UniqueName, PrefixHyphenAndUniqueString) {
    const std::string a = uniqueName("a");
    ASSERT_EQ(a.substr(0, 2), "a-");
    EXPECT_TRUE(std::regex_match(a.substr(2), uuid)) << a;
    const std::string empty = uniqueName("");
    ASSERT_EQ(empty.substr(0, 1), "-");
    EXPECT_TRUE(std::regex_match(empty.substr(1), uuid)) << empty;
    EXPECT_TRUE(std::regex_match(uniqueName(), uuid));
}

// The list is kept as written, spelling slips included.
TEST(Capitals, ListIsKeptAsWritten) {
    EXPECT_EQ(std::set<std::string_view>(capitals.begin(), capitals.end()).size(), 197u);
    EXPECT_EQ(capitals[44], "Copenagen");
    EXPECT_EQ(capitals[152], "S\xC3\xA3o Tom\xC3\xA9"); // precomposed UTF-8
}

} // namespace
