// The string class: the behaviours its users rely on, and the operations that
// used to read freed memory or overrun buffers (run under AddressSanitizer).
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "dsp/kvt/CString.h"

using KVT::CString;
using KVT::CStringList;

namespace {

std::string bytes(CString& s) { return std::string(s.Data(), s.Length()); }

} // namespace

TEST(CString, NewStringAndAssignment) {
    CString s;
    EXPECT_STREQ(s.Data(), "(null*)");
    EXPECT_TRUE(s == "(null*)");
    EXPECT_EQ(s.Length(), 0);
    EXPECT_FALSE(s.ToBool());
    EXPECT_TRUE(s.IsKeyword());
    EXPECT_EQ(s.Integer(), 0);
    EXPECT_EQ(s.Unicode(), nullptr);
    EXPECT_EQ(s[0], 0);

    EXPECT_EQ(s = "hello", 5); // the const text form returns the length
    char text[] = "abc";
    EXPECT_EQ(s = text, 0);
    EXPECT_EQ(bytes(s), "abc");
    s = 2.5;
    EXPECT_EQ(bytes(s), "2.500000");
    s = 1e300; // 308 characters: needs more than a small number buffer
    EXPECT_EQ(s.Length(), 308);
    EXPECT_EQ(s.Double(), 1e300);
    CString& self = s;
    s = self; // self-assignment keeps the text
    EXPECT_EQ(s.Length(), 308);
    s = s.Data() + 300; // a text inside the string's own buffer
    EXPECT_EQ(bytes(s), "0.000000");

    CString copy("deep");
    CString other(copy); // a copy owns its own buffer (no double free)
    copy = "changed";
    EXPECT_EQ(bytes(other), "deep");
}

TEST(CString, ComparingIndexingAppendingAndRemoving) {
    CString a("apple"), b("banana");
    EXPECT_TRUE(a != "pear" && a < b && b > a && a <= a && b >= a);
    a[0] = 'A';
    a[99] = 'x'; // lands in the shared spare byte
    a[-1] = 'x';
    EXPECT_EQ(bytes(a), "Apple");
    EXPECT_EQ(a[5], 0);

    CString s;
    s += "ab";
    s += '\0'; // any byte value, zero included
    s += 7;
    s += 0.5;
    CString tail("!");
    s += tail;
    EXPECT_EQ(bytes(s), std::string("ab\0"
                                    "70.500000!",
                                    13));
    s = "abc";
    s -= 1;
    s -= 0;
    EXPECT_EQ(bytes(s), "ab");
    s -= 5;
    EXPECT_FALSE(s.ToBool());
    s = "a-b-c";
    s -= "-";
    EXPECT_EQ(bytes(s), "abc");
}

TEST(CString, BuildingOperatorsUseTheSharedResult) {
    CString a("ab"), none;
    EXPECT_EQ(&(a + none), &a); // empty right side: the object itself
    EXPECT_EQ(&(a + static_cast<const char*>(nullptr)), &a);
    EXPECT_EQ(&(a * 1), &a);
    EXPECT_EQ(&(a - 0), &a);
    EXPECT_EQ(&(a + "c"), &CString::tempstr());
    // Chained: the left operand of the second + is the shared result itself.
    CString& chained = (a + "x") + "y" + 3 + 0.25;
    EXPECT_EQ(bytes(chained), "abxy30.250000");
    EXPECT_EQ(bytes(a * 3), "ababab");
    EXPECT_EQ(bytes(a - 1), "a");
    EXPECT_EQ((a - 2).Length(), 0);
    CString dashes("a-b-");
    EXPECT_EQ(bytes(dashes - "-"), "ab");
    EXPECT_EQ(bytes(dashes), "a-b-");
    // An argument that points into the shared result.
    CString& t = a + "123";
    EXPECT_EQ(bytes(a + (t.Data() + 3)), "ab23");
}

