#pragma once
// The pages of a PDF document (poppler), drawn one under the other, each
// fitted to a width. Rendered pages are kept for the current width only.
// Thread rules: main thread.
#include "coregraphics/CGContext.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vyk::web {

class PDFPages {
public:
    // None, with the reason in `error`, when the file is no readable PDF.
    static std::unique_ptr<PDFPages> open(const std::string& path, std::string* error);
    ~PDFPages();
    PDFPages(const PDFPages&) = delete;
    PDFPages& operator=(const PDFPages&) = delete;

    static constexpr CGFloat gap = 8; // points between pages

    int pageCount() const { return static_cast<int>(sizes_.size()); }
    // The height of all pages at `width`, gaps included.
    CGFloat height(CGFloat width) const;
    // Draws the pages that meet the band [top, top + visibleHeight) of the
    // column, with the column's top at y = -top, at `pixelScale` pixels per point.
    void draw(CGContext& context, CGFloat width, CGFloat top, CGFloat visibleHeight, CGFloat pixelScale);

private:
    PDFPages() = default;
    cairo_surface_t* rendered(int page, CGFloat width, CGFloat pixelScale);

    void* document_ = nullptr; // PopplerDocument
    std::vector<CGSize> sizes_;
    CGFloat cachedWidth_ = 0;
    std::map<int, cairo_surface_t*> cache_;
};

} // namespace vyk::web
