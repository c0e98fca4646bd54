#include "foundation/URL.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(URL, ParsesEveryPart) {
    const auto url = URL::parse("HTTPS://user:pw@Example.com:8080/a%20b/page.html?x=1.zip#top.tar");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "https");
    EXPECT_EQ(url->host(), "Example.com");
    EXPECT_EQ(url->port(), 8080);
    EXPECT_EQ(url->path(), "/a b/page.html");
    EXPECT_EQ(url->query(), "x=1.zip");
    EXPECT_EQ(url->fragment(), "top.tar");
    EXPECT_EQ(url->lastPathComponent(), "page.html");
    EXPECT_EQ(url->pathExtension(), "html");
    EXPECT_EQ(url->absoluteString(), "https://user:pw@Example.com:8080/a%20b/page.html?x=1.zip#top.tar");

    const auto literal = URL::parse("http://[::1]:80/");
    ASSERT_TRUE(literal);
    EXPECT_EQ(literal->host(), "::1");
    EXPECT_EQ(literal->port(), 80);
    EXPECT_EQ(literal->absoluteString(), "http://[::1]:80/");

    const auto mail = URL::parse("mailto:someone@example.com");
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->host(), "");
    EXPECT_EQ(mail->path(), "someone@example.com");

    const auto emptyQuery = URL::parse("https://site.example?");
    ASSERT_TRUE(emptyQuery);
    EXPECT_EQ(emptyQuery->query(), "");
    EXPECT_EQ(emptyQuery->fragment(), std::nullopt);
}

TEST(URL, PathComponentsComeFromThePathOnly) {
    struct Case {
        const char* url;
        const char* last;
        const char* extension;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"https://site.example", "", ""},
             {"https://site.example/", "/", ""},
             {"https://site.example/help/", "help", ""},
             {"docs/manual.pdf?page=2", "manual.pdf", "pdf"},
             {"https://site.example/download?file=a.pdf", "download", ""},
             {"https://site.example/#a.pdf", "/", ""},
             {"file:///home/u/.bashrc", ".bashrc", ""},
             {"file:///x/archive.tar.gz", "archive.tar.gz", "gz"},
             {"file:///x/Manual.PDF", "Manual.PDF", "PDF"},
             {"file:///x/name.", "name.", ""},
             {"file:///x/a%2Eb", "a.b", "b"},
         }) {
        const auto url = URL::parse(c.url);
        ASSERT_TRUE(url) << c.url;
        EXPECT_EQ(url->lastPathComponent(), c.last) << c.url;
        EXPECT_EQ(url->pathExtension(), c.extension) << c.url;
    }
}

TEST(URL, RefusesWhatIsNoURL) {
    for (const char* text : {"http://a b/", "http://x/%zz", "http://x/%4", "http://x:65536/", "http://x:12a/",
                             "http://[::1/", "http://[zz]/", "http://x/\x01", "http://x/\xC3\xA9", "file:///a%00b",
                             "http://x/a\"b", "http://x/?q=<b>", "http://x/#a#b", "http://x/\\"}) {
        EXPECT_FALSE(URL::parse(text)) << text;
    }
}

TEST(URL, FileURLsEncodeAndDecodeTheirPath) {
    const URL url = URL::fileURL("/tmp/a b#c%d?.aupreset");
    EXPECT_TRUE(url.isFileURL());
    EXPECT_EQ(url.absoluteString(), "file:///tmp/a%20b%23c%25d%3F.aupreset");
    const auto back = URL::parse(url.absoluteString());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->path(), "/tmp/a b#c%d?.aupreset");
    EXPECT_EQ(*back, url);

    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    EXPECT_EQ(URL::fileURL("x.txt").path(), std::string(cwd) + "/x.txt");
}

TEST(URL, EditsThePath) {
    const URL folder = URL::fileURL("/data/vyk-wimbrax/");
    const URL preset =
        folder.appendingPathComponent("Presets").appendingPathComponent("Wide").appendingPathExtension("aupreset");
    EXPECT_EQ(preset.path(), "/data/vyk-wimbrax/Presets/Wide.aupreset");
    EXPECT_EQ(preset.deletingPathExtension().path(), "/data/vyk-wimbrax/Presets/Wide");
    EXPECT_EQ(preset.deletingLastPathComponent().path(), "/data/vyk-wimbrax/Presets/");
    EXPECT_EQ(preset.deletingPathExtension().deletingPathExtension().path(), "/data/vyk-wimbrax/Presets/Wide");

    const auto web = URL::parse("https://site.example/a/page.html?q=1#f");
    ASSERT_TRUE(web);
    EXPECT_EQ(web->deletingPathExtension().absoluteString(), "https://site.example/a/page?q=1#f");
}
