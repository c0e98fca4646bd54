#include "AppRig.h"
#include "LoopbackServer.h"
#include "foundation/BrowserLauncher.h"
#include "foundation/FileManager.h"
#include "foundation/RunLoop.h"
#include "shared/ImageLoading.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;

// A 3 x 2 PNG made by cairo, as bytes.
std::string pngBytes() {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 2);
    std::string out;
    cairo_surface_write_to_png_stream(
        s,
        [](void* closure, const unsigned char* data, unsigned int n) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), n);
            return CAIRO_STATUS_SUCCESS;
        },
        &out);
    cairo_surface_destroy(s);
    return out;
}

// Runs the main queue until `done` or five seconds have passed.
bool pumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        RunLoop::main().runUntilIdle();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// Writes a file into the folder and gives its file address.
std::string write(const vyk::test::TemporaryFolder& folder, const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return "file://" + folder / name;
}

TEST(ImageLoading, LoadFromFileAddresses) {
    vyk::test::TemporaryFolder folder;
    const std::string png = write(folder, "a.png", pngBytes());
    const std::string text = write(folder, "a.txt", "no picture");
    auto view = std::make_shared<UIImageView>();
    vyk::test::ConsoleLines console;

    loadFrom(view, png);
    ASSERT_TRUE(pumpUntil([&] { return view->image() != nullptr; }));
    EXPECT_EQ(view->image()->size(), (CGSize{3, 2}));
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(console.lines().empty());

    // No URL, unreadable content, no image, a view that went away: one line each.
    loadFrom(view, "no url");
    loadFrom(view, "");
    loadFrom(view, "file://" + folder / "missing.png");
    ASSERT_TRUE(pumpUntil([&] { return console.lines().size() == 3; }));
    loadFrom(view, text);
    ASSERT_TRUE(pumpUntil([&] { return console.lines().size() == 4; }));
    std::weak_ptr<UIImageView> weak;
    {
        auto gone = std::make_shared<UIImageView>();
        weak = gone;
        loadFrom(gone, png);
    }
    EXPECT_TRUE(weak.expired()); // the pending load does not keep the view alive
    ASSERT_TRUE(pumpUntil([&] { return console.lines().size() == 5; }));
    EXPECT_EQ(console.lines(), (std::vector<std::string>{
                                   "UIImageView::loadFrom() : Could not encode url string : no url",
                                   "UIImageView::loadFrom() : Could not encode url string : ",
                                   "UIImageView::loadFrom() : Could not encode image data.",
                                   "UIImageView::loadFrom() : Could not assign image.",
                                   "UIImageView::loadFrom() : Could not assign image.",
                               }));
    EXPECT_NE(view->image(), nullptr); // failures leave the picture alone
}

TEST(ImageLoading, RequestFromALoopbackServer) {
    vyk::test::LoopbackServer server({{"/image.png", {200, pngBytes()}}});
    auto view = std::make_shared<UIImageView>();
    vyk::test::ConsoleLines console;

    getImageFromURLString(view, server.base() + "/image.png");
    ASSERT_TRUE(pumpUntil([&] { return view->image() != nullptr; }));
    EXPECT_EQ(console.lines(), (std::vector<std::string>{"Fetched image successfully"}));

    // A 404 with a body that is no image clears the picture, without the success line.
    console.clear();
    getImageFromURLString(view, server.base() + "/missing.png");
    ASSERT_TRUE(pumpUntil([&] { return view->image() == nullptr; }));
    EXPECT_TRUE(console.lines().empty());

    // An address that is no URL does nothing; a failed fetch prints its reason
    // and leaves the picture.
    getImageFromURLString(view, server.base() + "/image.png");
    ASSERT_TRUE(pumpUntil([&] { return view->image() != nullptr; }));
    console.clear();
    getImageFromURLString(view, "no url");
    getImageFromURLString(view, "http://127.0.0.1:1/closed.png");
    ASSERT_TRUE(pumpUntil([&] { return console.lines().size() == 1; }));
    EXPECT_NE(console.lines()[0], "Fetched image successfully");
    EXPECT_NE(view->image(), nullptr);
}

TEST(BrowserLauncher, RunsTheOpenerFromThePathWithoutAShell) {
    vyk::test::TemporaryFolder folder;
    const fs::path opener = folder / "xdg-open";
    const fs::path record = folder / "opened";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '" << record.string() << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (folder.path() + ":" + oldPath).c_str(), 1);

    // Shell metacharacters reach the opener as one plain argument.
    const auto url = URL::parse("https://www.example.com/a?b=1&c=$(touch%20x);d");
    ASSERT_TRUE(url);
    std::string error;
    EXPECT_TRUE(Foundation::openInBrowser(*url, &error)) << error;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!fs::exists(record) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ifstream in(record);
    std::string count, arg;
    std::getline(in, count);
    std::getline(in, arg);
    EXPECT_EQ(count, "1");
    EXPECT_EQ(arg, url->absoluteString());

    EXPECT_FALSE(Foundation::openInBrowser(*URL::parse("relative/page"), &error));
    ::setenv("PATH", folder.path().c_str(), 1);
    fs::remove(opener);
    EXPECT_FALSE(Foundation::openInBrowser(*url, &error));
    EXPECT_NE(error.find("xdg-open"), std::string::npos);
    ::setenv("PATH", oldPath.c_str(), 1);
}

} // namespace
