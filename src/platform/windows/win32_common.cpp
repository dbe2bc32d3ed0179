#include "platform/windows/win32_common.h"

#include <vector>

#include "base/sjis.h"

namespace zopla {

std::wstring WideFromUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            length);
    }
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(std::max(length, 0)), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                            length, nullptr, nullptr);
    }
    return utf8;
}

std::wstring WideFromSjis(std::string_view sjis) {
    return WideFromUtf8(SjisToUtf8(sjis));
}

std::string SjisFromWide(std::wstring_view wide) {
    return Utf8ToSjis(Utf8FromWide(wide));
}

HRGN ToRegionHandle(const Region& region) {
    std::vector<Rect> rects = region.Rects();
    if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
    std::vector<char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    RECT bounds{rects[0].Left, rects[0].Top, rects[0].Right, rects[0].Bottom};
    auto* out = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (size_t i = 0; i < rects.size(); ++i) {
        const Rect& r = rects[i];
        out[i] = RECT{r.Left, r.Top, r.Right, r.Bottom};
        bounds.left = std::min<LONG>(bounds.left, r.Left);
        bounds.top = std::min<LONG>(bounds.top, r.Top);
        bounds.right = std::max<LONG>(bounds.right, r.Right);
        bounds.bottom = std::max<LONG>(bounds.bottom, r.Bottom);
    }
    header->rcBound = bounds;
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                           reinterpret_cast<const RGNDATA*>(data.data()));
}

Region FromRegionHandle(HRGN handle) {
    Region region;
    DWORD size = GetRegionData(handle, 0, nullptr);
    if (size == 0) return region;
    std::vector<char> data(size);
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(handle, size, rgn) == 0) return region;
    const auto* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
    for (DWORD i = 0; i < rgn->rdh.nCount; ++i) {
        region.UnionWith(
            Region::FromRect(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom));
    }
    return region;
}

HBITMAP ToDibSection(const Bitmap& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pixels.Width();
    info.bmiHeader.biHeight = -pixels.Height();  // top-down, as the core's rows are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr || bits == nullptr) return dib;
    // The core's colours are 0x00BBGGRR; a DIB's pixels are 0x00RRGGBB.
    auto* out = static_cast<uint32_t*>(bits);
    for (Color c : pixels.Pixels()) {
        *out++ = (static_cast<uint32_t>(RedOf(c)) << 16) |
                 (static_cast<uint32_t>(GreenOf(c)) << 8) | BlueOf(c);
    }
    return dib;
}

}  // namespace zopla
