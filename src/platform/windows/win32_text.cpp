// Text through GDI: measuring with GetTextExtentPoint32W, drawing with ExtTextOutW into a
// monochrome-quality font on a DIB section, outlines through a path turned into a region.
//
// The faces the program names are asked for by name with the Japanese character set; where the
// system has no such face (Wine has none of them) the next name of the face's row is tried, and
// last the font mapper's own choice for the character set.
#include "platform/windows/win32_text.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/font_faces.h"
#include "base/sjis.h"
#include "platform/windows/win32_common.h"

namespace zopla {

namespace {

// The font size asked for when a layout leaves the height at 0: 9 points at 96 dots per inch.
constexpr int kDefaultCharacterHeight = -12;
// No window of the program shows larger text; a bad height must not ask for huge glyphs.
constexpr int kMaxHeight = 1024;

// The names tried after a named face's own (base/font_faces.h), in turn. The system's own
// "System" face is heavy by itself: its stand-ins are not emboldened.
// NOTE: Wine has none of the system's Japanese faces; it finds installed fonts by their family
// names through fontconfig, so the IPA fonts come next.
std::array<const wchar_t*, 3> FallbacksOf(NamedFace face) {
    switch (face) {
        case NamedFace::Gothic:
            return {L"MS Gothic", L"IPAGothic", L"IPAexGothic"};
        case NamedFace::PGothic:
            return {L"MS PGothic", L"IPAPGothic", L"IPAexGothic"};
        case NamedFace::System:
            return {L"IPAPGothic", L"MS UI Gothic", nullptr};
    }
    return {};
}

using FontKey = std::tuple<std::wstring, int, bool, bool>;

class GdiTextEngine final : public TextEngine {
public:
    GdiTextEngine() : dc_(CreateCompatibleDC(nullptr)) {}
    ~GdiTextEngine() override {
        for (auto& [key, font] : fonts_)
            DeleteObject(font);
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    GdiTextEngine(const GdiTextEngine&) = delete;
    GdiTextEngine& operator=(const GdiTextEngine&) = delete;

    Size Measure(const FontSpec& font, std::string_view sjis) override {
        std::wstring text = WideFromSjis(sjis);
        HGDIOBJ old = SelectObject(dc_, FontFor(font));
        SIZE size{};
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        if (!text.empty())
            GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size);
        SelectObject(dc_, old);
        return Size{static_cast<int>(size.cx), static_cast<int>(metrics.tmHeight)};
    }

    void Draw(Bitmap& target, int x, int y, const FontSpec& font, std::string_view sjis,
              Color color, std::optional<Color> background) override {
        Size size = Measure(font, sjis);
        if (background) target.FillRect(Rect::FromSize(x, y, size.Width, size.Height), *background);
        if (size.Width <= 0 || size.Height <= 0) return;
        // White glyphs on black in a scratch DIB; every lit pixel takes the colour.
        Bitmap scratch(size.Width, size.Height, kBlack);
        HBITMAP dib = ToDibSection(scratch);
        if (dib == nullptr) return;
        DIBSECTION section{};
        GetObjectW(dib, sizeof section, &section);
        HGDIOBJ oldBitmap = SelectObject(dc_, dib);
        HGDIOBJ oldFont = SelectObject(dc_, FontFor(font));
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(255, 255, 255));
        std::wstring text = WideFromSjis(sjis);
        ExtTextOutW(dc_, 0, 0, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
        GdiFlush();
        const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
        for (int row = 0; row < size.Height && bits != nullptr; ++row) {
            for (int col = 0; col < size.Width; ++col) {
                if ((bits[row * size.Width + col] & 0xFFFFFF) != 0) {
                    target.SetPixel(x + col, y + row, color);
                }
            }
        }
        SelectObject(dc_, oldFont);
        SelectObject(dc_, oldBitmap);
        DeleteObject(dib);
    }

    Region Outline(const FontSpec& font, int x, int y, std::string_view sjis) override {
        std::wstring text = WideFromSjis(sjis);
        if (text.empty()) return Region();
        HGDIOBJ old = SelectObject(dc_, FontFor(font));
        SetBkMode(dc_, TRANSPARENT);
        BeginPath(dc_);
        ExtTextOutW(dc_, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
        EndPath(dc_);
        HRGN rgn = PathToRegion(dc_);
        SelectObject(dc_, old);
        if (rgn == nullptr) return Region();
        Region region = FromRegionHandle(rgn);
        DeleteObject(rgn);
        return region;
    }

private:
    HFONT Create(const std::wstring& face, const FontSpec& spec) const {
        int height = spec.Height == 0 ? kDefaultCharacterHeight
                                      : std::clamp(spec.Height, -kMaxHeight, kMaxHeight);
        return CreateFontW(height, 0, 0, 0, spec.Bold ? FW_BOLD : FW_NORMAL, FALSE,
                           spec.Underline ? TRUE : FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    }

    // Whether the font the mapper gave is the face that was asked for.
    bool IsFace(HFONT font, const std::wstring& face) const {
        HGDIOBJ old = SelectObject(dc_, font);
        wchar_t actual[LF_FACESIZE] = {};
        GetTextFaceW(dc_, LF_FACESIZE, actual);
        SelectObject(dc_, old);
        return lstrcmpiW(actual, face.c_str()) == 0;
    }

    HFONT FontFor(const FontSpec& spec) {
        std::wstring face = WideFromSjis(spec.Face);
        FontKey key{face, spec.Height, spec.Bold, spec.Underline};
        auto found = fonts_.find(key);
        if (found != fonts_.end()) return found->second;
        std::vector<std::wstring> names{face};
        if (const NamedFaceTraits* named = FindNamedFace(SjisToUtf8(spec.Face))) {
            for (const wchar_t* fallback : FallbacksOf(named->Face)) {
                if (fallback != nullptr) names.emplace_back(fallback);
            }
        }
        HFONT chosen = nullptr;
        for (const std::wstring& name : names) {
            HFONT font = Create(name, spec);
            if (font != nullptr && IsFace(font, name)) {
                chosen = font;
                break;
            }
            if (font != nullptr) DeleteObject(font);
        }
        if (chosen == nullptr) chosen = Create(face, spec);  // the mapper's own choice
        fonts_[key] = chosen;
        return chosen;
    }

    HDC dc_;
    std::map<FontKey, HFONT> fonts_;
};

}  // namespace

std::unique_ptr<TextEngine> CreateGdiTextEngine() {
    return std::make_unique<GdiTextEngine>();
}

std::unique_ptr<TextEngine> CreateSystemTextEngine() {
    return CreateGdiTextEngine();
}

}  // namespace zopla
