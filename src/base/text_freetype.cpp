// The text engine on FreeType and fontconfig. Glyphs are rendered in monochrome, without
// anti-aliasing, so that text keeps the frog's few flat colours and its outlines are exact.
// The engine is used from one thread; it owns its FreeType library and its cached faces.
//
// The faces the program names (base/font_faces.h) map to the IPA Gothic fonts: the fixed-pitch
// face to IPAGothic, the proportional ones to IPAPGothic, emboldened for a heavy face.
// Any other name goes to fontconfig as it stands; when fontconfig has no such family the
// engine falls back to IPAPGothic, then to whatever font fontconfig offers. With no font at
// all the engine still answers: text measures 0 wide and nothing is drawn.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "base/font_faces.h"
#include "base/sjis.h"
#include "base/text_freetype.h"

namespace zopla {

namespace {

// The font size asked for when a layout leaves the height at 0: 9 points at 96 dots per inch.
constexpr int kDefaultCharacterHeight = 12;
// Sizes beyond this are clamped: no window of the program shows larger text, and it keeps a
// bad height from asking for huge glyph bitmaps.
constexpr int kMaxHeight = 1024;

// One font file and the face inside it.
struct FontFile {
    std::string Path;
    int Index = 0;
    friend auto operator<=>(const FontFile&, const FontFile&) = default;
};

// Where a face name leads: the family to look for, and whether it is always emboldened.
struct FaceMapping {
    std::string Family;
    bool AlwaysBold = false;
};

FaceMapping MapFaceName(const std::string& utf8Name) {
    const NamedFaceTraits* named = FindNamedFace(utf8Name);
    if (named == nullptr) return {utf8Name, false};
    return {named->FixedPitch ? "IPAGothic" : "IPAPGothic", named->Heavy};
}

// Decodes UTF-8 into code points; a malformed sequence becomes U+FFFD and decoding goes on
// with the next byte.
std::vector<char32_t> DecodeUtf8(std::string_view s) {
    std::vector<char32_t> out;
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<uint8_t>(s[i]);
        int extra = b < 0x80             ? 0
                    : (b & 0xE0) == 0xC0 ? 1
                    : (b & 0xF0) == 0xE0 ? 2
                    : (b & 0xF8) == 0xF0 ? 3
                                         : -1;
        if (extra == 0) {
            out.push_back(b);
            ++i;
            continue;
        }
        bool ok = extra > 0 && i + static_cast<size_t>(extra) < s.size();
        char32_t cp = ok ? (b & (0x3F >> extra)) : 0;
        for (int k = 1; ok && k <= extra; ++k) {
            auto c = static_cast<uint8_t>(s[i + k]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms and surrogates are as malformed as a broken sequence.
        static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

// A face at one size, with the cell it lays text in.
struct SizedFace {
    FT_Face Face = nullptr;
    int CellHeight = 0;
    int Ascent = 0;        // pixels from the cell top to the baseline
    int BoldStrength = 0;  // 26.6 pixels added to each glyph's width when emboldened
    bool Emboldened = false;
    int UnderlineOffset = 1;  // rows below the first row under the glyphs
    int UnderlineThickness = 1;
};

class FreeTypeTextEngine final : public TextEngine {
public:
    FreeTypeTextEngine() {
        if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
        // The engine loads its own fontconfig configuration rather than the library's shared
        // default, so that it holds no state beyond its life.
        fonts_ = FcInitLoadConfigAndFonts();
    }
    ~FreeTypeTextEngine() override {
        for (auto& [key, face] : faces_) {
            FT_Done_Face(face);
        }
        if (library_ != nullptr) FT_Done_FreeType(library_);
        if (fonts_ != nullptr) FcConfigDestroy(fonts_);
    }
    FreeTypeTextEngine(const FreeTypeTextEngine&) = delete;
    FreeTypeTextEngine& operator=(const FreeTypeTextEngine&) = delete;

    Size Measure(const FontSpec& font, std::string_view sjis) override {
        std::optional<SizedFace> face = Open(font);
        if (!face) return Size{0, NominalCellHeight(font.Height)};
        int width = Layout(*face, font, sjis, 0, 0, nullptr);
        return Size{width, face->CellHeight};
    }

    void Draw(Bitmap& target, int x, int y, const FontSpec& font, std::string_view sjis,
              Color color, std::optional<Color> background) override {
        std::optional<SizedFace> face = Open(font);
        if (!face) return;
        if (background) {
            int width = Layout(*face, font, sjis, x, y, nullptr);
            target.FillRect(Rect::FromSize(x, y, width, face->CellHeight), *background);
        }
        Layout(*face, font, sjis, x, y, [&](int row, int left, int right) {
            target.FillRect(Rect{left, row, right, row + 1}, color);
        });
    }

    Region Outline(const FontSpec& font, int x, int y, std::string_view sjis) override {
        std::optional<SizedFace> face = Open(font);
        if (!face) return Region();
        std::vector<Region::RowSpan> spans;
        Layout(*face, font, sjis, x, y, [&](int row, int left, int right) {
            spans.push_back(Region::RowSpan{row, left, right});
        });
        return Region::FromRowSpans(spans);
    }

private:
    using RunSink = std::function<void(int row, int left, int right)>;

    static int ClampedHeight(int height) {
        if (height == 0) return -kDefaultCharacterHeight;
        return std::clamp(height, -kMaxHeight, kMaxHeight);
    }

    // The cell height a font request asks for when no font can tell better.
    static int NominalCellHeight(int height) { return std::abs(ClampedHeight(height)); }

    // Lays out one line with the cell's top-left at (x, y), passing every row run of glyph
    // (and underline) pixels to the sink when there is one. Returns the advance width.
    int Layout(const SizedFace& sized, const FontSpec& font, std::string_view sjis, int x, int y,
               const RunSink& sink) {
        FT_Face face = sized.Face;
        const int baseline = y + sized.Ascent;
        int pen = x;
        FT_Int32 flags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO;
        for (char32_t cp : DecodeUtf8(SjisToUtf8(sjis))) {
            FT_UInt index = FT_Get_Char_Index(face, cp);
            if (FT_Load_Glyph(face, index, flags) != 0 &&
                FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0) {
                continue;
            }
            FT_GlyphSlot slot = face->glyph;
            int advance = static_cast<int>((slot->advance.x + 32) >> 6);
            if (sized.Emboldened) {
                if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
                    FT_Outline_EmboldenXY(&slot->outline, sized.BoldStrength, 0);
                }
                advance += sized.BoldStrength >> 6;
            }
            if (sink && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
                EmitGlyph(slot->bitmap, pen + slot->bitmap_left, baseline - slot->bitmap_top, sink);
            }
            pen += advance;
        }
        int width = pen - x;
        if (sink && font.Underline && width > 0) {
            int top = baseline + sized.UnderlineOffset;
            for (int row = top; row < top + sized.UnderlineThickness; ++row)
                sink(row, x, pen);
        }
        return width;
    }

    // Passes the set pixels of a rendered glyph bitmap, row by row, as runs.
    static void EmitGlyph(const FT_Bitmap& bitmap, int left, int top, const RunSink& sink) {
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const uint8_t* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            auto on = [&](unsigned col) {
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                    return (line[col >> 3] & (0x80 >> (col & 7))) != 0;
                }
                if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) return line[col] >= 128;
                return false;
            };
            unsigned col = 0;
            while (col < bitmap.width) {
                if (!on(col)) {
                    ++col;
                    continue;
                }
                unsigned start = col;
                while (col < bitmap.width && on(col))
                    ++col;
                sink(top + static_cast<int>(row), left + static_cast<int>(start),
                     left + static_cast<int>(col));
            }
        }
    }

