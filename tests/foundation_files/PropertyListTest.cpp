#include "foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace plist;

namespace {

const Value& at(const Value& v, std::string_view key) {
    const Value* found = v.dictionary() ? v.dictionary()->find(key) : nullptr;
    EXPECT_NE(found, nullptr) << key;
    static const Value missing(false);
    return found ? *found : missing;
}

std::vector<std::string> keys(const Value& v) {
    std::vector<std::string> out;
    for (const auto& [key, value] : *v.dictionary()) out.push_back(key);
    return out;
}

Value everyKind() {
    Data bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
    Dictionary inner;
    inner.set("zeta", Value(1));
    inner.set("alpha", Value(2));
    inner.set("mid", Value(Array{}));
    inner.set("empty dict", Value(Dictionary{}));
    Dictionary d;
    d.set("yes", Value(true));
    d.set("no", Value(false));
    d.set("zero", Value(0));
    d.set("min", Value(std::numeric_limits<std::int64_t>::min()));
    d.set("max", Value(std::numeric_limits<std::int64_t>::max()));
    d.set("umax", Value(std::numeric_limits<std::uint64_t>::max()));
    d.set("float", Value(static_cast<double>(0.3f)));
    d.set("tiny", Value(5e-324));
    d.set("huge", Value(-1.7976931348623157e308));
    d.set("inf", Value(std::numeric_limits<double>::infinity()));
    d.set("markup", Value("<a & b> ]]> \"q\" 'r'\r\n\tend"));
    d.set("unicode", Value("S\xC3\xA3o Tom\xC3\xA9 \xF0\x9D\x84\x9E"));
    d.set("", Value(""));
    d.set("bytes", Value(bytes));
    d.set("no bytes", Value(Data{}));
    d.set("date", Value(Date{818283600}));    // 2026-12-06T21:00:00Z
    d.set("before", Value(Date{-978307200})); // 1970-01-01T00:00:00Z
    d.set("inner", Value(std::move(inner)));
    d.set("list", Value(Array{Value(1), Value("two"), Value(Array{Value(3.5)})}));
    return Value(std::move(d));
}

} // namespace

// Integers convert only where exact; one value however it was made.
TEST(PropertyListValue, IntegersKeepTheirExactRange) {
    EXPECT_EQ(Value(-1).uint64(), std::nullopt);
    EXPECT_EQ(Value(std::numeric_limits<std::uint64_t>::max()).int64(), std::nullopt);
    EXPECT_EQ(Value(7u), Value(7));
    EXPECT_EQ(Value("7").int64(), std::nullopt);
}

TEST(PropertyListValue, DictionaryKeepsInsertionOrderAndReplacesInPlace) {
    Dictionary d;
    d.set("b", Value(1));
    d.set("a", Value(2));
    d.set("b", Value(3));
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d.begin()->first, "b");
    EXPECT_EQ(d.find("b")->int64(), 3);
    Dictionary fromEntries({{"x", Value(1)}, {"y", Value(2)}, {"x", Value(9)}});
    ASSERT_EQ(fromEntries.size(), 2u);
    EXPECT_EQ(fromEntries.begin()->first, "x");
    EXPECT_EQ(fromEntries.find("x")->int64(), 9);

    std::vector<Dictionary::Entry> many;
    for (int i = 0; i < 40; ++i) many.emplace_back("k" + std::to_string(i % 30), Value(i));
    Dictionary large(std::move(many));
    ASSERT_EQ(large.size(), 30u);
    EXPECT_EQ(large.begin()->first, "k0");
    EXPECT_EQ(large.find("k0")->int64(), 30);
    EXPECT_EQ(large.find("k29")->int64(), 29);
}

TEST(PropertyListXML, EveryKindSurvivesARoundTrip) {
    const Value original = everyKind();
    const auto xml = writeXML(original);
    ASSERT_TRUE(xml);
    const auto back = readXML(*xml);
    ASSERT_TRUE(back) << back.error.description();
    EXPECT_EQ(*back.value, original);
    EXPECT_EQ(keys(*back.value), keys(original));
    EXPECT_EQ(keys(at(*back.value, "inner")), (std::vector<std::string>{"zeta", "alpha", "mid", "empty dict"}));

    const auto nan = readXML(*writeXML(Value(std::nan(""))));
    ASSERT_TRUE(nan);
    EXPECT_TRUE(std::isnan(*nan.value->real()));
}

