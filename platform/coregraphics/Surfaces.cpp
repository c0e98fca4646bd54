#include "coregraphics/Surfaces.h"

#include <cairo-pdf.h>

#include <cmath>

namespace vyk::gfx {

namespace {
// Sizes cairo accepts: positive, finite, at most 32767 pixels a side.
bool usableSize(double w, double h, double limit) {
    return std::isfinite(w) && std::isfinite(h) && w >= 1 && h >= 1 && w <= limit && h <= limit;
}
} // namespace

ImageSurface::ImageSurface(double width, double height) {
    if (!usableSize(std::ceil(width), std::ceil(height), 32767)) return;
    width_ = static_cast<int>(std::ceil(width));
    height_ = static_cast<int>(std::ceil(height));
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface_);
        surface_ = nullptr;
        width_ = height_ = 0;
    }
}

ImageSurface::~ImageSurface() {
    if (surface_) cairo_surface_destroy(surface_);
}

void ImageSurface::clear(CGColor colour) {
    if (!surface_) return;
    const CGColor c = colour.clamped();
    cairo_t* cr = cairo_create(surface_);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
    cairo_paint(cr);
    cairo_destroy(cr);
}

Pixel ImageSurface::pixel(int x, int y) const {
    if (!surface_ || x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    cairo_surface_flush(surface_);
    const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    std::uint32_t argb;
    __builtin_memcpy(&argb, row + 4 * x, 4);
    const unsigned a = argb >> 24;
    auto channel = [a](unsigned premultiplied) {
        return static_cast<std::uint8_t>(a == 0 ? 0 : (premultiplied * 255 + a / 2) / a);
    };
    return {channel((argb >> 16) & 0xff), channel((argb >> 8) & 0xff), channel(argb & 0xff),
            static_cast<std::uint8_t>(a)};
}

bool ImageSurface::writePNG(const std::string& path, std::string* error) const {
    if (!surface_) {
        if (error) *error = "the image has no pixels";
        return false;
    }
    const cairo_status_t status = cairo_surface_write_to_png(surface_, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS && error) *error = cairo_status_to_string(status);
    return status == CAIRO_STATUS_SUCCESS;
}

PdfSurface::PdfSurface(const std::string& path, double width, double height) {
    if (!usableSize(width, height, 14400)) // the PDF page size limit, in points
        return;
    surface_ = cairo_pdf_surface_create(path.c_str(), width, height);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface_);
        surface_ = nullptr;
    }
}

PdfSurface::~PdfSurface() {
    if (surface_) cairo_surface_destroy(surface_);
}

void PdfSurface::showPage() {
    if (surface_) cairo_surface_show_page(surface_);
}

bool PdfSurface::finish() {
    if (!surface_) return false;
    cairo_surface_finish(surface_);
    return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS;
}

} // namespace vyk::gfx