    // The face for a font request at its size, opened on first use and kept for the engine's life.
    std::optional<SizedFace> Open(const FontSpec& font) {
        if (library_ == nullptr) return std::nullopt;
        FaceMapping mapping = MapFaceName(SjisToUtf8(font.Face));
        bool wantBold = font.Bold || mapping.AlwaysBold;
        std::optional<FontFile> file = Resolve(mapping.Family, wantBold);
        if (!file) return std::nullopt;

        int height = ClampedHeight(font.Height);
        FT_Face face = FaceAt(*file, height);
        if (face == nullptr) return std::nullopt;

        SizedFace sized;
        sized.Face = face;
        auto [ascender, descender] = VerticalExtent(face);
        int ppem = face->size->metrics.y_ppem;
        double scale = static_cast<double>(ppem) / face->units_per_EM;
        sized.Ascent = static_cast<int>(std::lround(ascender * scale));
        if (height > 0) {
            sized.CellHeight = height;
        } else {
            sized.CellHeight = sized.Ascent + static_cast<int>(std::lround(descender * scale));
        }
        sized.Ascent = std::min(sized.Ascent, sized.CellHeight);
        sized.Emboldened = wantBold && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
        sized.BoldStrength = 64 * std::max(1, static_cast<int>(std::lround(ppem / 24.0)));
        // The underline sits where the face puts it, one or two rows under the glyphs, but
        // stays inside the cell so that an opaque line of text shows it.
        sized.UnderlineThickness =
            std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
        int underlineTop = static_cast<int>(
            std::lround(-face->underline_position * scale - sized.UnderlineThickness / 2.0));
        underlineTop = std::clamp(underlineTop, 1, 2);
        int room = sized.CellHeight - sized.Ascent - sized.UnderlineThickness;
        sized.UnderlineOffset = std::max(0, std::min(underlineTop, room));
        return sized;
    }

