#include "dpi.h"

#include <bit>
#include <cmath>
#include <string>

#include "wide_text.h"

namespace sorvane::win32 {
namespace {

constexpr double kTwipsPerInch = 1440;

}  // namespace

UINT dpiOf(HWND hwnd) {
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto get = std::bit_cast<GetDpiForWindow>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow"));
    if (get != nullptr && hwnd != nullptr) return get(hwnd);
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = std::bit_cast<AdjustForDpi>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi"));
    if (adjust != nullptr) {
        adjust(&rect, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

int pixelsAt(double twips, UINT dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

FontHandle makeFont(form::FontId id, UINT dpi) {
    // "MS Sans Serif" is a bitmap font of a few sizes on Windows; its TrueType successor
    // Microsoft Sans Serif scales to every DPI.
    const form::Font f = form::fontOf(id);
    std::wstring family = wide(f.family);
    if (family == L"MS Sans Serif") family = L"Microsoft Sans Serif";
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(f.points * dpi / 72.0));
    font.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = f.underline ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    // Where the face is missing, the nearest sans serif stands in.
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    family.copy(font.lfFaceName, LF_FACESIZE - 1);
    return FontHandle(CreateFontIndirectW(&font));
}

}  // namespace sorvane::win32
