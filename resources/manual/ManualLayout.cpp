#include "ManualLayout.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <glib.h>
#include <pango/pangocairo.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace manual {
namespace {

constexpr double kPageWidth = 595.276; // A4 in points
constexpr double kPageHeight = 841.89;
constexpr double kMargin = 64.0;
constexpr double kFooterSpace = 36.0;
constexpr double kBulletIndent = 18.0;

struct Style {
    const char* font;
    double spaceBefore;
    double spaceAfter;
    double indent;
    double grey;
};

Style styleOf(Block kind) {
    switch (kind) {
    case Block::title:
        return {"DejaVu Sans Bold 28", 120, 6, 0, 0.08};
    case Block::subtitle:
        return {"DejaVu Sans 14", 0, 40, 0, 0.35};
    case Block::heading:
        return {"DejaVu Sans Bold 15", 16, 6, 0, 0.13};
    case Block::subheading:
        return {"DejaVu Sans Bold 11", 8, 3, 0, 0.2};
    case Block::paragraph:
        return {"DejaVu Serif 10", 0, 7, 0, 0.0};
    case Block::bullet:
        return {"DejaVu Serif 10", 0, 4, kBulletIndent, 0.0};
    case Block::code:
        return {"DejaVu Sans Mono 8", 2, 9, 12, 0.15};
    case Block::pageBreak:
        break;
    }
    return {"DejaVu Serif 10", 0, 0, 0, 0};
}

std::string escaped(const std::string& text) {
    gchar* markup = g_markup_escape_text(text.c_str(), static_cast<gssize>(text.size()));
    std::string result(markup);
    g_free(markup);
    return result;
}

class Pages {
public:
    explicit Pages(cairo_t* cr) : cr_(cr) {}

    void add(const Item& item) {
        if (item.kind == Block::pageBreak) {
            newPage();
            return;
        }
        const Style style = styleOf(item.kind);
        PangoLayout* layout = layoutFor(item, style);
        int width = 0, height = 0;
        pango_layout_get_size(layout, &width, &height);
        const double h = height / static_cast<double>(PANGO_SCALE);
        // A heading keeps at least a few lines of its section with it.
        const double keep = (item.kind == Block::heading || item.kind == Block::subheading) ? 60.0 : 0.0;
        double before = y_ == kMargin ? 0.0 : style.spaceBefore;
        if (item.kind == Block::title) before = style.spaceBefore;
        if (y_ + before + h + keep > kPageHeight - kMargin - kFooterSpace) {
            newPage();
            before = 0.0;
        }
        y_ += before;
        if (item.kind == Block::code) {
            cairo_set_source_rgb(cr_, 0.95, 0.95, 0.93);
            cairo_rectangle(cr_, kMargin, y_ - 4, kPageWidth - 2 * kMargin, h + 8);
            cairo_fill(cr_);
        }
        if (item.kind == Block::bullet) {
            cairo_set_source_rgb(cr_, 0.3, 0.3, 0.3);
            cairo_arc(cr_, kMargin + 6, y_ + 7, 2.0, 0, 6.283185307179586);
            cairo_fill(cr_);
        }
        cairo_set_source_rgb(cr_, style.grey, style.grey, style.grey);
        cairo_move_to(cr_, kMargin + style.indent, y_);
        pango_cairo_show_layout(cr_, layout);
        g_object_unref(layout);
        y_ += h + style.spaceAfter;
        if (item.kind == Block::subtitle) rule();
    }

    void finish() { footer(); }
    int pageCount() const { return page_; }

private:
    PangoLayout* layoutFor(const Item& item, const Style& style) {
        PangoLayout* layout = pango_cairo_create_layout(cr_);
        PangoFontDescription* font = pango_font_description_from_string(style.font);
        pango_layout_set_font_description(layout, font);
        pango_font_description_free(font);
        const double width = kPageWidth - 2 * kMargin - style.indent;
        pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        if (item.kind == Block::paragraph || item.kind == Block::bullet) {
            pango_layout_set_justify(layout, true);
            pango_layout_set_spacing(layout, 2 * PANGO_SCALE);
        }
        std::string markup = escaped(item.text);
        if (!item.label.empty()) markup = "<b>" + escaped(item.label) + "</b>  " + markup;
        pango_layout_set_markup(layout, markup.c_str(), -1);
        return layout;
    }

    void rule() {
        cairo_set_source_rgb(cr_, 0.226, 0.781, 0.145);
        cairo_set_line_width(cr_, 2.0);
        cairo_move_to(cr_, kMargin, y_);
        cairo_line_to(cr_, kPageWidth - kMargin, y_);
        cairo_stroke(cr_);
        y_ += 24;
    }

    void footer() {
        if (page_ == 1) return;
        PangoLayout* layout = pango_cairo_create_layout(cr_);
        PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans 8");
        pango_layout_set_font_description(layout, font);
        pango_font_description_free(font);
        const std::string text = "VYK Wimbrax manual \u2014 page " + std::to_string(page_);
        pango_layout_set_text(layout, text.c_str(), -1);
        cairo_set_source_rgb(cr_, 0.45, 0.45, 0.45);
        cairo_move_to(cr_, kMargin, kPageHeight - kMargin + 8);
        pango_cairo_show_layout(cr_, layout);
        g_object_unref(layout);
    }

    void newPage() {
        footer();
        cairo_show_page(cr_);
        ++page_;
        y_ = kMargin;
    }

    cairo_t* cr_;
    int page_ = 1;
    double y_ = kMargin;
};

} // namespace

std::string writeManual(const std::string& path, const std::vector<Item>& items) {
    const std::string temporary = path + ".part";
    cairo_surface_t* surface = cairo_pdf_surface_create(temporary.c_str(), kPageWidth, kPageHeight);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, "VYK Wimbrax manual");
    // No creation date, so every build writes the same file.
    cairo_t* cr = cairo_create(surface);
    Pages pages(cr);
    for (const Item& item : items) pages.add(item);
    pages.finish();
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::remove(temporary.c_str());
        return cairo_status_to_string(status);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return std::string("renaming the file: ") + std::strerror(errno);
    }
    return {};
}

} // namespace manual