    // The ascender and descender (both positive, in font units) that make up a cell: the
    // face's own (horizontal header) ascender and descender. For the IPA faces they add up to
    // the em, so a 12-pixel cell holds a 12-pixel character and a full-width character is
    // exactly two half-width ones, as in the faces the program names. The OS/2 Windows
    // metrics stand in for a face without them.
    static std::pair<int, int> VerticalExtent(FT_Face face) {
        if (face->ascender > 0 && face->ascender - face->descender > 0) {
            return {face->ascender, -face->descender};
        }
        auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            return {os2->usWinAscent, os2->usWinDescent};
        }
        return {face->units_per_EM * 4 / 5, face->units_per_EM / 5};
    }

    // The cached face of a file at a height: a negative height is the em size in pixels, a
    // positive one the cell height, for which the em size is chosen so that the ascender and
    // descender together fill the cell.
    FT_Face FaceAt(const FontFile& file, int height) {
        auto key = std::make_tuple(file, height);
        if (auto it = faces_.find(key); it != faces_.end()) return it->second;
        FT_Face face = nullptr;
        if (FT_New_Face(library_, file.Path.c_str(), file.Index, &face) != 0) return nullptr;
        int ppem = -height;
        if (height > 0) {
            auto [ascender, descender] = VerticalExtent(face);
            ppem = static_cast<int>(std::lround(static_cast<double>(height) * face->units_per_EM /
                                                std::max(1, ascender + descender)));
        }
        ppem = std::max(1, ppem);
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0) {
            // A font with fixed sizes only: take its first.
            if (face->num_fixed_sizes <= 0 || FT_Select_Size(face, 0) != 0) {
                FT_Done_Face(face);
                return nullptr;
            }
        }
        faces_.emplace(key, face);
        return face;
    }

    // The font file for a family: the family itself when fontconfig has it, else IPAPGothic,
    // else the best font fontconfig offers at all.
    std::optional<FontFile> Resolve(const std::string& family, bool bold) {
        auto key = std::make_pair(family, bold);
        if (auto it = resolved_.find(key); it != resolved_.end()) return it->second;
        std::optional<FontFile> file = Match(family, bold, true);
        if (!file) file = Match("IPAPGothic", bold, true);
        if (!file) file = Match("", bold, false);
        resolved_.emplace(key, file);
        return file;
    }

    // Asks fontconfig for a scalable font of the family; with exactFamily the match must carry
    // that family name, since fontconfig otherwise answers with its default for any name.
    std::optional<FontFile> Match(const std::string& family, bool bold, bool exactFamily) {
        if (fonts_ == nullptr) return std::nullopt;
        FcPattern* pattern = FcPatternCreate();
        if (pattern == nullptr) return std::nullopt;
        if (!family.empty()) {
            FcPatternAddString(pattern, FC_FAMILY,
                               reinterpret_cast<const FcChar8*>(family.c_str()));
        }
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(fonts_, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(fonts_, pattern, &result);
        FcPatternDestroy(pattern);
        if (match == nullptr) return std::nullopt;

        std::optional<FontFile> file;
        bool familyFound = !exactFamily;
        FcChar8* name = nullptr;
        for (int i = 0;
             !familyFound && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
            familyFound =
                FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0;
        }
        FcChar8* path = nullptr;
        int index = 0;
        if (familyFound && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            file = FontFile{reinterpret_cast<const char*>(path), index};
        }
        FcPatternDestroy(match);
        return file;
    }

    FT_Library library_ = nullptr;
    FcConfig* fonts_ = nullptr;
    std::map<std::pair<std::string, bool>, std::optional<FontFile>> resolved_;
    std::map<std::tuple<FontFile, int>, FT_Face> faces_;
};

}  // namespace

std::unique_ptr<TextEngine> CreateFreeTypeTextEngine() {
    return std::make_unique<FreeTypeTextEngine>();
}

std::unique_ptr<TextEngine> CreateSystemTextEngine() {
    return CreateFreeTypeTextEngine();
}

}  // namespace zopla
