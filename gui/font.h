#pragma once
// Fonts resolved by face name through fontconfig and rendered with SDL_ttf.
// Heights are cell heights in pixels (ascent + descent), as Win32 font heights are.
#include <memory>
#include <string>
#include <string_view>

#include "gui/types.h"

namespace gui {

constexpr int font_weight_normal = 400;
constexpr int font_weight_bold = 700;

// What a face name resolves to on this machine.
struct FontMatch {
    std::string family;  // installed family that will be used
    std::string file;    // font file
    int index = 0;       // face index inside the file
    int weight = 400;    // weight of the chosen face (Win32 scale 100..900)
    bool exact = false;  // the requested family itself is installed
};

// Resolves `face` (empty = the system's default sans face) at `weight` (Win32 scale).
// A family that is not installed falls back to a close installed one: "Arial Black" to a
// heavy sans, "Comic Sans MS" to Comic Neue, "Arial" to Liberation Sans, otherwise the
// default sans face.
FontMatch resolve_font(std::string_view face, int weight);

// The largest point size, from 1 up to max_point_size(height), whose line height fits
// `height` [px], searched from `first_guess`; height_at(pt) sets the size pt and returns
// the line height there. Bounded, so a face whose height does not follow its size (a
// bitmap face with one strike) ends the search too.
int fit_point_size(int height, int first_guess, int (*height_at)(int pt, void* face), void* face);
int max_point_size(int height);

class Font {
  public:
    // Opens `face` so that its cell height is `height` pixels (at most). Null when no font
    // file could be opened at all.
    static std::shared_ptr<Font> open(std::string_view face, int height, int weight);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const std::string& face() const { return face_; }
    const FontMatch& match() const { return match_; }
    int height() const { return height_; }  // requested cell height [px]
    int cell_height() const;                // actual line height [px]
    int ascent() const;                     // [px]
    int weight() const { return weight_; }
    bool synthetic_bold() const { return synthetic_bold_; }
    std::uint64_t id() const { return id_; }

    // Size of one line of UTF-8 text [px]; the height is the cell height.
    Point measure(std::string_view utf8) const;

    // The SDL_ttf handle (TTF_Font*), for the drawing backend.
    void* native() const { return native_; }

  private:
    Font() = default;
    std::string face_;
    FontMatch match_;
    int height_ = 0;
    int weight_ = 0;
    bool synthetic_bold_ = false;
    std::uint64_t id_ = 0;
    void* native_ = nullptr;
};

}  // namespace gui
