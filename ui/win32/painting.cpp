#include "painting.h"

#include "window_procedure.h"

namespace sorvane::win32 {
namespace {

// A device context over a top-down 32-bit bitmap of `width` by `height`, which it holds.
class MemoryCanvas {
public:
    MemoryCanvas(HDC like, int width, int height) : dc_(CreateCompatibleDC(like)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dc_ != nullptr && bitmap_ != nullptr) before_ = SelectObject(dc_, bitmap_);
    }
    ~MemoryCanvas() {
        if (before_ != nullptr) SelectObject(dc_, before_);
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    /// The context to draw in; null when the system had no room for it.
    HDC dc() const { return before_ != nullptr ? dc_ : nullptr; }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ before_ = nullptr;
};

LRESULT CALLBACK paintProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    // A WM_PAINT that carries a context asks to be painted into it.
    if (message != WM_PAINT || w != 0) return passOn(hwnd, message, w, l);
    PAINTSTRUCT paint{};
    const HDC screen = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    const RECT& area = paint.rcPaint;
    if (screen != nullptr && !IsRectEmpty(&area)) {
        MemoryCanvas canvas(screen, client.right, client.bottom);
        // Without room for a bitmap, straight onto the screen.
        const HDC target = canvas.dc() != nullptr ? canvas.dc() : screen;
        // The control draws only what needs it, as it would on the screen.
        if (target != screen) {
            IntersectClipRect(target, area.left, area.top, area.right, area.bottom);
        }
        passOn(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target), PRF_CLIENT | PRF_ERASEBKGND);
        if (target != screen) {
            BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   target, area.left, area.top, SRCCOPY);
        }
    }
    EndPaint(hwnd, &paint);
    return 0;
}

}  // namespace

void paintThroughMemory(HWND control) { replaceProcedure(control, &paintProcedure); }

}  // namespace sorvane::win32
