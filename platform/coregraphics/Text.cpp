#include "coregraphics/Text.h"

#include "foundation/Console.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace vyk::gfx {

namespace {

struct Choice {
    const char* family;
    bool bold;
};

struct FontEntry {
    const char* name;
    std::array<Choice, 3> choices;
};

// Nimbus Sans is metric-compatible with the neo-grotesque face the panel was
// designed with; Liberation and DejaVu stand in when it is missing.
constexpr FontEntry fontTable[] = {
    {"HelveticaNeue", {{{"Nimbus Sans", false}, {"Liberation Sans", false}, {"DejaVu Sans", false}}}},
    {"HelveticaNeue-CondensedBold",
     {{{"Nimbus Sans Narrow", true}, {"Liberation Sans Narrow", true}, {"DejaVu Sans Condensed", true}}}},
};

constexpr double maxFontSize = 10000;
constexpr double maxExtent = 1e6; // keeps pango's integer units in range

struct Pango {
    PangoFontMap* fontMap = nullptr;
    PangoContext* context = nullptr;
    std::set<std::string> families;
    std::map<std::string, FontFace, std::less<>> resolved;

    Pango() {
        fontMap = pango_cairo_font_map_new();
        context = pango_font_map_create_context(fontMap);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(context, FALSE);

        PangoFontFamily** list = nullptr;
        int count = 0;
        pango_font_map_list_families(fontMap, &list, &count);
        for (int i = 0; i < count; ++i) families.insert(pango_font_family_get_name(list[i]));
        g_free(list);
    }
    ~Pango() {
        g_object_unref(context);
        g_object_unref(fontMap);
    }
};

Pango& pango() {
    thread_local Pango instance;
    return instance;
}

PangoFontDescription* describe(const FontFace& face, double size) {
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, face.family.c_str());
    pango_font_description_set_weight(d, face.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(d, size * PANGO_SCALE);
    return d;
}

bool usableSize(double size) { return std::isfinite(size) && size > 0 && size <= maxFontSize; }

using LayoutPtr = std::unique_ptr<PangoLayout, decltype(&g_object_unref)>;

LayoutPtr makeLayout(std::string_view text, const TextStyle& style, double wrapWidth) {
    LayoutPtr layout(pango_layout_new(pango().context), &g_object_unref);
    // pango wants valid UTF-8; replace what is not.
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    pango_layout_set_text(layout.get(), valid, -1);
    g_free(valid);
    PangoFontDescription* d = describe(style.face, style.size);
    pango_layout_set_font_description(layout.get(), d);
    pango_font_description_free(d);
    if (std::isfinite(wrapWidth) && wrapWidth > 0) {
        pango_layout_set_width(layout.get(), static_cast<int>(std::min(wrapWidth, maxExtent) * PANGO_SCALE));
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    }
    static constexpr PangoAlignment alignments[] = {PANGO_ALIGN_LEFT, PANGO_ALIGN_CENTER, PANGO_ALIGN_RIGHT};
    pango_layout_set_alignment(layout.get(), alignments[static_cast<int>(style.alignment)]);
    return layout;
}

} // namespace

std::optional<FontFace> resolveFont(std::string_view name) {
    Pango& p = pango();
    if (auto it = p.resolved.find(name); it != p.resolved.end()) return it->second;
    const auto entry =
        std::find_if(std::begin(fontTable), std::end(fontTable), [name](const FontEntry& e) { return name == e.name; });
    if (entry == std::end(fontTable)) return std::nullopt;
    FontFace face{entry->choices.back().family, entry->choices.back().bold, true};
    for (const Choice& c : entry->choices) {
        if (p.families.count(c.family)) {
            face = {c.family, c.bold, &c != &entry->choices.front()};
            break;
        }
    }
    if (face.isFallback)
        Console::write("WARNING: font \"" + std::string(name) + "\" not found, using \"" + face.family + "\".\n");
    p.resolved.emplace(std::string(name), face);
    return face;
}

std::string loadedFamily(const FontFace& face, double size) {
    PangoFontDescription* d = describe(face, usableSize(size) ? size : 12);
    PangoFont* font = pango_font_map_load_font(pango().fontMap, pango().context, d);
    pango_font_description_free(d);
    if (!font) return {};
    PangoFontDescription* loaded = pango_font_describe(font);
    std::string family = pango_font_description_get_family(loaded) ? pango_font_description_get_family(loaded) : "";
    pango_font_description_free(loaded);
    g_object_unref(font);
    return family;
}

CGSize measureText(std::string_view text, const TextStyle& style, double wrapWidth) {
    if (!usableSize(style.size)) return {};
    LayoutPtr layout = makeLayout(text, style, wrapWidth);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    return {static_cast<double>(logical.width) / PANGO_SCALE, static_cast<double>(logical.height) / PANGO_SCALE};
}

void drawText(CGContext& context, std::string_view text, CGRect rect, const TextStyle& style) {
    cairo_t* cr = context.cairoForDrawing();
    const CGRect r = rect.standardized();
    if (!cr || !usableSize(style.size) || !r.isFinite() || r.isEmpty() || r.width() > maxExtent) return;
    LayoutPtr layout = makeLayout(text, style, r.width());
    const CGColor c = style.colour.clamped();
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
    cairo_clip(cr);
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha * context.alpha());
    cairo_move_to(cr, r.minX(), r.minY());
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
    cairo_new_path(cr); // show_layout leaves a current point behind
    if (!context.isObserved()) return;
    DrawCall call;
    call.kind = DrawCall::Kind::text;
    call.colour = style.colour;
    call.rect = r;
    call.text = std::string(text);
    call.fontFamily = style.face.family;
    call.fontSize = style.size;
    context.report(std::move(call));
}

} // namespace vyk::gfx
