#include "uikit/UIImage.h"

#include "uikit/UIGraphics.h"

#include <cstring>

namespace {
struct Reader {
    const std::vector<unsigned char>& data;
    std::size_t offset = 0;
};

cairo_status_t readChunk(void* closure, unsigned char* out, unsigned int length) {
    auto* r = static_cast<Reader*>(closure);
    if (r->data.size() - r->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->data.data() + r->offset, length);
    r->offset += length;
    return CAIRO_STATUS_SUCCESS;
}
} // namespace

std::shared_ptr<UIImage> UIImage::adopt(cairo_surface_t* surface) {
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::shared_ptr<UIImage>(new UIImage(surface));
}

std::shared_ptr<UIImage> UIImage::fromData(const std::vector<unsigned char>& data) {
    Reader reader{data};
    return adopt(cairo_image_surface_create_from_png_stream(readChunk, &reader));
}

std::shared_ptr<UIImage> UIImage::fromFile(const std::string& path) {
    return adopt(cairo_image_surface_create_from_png(path.c_str()));
}

UIImage::~UIImage() { cairo_surface_destroy(surface_); }

CGSize UIImage::size() const {
    return {static_cast<CGFloat>(cairo_image_surface_get_width(surface_)),
            static_cast<CGFloat>(cairo_image_surface_get_height(surface_))};
}

void UIImage::draw(CGRect rect) const {
    if (CGContext* cx = UIGraphicsGetCurrentContext()) cx->drawImage(surface_, rect);
}
