#pragma once
// A decoded picture (PNG). Immutable once made; shared between views.
#include "coregraphics/CGGeometry.h"

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

class UIImage {
public:
    // Null when the bytes or the file hold no PNG picture.
    static std::shared_ptr<UIImage> fromData(const std::vector<unsigned char>& data);
    static std::shared_ptr<UIImage> fromFile(const std::string& path);
    ~UIImage();
    UIImage(const UIImage&) = delete;
    UIImage& operator=(const UIImage&) = delete;

    CGSize size() const;
    // Draws into the current context, scaled to fill `rect`.
    void draw(CGRect rect) const;

private:
    explicit UIImage(cairo_surface_t* surface) : surface_(surface) {}
    static std::shared_ptr<UIImage> adopt(cairo_surface_t* surface);
    cairo_surface_t* surface_;
};
