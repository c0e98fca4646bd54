#pragma once
// Drawing targets for CGContext: a pixel image (PNG out) and a PDF document.
// A zero, negative or non-finite size gives an invalid surface, never a cairo
// call with it; a context over an invalid surface draws nothing.
// Thread rules: one thread at a time.
#include "coregraphics/CGColor.h"

#include <cairo.h>

#include <cstdint>
#include <string>

namespace vyk::gfx {

struct Pixel {
    std::uint8_t r = 0, g = 0, b = 0, a = 0; // not premultiplied
};

// ARGB32 pixels, `width` x `height` pixels, transparent at first.
class ImageSurface {
public:
    ImageSurface(double width, double height);
    ~ImageSurface();
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    bool isValid() const { return surface_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    cairo_surface_t* cairoSurface() const { return surface_; }

    void clear(CGColor colour);
    // Outside the image: a transparent black pixel.
    Pixel pixel(int x, int y) const;
    // False with a reason in `error` when the file cannot be written.
    bool writePNG(const std::string& path, std::string* error = nullptr) const;

private:
    cairo_surface_t* surface_ = nullptr;
    int width_ = 0, height_ = 0;
};

// A PDF file of pages `width` x `height` points; finished when destroyed.
class PdfSurface {
public:
    PdfSurface(const std::string& path, double width, double height);
    ~PdfSurface();
    PdfSurface(const PdfSurface&) = delete;
    PdfSurface& operator=(const PdfSurface&) = delete;

    bool isValid() const { return surface_ != nullptr; }
    cairo_surface_t* cairoSurface() const { return surface_; }
    void showPage();
    // Writes the rest of the file; false when writing failed.
    bool finish();

private:
    cairo_surface_t* surface_ = nullptr;
};

} // namespace vyk::gfx