TEST(PropertyListXML, WritesTheStandardForm) {
    Dictionary d;
    d.set("name", Value("A&B"));
    d.set("on", Value(true));
    d.set("value", Value(static_cast<double>(0.3f)));
    d.set("empty", Value(Array{}));
    d.set("blob", Value(Data{'h', 'i', '!'}));
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<dict>\n"
        "\t<key>name</key>\n\t<string>A&amp;B</string>\n\t<key>on</key>\n\t<true/>\n"
        "\t<key>value</key>\n\t<real>0.30000001192092896</real>\n\t<key>empty</key>\n\t<array/>\n"
        "\t<key>blob</key>\n\t<data>aGkh</data>\n</dict>\n</plist>\n";
    EXPECT_EQ(writeXML(Value(std::move(d))), expected);
}

TEST(PropertyListXML, WriterRefusesWhatXMLCannotCarry) {
    std::string error;
    EXPECT_FALSE(writeXML(Value(std::string("bell\x07")), &error));
    EXPECT_NE(error.find("control character"), std::string::npos);
    EXPECT_FALSE(writeXML(Value(std::string("\xC3(")), &error)); // broken UTF-8
    Value deep(Array{});
    for (int i = 0; i < kMaxDepth + 1; ++i) deep = Value(Array{deep});
    EXPECT_FALSE(writeXML(deep, &error));
    EXPECT_NE(error.find("nested deeper"), std::string::npos);
}

TEST(PropertyListXML, ReadsAHandWrittenPreset) {
    const char* file = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- written by hand -->
<plist version="1.0">
<dict>
	<key>name</key><string>Wide</string>
	<key>type</key><integer> 1635085670 </integer>
	<key>number</key><integer>-3</integer>
	<key>big</key><integer>18446744073709551615</integer>
	<key>plus</key><integer>+5</integer>
	<key>data</key><data>
		AAEC
		/w==
	</data>
	<key>link</key><string></string>
	<key>space</key><string>  </string>
	<key>cdata</key><string>a<![CDATA[<b>]]>&#x e9;</string>
	<key>when</key><date>2001-01-02T00:00:01Z</date>
	<key>group 0</key>
	<dict>
		<key>identifier</key><string>kGlobalParameters</string>
		<key>param 0</key>
		<dict><key>address</key><integer>2</integer><key>value</key><real>0</real></dict>
		<key>param 1</key>
		<dict><key>address</key><integer>14</integer><key>value</key><real>0.8</real></dict>
		<key>flags</key><array><true/><false/><real>-1.5e3</real><real>+INF</real></array>
	</dict>
</dict>
</plist>
)";
    // "&#x e9;" is no character reference: the parser keeps it as text.
    const auto r = readXML(file);
    ASSERT_TRUE(r) << r.error.description();
    const Value& v = *r.value;
    EXPECT_EQ(keys(v), (std::vector<std::string>{"name", "type", "number", "big", "plus", "data", "link", "space",
                                                 "cdata", "when", "group 0"}));
    const std::pair<const char*, Value> expected[] = {{"name", Value("Wide")},
                                                      {"type", Value(1635085670)},
                                                      {"number", Value(-3)},
                                                      {"big", Value(std::numeric_limits<std::uint64_t>::max())},
                                                      {"plus", Value(5)},
                                                      {"data", Value(Data{0, 1, 2, 0xFF})},
                                                      {"link", Value("")},
                                                      {"space", Value("  ")},
                                                      {"cdata", Value("a<b>&#x e9;")},
                                                      {"when", Value(Date{86401})}};
    for (const auto& [key, value] : expected) EXPECT_EQ(at(v, key), value) << key;
    const Value& group = at(v, "group 0");
    EXPECT_EQ(at(group, "param 1"), Value(Dictionary({{"address", Value(14)}, {"value", Value(0.8)}})));
    EXPECT_EQ(at(group, "flags"),
              Value(Array{Value(true), Value(false), Value(-1500.0), Value(std::numeric_limits<double>::infinity())}));
}

