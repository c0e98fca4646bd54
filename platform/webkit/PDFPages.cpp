#include "webkit/PDFPages.h"

#include <poppler.h>

#include <algorithm>
#include <cmath>

namespace vyk::web {

namespace {
PopplerDocument* doc(void* p) { return static_cast<PopplerDocument*>(p); }
} // namespace

std::unique_ptr<PDFPages> PDFPages::open(const std::string& path, std::string* error) {
    GError* gerror = nullptr;
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, &gerror);
    PopplerDocument* document = uri ? poppler_document_new_from_file(uri, nullptr, &gerror) : nullptr;
    g_free(uri);
    if (!document) {
        if (error) *error = gerror ? gerror->message : "not a PDF document";
        if (gerror) g_error_free(gerror);
        return nullptr;
    }
    std::unique_ptr<PDFPages> pages(new PDFPages);
    pages->document_ = document;
    for (int i = 0, n = poppler_document_get_n_pages(document); i < n; ++i) {
        PopplerPage* page = poppler_document_get_page(document, i);
        double w = 0, h = 0;
        if (page) {
            poppler_page_get_size(page, &w, &h);
            g_object_unref(page);
        }
        // A page without a usable size is shown as an empty A4 sheet.
        if (!(w > 0 && h > 0 && std::isfinite(w) && std::isfinite(h))) w = 595, h = 842;
        pages->sizes_.push_back(CGSize{w, h});
    }
    if (pages->sizes_.empty()) {
        if (error) *error = "the document has no pages";
        return nullptr;
    }
    return pages;
}

PDFPages::~PDFPages() {
    for (auto& [page, surface] : cache_) cairo_surface_destroy(surface);
    if (document_) g_object_unref(doc(document_));
}

CGFloat PDFPages::height(CGFloat width) const {
    CGFloat total = 0;
    for (const CGSize& s : sizes_) total += width * s.height / s.width;
    return total + gap * CGFloat(sizes_.size() - 1);
}

cairo_surface_t* PDFPages::rendered(int index, CGFloat width, CGFloat pixelScale) {
    if (width * pixelScale != cachedWidth_) {
        for (auto& [page, surface] : cache_) cairo_surface_destroy(surface);
        cache_.clear();
        cachedWidth_ = width * pixelScale;
    }
    if (auto it = cache_.find(index); it != cache_.end()) return it->second;
    const CGSize size = sizes_[std::size_t(index)];
    const int pw = std::max(1, int(std::lround(width * pixelScale)));
    const int ph = std::max(1, int(std::lround(width * pixelScale * size.height / size.width)));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    if (PopplerPage* page = poppler_document_get_page(doc(document_), index)) {
        cairo_scale(cr, double(pw) / size.width, double(pw) / size.width);
        poppler_page_render(page, cr);
        g_object_unref(page);
    }
    cairo_destroy(cr);
    cache_[index] = surface;
    return surface;
}

void PDFPages::draw(CGContext& context, CGFloat width, CGFloat top, CGFloat visibleHeight, CGFloat pixelScale) {
    if (!(width > 0) || !std::isfinite(width)) return;
    CGFloat y = -top;
    std::map<int, cairo_surface_t*> keep;
    for (int i = 0; i < pageCount(); ++i) {
        const CGSize size = sizes_[std::size_t(i)];
        const CGFloat h = width * size.height / size.width;
        if (y + h > 0 && y < visibleHeight) {
            cairo_surface_t* surface = rendered(i, width, pixelScale);
            context.drawImage(surface, CGRect{0, y, width, h});
            keep[i] = surface;
        }
        y += h + gap;
    }
    // Pages scrolled out of sight are rendered again when they come back.
    for (auto& [page, surface] : cache_)
        if (!keep.count(page)) cairo_surface_destroy(surface);
    cache_ = std::move(keep);
}

} // namespace vyk::web