TEST(CString, Find) {
    CString s("abcabc");
    const struct {
        const char* text;
        int from, at;
    } cases[] = {{"bc", 0, 1}, {"bc", 2, 4},       {"bc", -7, 1},   {"", 0, -1},
                 {"a", 6, -1}, {"abcabcd", 0, -1}, {nullptr, 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(s.Find(c.text, c.from), c.at) << (c.text ? c.text : "null") << " from " << c.from;
}

TEST(CString, Replace) {
    CString s("abc");
    EXPECT_FALSE(s.Replace("abc", nullptr, 0, true)); // would leave nothing
    EXPECT_FALSE(s.Replace("b", "b", 0, true));
    EXPECT_EQ(bytes(s), "abc");
    const struct {
        const char *before, *find, *with;
        int from;
        bool all;
        const char* after;
    } cases[] = {
        {"x-y-z", "-", nullptr, 0, false, "xy-z"}, // the first of two
        {"aaa", "a", "aa", 0, true, "aaaaaa"},     // the inserted text is not searched again
        {"aa", "a", nullptr, 0, true, "a"},        // the step to no bytes is refused
        {"one two two", "two", "2", 4, true, "one 2 2"},
    };
    for (const auto& c : cases) {
        s = c.before;
        EXPECT_TRUE(s.Replace(c.find, c.with, c.from, c.all)) << c.before;
        EXPECT_EQ(bytes(s), c.after);
    }
    s = "abab";
    EXPECT_TRUE(s.Replace(s.Data() + 2, "x", 0, true)); // find text inside its own buffer
    EXPECT_EQ(bytes(s), "xx");

    // Many matches: no recursion per match.
    std::string big(200000, 'q');
    s = big.c_str();
    EXPECT_TRUE(s.Replace("q", "rs", 0, true));
    EXPECT_EQ(s.Length(), 400000);
    EXPECT_EQ(s.Find("q", 0), -1);
}

TEST(CString, InsertSubStrAndTrim) {
    CString s("abc");
    s.Insert(3, "x"); // at the very end: nothing
    s.Insert(-1, "x");
    s.Insert(1, "XY");
    EXPECT_EQ(bytes(s), "aXYbc");
    EXPECT_STREQ(s.SubStr(1, 2), "XY");
    EXPECT_STREQ(s.SubStr(3, 100), "bc");
    EXPECT_EQ(s.SubStr(5, 1), nullptr);
    EXPECT_EQ(s.SubStr(0, 0), nullptr);
    EXPECT_EQ(s.SubStr(0, INT_MAX), std::string("aXYbc")); // no start + count overflow

    s = " \t\r\nmid dle \n";
    s.Trim();
    EXPECT_EQ(bytes(s), "mid dle");
    s = "   ";
    s.TrimLeft();
    EXPECT_FALSE(s.ToBool());
    s = "x  ";
    s.TrimRight();
    EXPECT_EQ(bytes(s), "x");
}

TEST(CString, SplitSkipsEmptyPieces) {
    CStringList list;
    CString s(",a,,bb,c,");
    EXPECT_EQ(s.Split(",", &list, 0, 0), 3);
    EXPECT_STREQ(list[1], "bb");
    EXPECT_STREQ(list[2], "c");
    EXPECT_EQ(s.Split(",", &list, 1, 0), 1);
    EXPECT_STREQ(list[0], "a");
    EXPECT_EQ(s.Split("", &list, 0, 0), 1); // an empty separator is never found
    EXPECT_STREQ(list[0], ",a,,bb,c,");
    s = "x::y";
    EXPECT_EQ(s.Split("::", &list, 0, 1), 2); // appended to what the list holds
    EXPECT_STREQ(list[1], "y");
    EXPECT_EQ(s.Split("::", &list, 0, -9), 4); // a negative start reads from 0
    EXPECT_EQ(s.Split(",", nullptr, 0, 0), -1);
    CString none;
    EXPECT_EQ(none.Split(",", &list, 0, 0), -1);

    std::string many;
    for (int i = 0; i < 100000; i++) many += "p;";
    s = many.c_str();
    EXPECT_EQ(s.Split(";", &list, 0, 0), 100000);
}

TEST(CString, CaseNumbersAndCharacterClasses) {
    CString s("aZ\xE9 1");
    s.Uppercase();
    EXPECT_EQ(bytes(s), "AZ\xE9 1");
    s.Lowercase();
    EXPECT_EQ(bytes(s), "az\xE9 1");
    s[1] = 'Z';
    s.Revertcase();
    EXPECT_EQ(bytes(s), "Az\xE9 1");
    EXPECT_FALSE(s.IsASCII());

    s = "\xE9";
    EXPECT_EQ(s.At(0), -23); // signed, also where char is unsigned
    EXPECT_EQ(s.First(), -23);
    EXPECT_EQ(s.At(1), 0);
    EXPECT_EQ(s.Unicode()[0], -23);
    EXPECT_EQ(s.Unicode()[1], 0);

    const struct {
        const char* text;
        int integer;
        bool keyword;
    } cases[] = {
        {"  -42xyz", -42, false}, {"word", 0, true}, {"abc12", 0, true}, {"1abc", 1, false}, {"a_b", 0, false}};
    for (const auto& c : cases) {
        s = c.text;
        EXPECT_EQ(s.Integer(), c.integer) << c.text;
        EXPECT_EQ(s.IsKeyword(), c.keyword) << c.text;
    }
    s = "ff";
    EXPECT_EQ(s.HexToInt(), 255);
    s = "2.5e1";
    EXPECT_FLOAT_EQ(s.Float(), 25.0f);
}

TEST(CString, EncodeToHexAndNoDecode) {
    CString s("A<b>");
    s.Encode();
    s.Decode(); // does nothing
    EXPECT_EQ(bytes(s), "413C623E");
}
