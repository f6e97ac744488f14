// Font resolution with fontconfig and text measurement with SDL_ttf.
#include "gui/font.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>

namespace gui {
namespace {

std::atomic<std::uint64_t> next_font_id{1};

bool ensure_ttf() {
    return TTF_WasInit() > 0 || TTF_Init() == 0;
}

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

int to_fc_weight(int weight) {
    return FcWeightFromOpenType(std::clamp(weight <= 0 ? 400 : weight, 1, 1000));
}

FontMatch match_family(const std::string& family, int weight) {
    FontMatch result;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return result;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, to_fc_weight(weight));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult res = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &res);
    FcPatternDestroy(pattern);
    if (!found) return result;
    FcChar8* s = nullptr;
    if (FcPatternGetString(found, FC_FILE, 0, &s) == FcResultMatch) {
        result.file = reinterpret_cast<const char*>(s);
    }
    int index = 0;
    if (FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch) result.index = index;
    int fc_weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetInteger(found, FC_WEIGHT, 0, &fc_weight) == FcResultMatch) {
        result.weight = FcWeightToOpenType(fc_weight);
    }
    for (int i = 0; FcPatternGetString(found, FC_FAMILY, i, &s) == FcResultMatch; ++i) {
        std::string_view name = reinterpret_cast<const char*>(s);
        if (i == 0) result.family = name;
        if (same_name(name, family)) {
            result.family = name;
            result.exact = true;
        }
    }
    FcPatternDestroy(found);
    return result;
}

struct Fallback {
    const char* face;
    std::initializer_list<const char*> families;
    int min_weight;  // heavier faces keep their look with a bold substitute
};

const Fallback fallbacks[] = {
    {"Arial Black", {"DejaVu Sans", "Liberation Sans"}, 700},
    {"Comic Sans MS", {"Comic Neue"}, 0},
    {"Arial", {"Liberation Sans", "DejaVu Sans"}, 0},
    {"Helvetica", {"Liberation Sans", "DejaVu Sans"}, 0},
    {"MS Sans Serif", {"Liberation Sans", "DejaVu Sans"}, 0},
    {"Tahoma", {"DejaVu Sans", "Liberation Sans"}, 0},
    {"Verdana", {"DejaVu Sans", "Liberation Sans"}, 0},
    {"Times New Roman", {"Liberation Serif", "DejaVu Serif"}, 0},
    {"Courier New", {"Liberation Mono", "DejaVu Sans Mono"}, 0},
};

int line_height_at(int pt, void* face) {
    auto* f = static_cast<TTF_Font*>(face);
    TTF_SetFontSize(f, pt);
    return TTF_FontHeight(f);
}

}  // namespace

int max_point_size(int height) {
    return std::max(8 * height, 64);
}

int fit_point_size(int height, int first_guess, int (*height_at)(int, void*), void* face) {
    const int top = max_point_size(height);
    int pt = std::clamp(first_guess, 1, top);
    while (pt > 1 && height_at(pt, face) > height) --pt;
    while (pt < top && height_at(pt + 1, face) <= height) ++pt;
    return pt;
}

FontMatch resolve_font(std::string_view face, int weight) {
    if (!FcInit()) return {};
    if (!face.empty()) {
        FontMatch m = match_family(std::string(face), weight);
        if (m.exact && !m.file.empty()) return m;
        for (const Fallback& f : fallbacks) {
            if (!same_name(face, f.face)) continue;
            for (const char* family : f.families) {
                FontMatch alt = match_family(family, std::max(weight, f.min_weight));
                if (alt.exact && !alt.file.empty()) {
                    alt.exact = false;
                    return alt;
                }
            }
        }
    }
    FontMatch m = match_family("sans-serif", weight);
    m.exact = face.empty();
    return m;
}

std::shared_ptr<Font> Font::open(std::string_view face, int height, int weight) {
    if (height <= 0 || !ensure_ttf()) return nullptr;
    FontMatch match = resolve_font(face, weight);
    if (match.file.empty()) return nullptr;
    TTF_Font* f = TTF_OpenFontIndex(match.file.c_str(), height, match.index);
    if (!f) return nullptr;
    // Point sizes are em sizes at 72 dpi: scale the first guess by the height at `height`
    // points.
    const int fh = TTF_FontHeight(f);
    const int guess = fh > 0 ? std::max(1, height * height / fh) : height;
    TTF_SetFontSize(f, fit_point_size(height, guess, line_height_at, f));
    auto font = std::shared_ptr<Font>(new Font());
    font->face_ = face;
    font->match_ = match;
    font->height_ = height;
    font->weight_ = weight;
    if (weight >= 600 && match.weight < 600) {
        TTF_SetFontStyle(f, TTF_STYLE_BOLD);
        font->synthetic_bold_ = true;
    }
    font->id_ = next_font_id.fetch_add(1);
    font->native_ = f;
    return font;
}

Font::~Font() {
    if (native_ && TTF_WasInit()) TTF_CloseFont(static_cast<TTF_Font*>(native_));
}

int Font::cell_height() const {
    return TTF_FontHeight(static_cast<TTF_Font*>(native_));
}

int Font::ascent() const {
    return TTF_FontAscent(static_cast<TTF_Font*>(native_));
}

Point Font::measure(std::string_view utf8) const {
    Point size{0, cell_height()};
    if (utf8.empty()) return size;
    std::string text(utf8);
    int w = 0, h = 0;
    if (TTF_SizeUTF8(static_cast<TTF_Font*>(native_), text.c_str(), &w, &h) == 0) size.x = w;
    return size;
}

}  // namespace gui