TEST(PropertyListXML, MalformedInputFailsWithLineAndReason) {
    struct Case {
        const char* what;
        std::string xml;
        const char* reason; // a part of the reason
    };
    const std::string head = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n";
    const std::vector<Case> cases = {
        {"empty", "", "empty"},
        {"blank", " \n\t", "empty"},
        {"truncated", head + "<dict>\n<key>a</key>\n<integer>1</integ", "malformed XML"},
        {"not XML", "hello", "malformed XML"},
        {"unknown element", head + "<dict><key>a</key><float>1</float></dict></plist>", "unknown element <float>"},
        {"integer text", head + "<integer>12a</integer></plist>", "<integer> holds \"12a\""},
        {"integer above range", head + "<integer>18446744073709551616</integer></plist>", "<integer>"},
        {"integer below range", head + "<integer>-9223372036854775809</integer></plist>", "<integer>"},
        {"empty integer", head + "<integer></integer></plist>", "<integer>"},
        {"real text", head + "<real>1.2.3</real></plist>", "<real> holds \"1.2.3\""},
        {"real out of range", head + "<real>1e999</real></plist>", "<real>"},
        {"double sign", head + "<real>+-1</real></plist>", "<real>"},
        {"bad base64", head + "<data>AB*D</data></plist>", "<data>"},
        {"impossible date", head + "<date>2001-02-29T00:00:00Z</date></plist>", "<date>"},
        {"key without value", head + "<dict><key>a</key></dict></plist>", "has no value"},
        {"value without key", head + "<dict><string>a</string></dict></plist>", "where a <key> belongs"},
        {"text in dict", head + "<dict>stray<key>a</key><true/></dict></plist>", "holds text"},
        {"element in string", head + "<string>a<b/></string></plist>", "holds an element"},
        {"text in true", head + "<true>yes</true></plist>", "must be empty"},
        {"control character", head + "<string>&#1;</string></plist>", "not valid UTF-8"},
        {"broken UTF-8", head + "<string>\xC3</string></plist>", "not valid UTF-8"},
        {"wrong root", "<dict/>", "not <plist>"},
        {"two values", head + "<true/><false/></plist>", "exactly one"},
        {"no value", head + "</plist>", "no value"},
    };
    for (const auto& c : cases) {
        const auto r = readXML(c.xml);
        EXPECT_FALSE(r) << c.what;
        EXPECT_NE(r.error.reason.find(c.reason), std::string::npos) << c.what << ": " << r.error.description();
    }
    const auto r = readXML(head + "<dict>\n<key>a</key>\n<integer>x</integer>\n</dict></plist>");
    EXPECT_EQ(r.error.description(), "line 5: <integer> holds \"x\", not a whole number from -2^63 to 2^64-1");
}

TEST(PropertyListXML, EntityExpansionIsRefused) {
    std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY a \"aaaaaaaaaa\">\n";
    for (int i = 1; i < 10; ++i) {
        bomb += "<!ENTITY " + std::string(1, static_cast<char>('a' + i)) + " \"";
        for (int k = 0; k < 10; ++k) bomb += "&" + std::string(1, static_cast<char>('a' + i - 1)) + ";";
        bomb += "\">\n";
    }
    bomb += "]>\n<plist><string>&j;</string></plist>\n";
    const auto r = readXML(bomb);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error.line, 2u);
    EXPECT_NE(r.error.reason.find("entities"), std::string::npos);
}

TEST(PropertyListXML, DeepNestingFailsQuickly) {
    const int depth = 1'000'000;
    std::string xml = "<plist>";
    xml.reserve(static_cast<std::size_t>(depth) * 15 + 20);
    for (int i = 0; i < depth; ++i) xml += "<array>";
    for (int i = 0; i < depth; ++i) xml += "</array>";
    xml += "</plist>";
    const auto r = readXML(xml);
    ASSERT_FALSE(r);
    EXPECT_NE(r.error.reason.find("nested deeper than 256"), std::string::npos);

    std::string fine = "<plist>";
    for (int i = 0; i < kMaxDepth; ++i) fine += "<array>";
    for (int i = 0; i < kMaxDepth; ++i) fine += "</array>";
    fine += "</plist>";
    EXPECT_TRUE(readXML(fine));
}

TEST(PropertyListRead, TellsTheFormatsApart) {
    Format format = Format::binary;
    EXPECT_TRUE(read("<plist><true/></plist>", &format));
    EXPECT_EQ(format, Format::xml);
    EXPECT_FALSE(read("bplist00", &format));
    EXPECT_EQ(format, Format::binary);
}
