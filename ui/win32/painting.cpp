#include "painting.h"

#include <commctrl.h>

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

LRESULT CALLBACK paintProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                DWORD_PTR) {
    switch (message) {
        case WM_PAINT: {
            if (w != 0) break;  // asked to paint into a context of the caller's own
            PAINTSTRUCT paint{};
            const HDC screen = BeginPaint(hwnd, &paint);
            RECT client{};
            GetClientRect(hwnd, &client);
            const RECT& area = paint.rcPaint;
            if (screen != nullptr && !IsRectEmpty(&area)) {
                MemoryCanvas canvas(screen, client.right, client.bottom);
                if (canvas.dc() != nullptr) {
                    // The control draws only what needs it, as it would on the screen.
                    IntersectClipRect(canvas.dc(), area.left, area.top, area.right, area.bottom);
                    DefSubclassProc(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                                    PRF_CLIENT | PRF_ERASEBKGND);
                    BitBlt(screen, area.left, area.top, area.right - area.left,
                           area.bottom - area.top, canvas.dc(), area.left, area.top, SRCCOPY);
                } else {
                    // Without room for a bitmap, straight onto the screen.
                    DefSubclassProc(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(screen),
                                    PRF_CLIENT | PRF_ERASEBKGND);
                }
            }
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &paintProcedure, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, w, l);
}

}  // namespace

void paintThroughMemory(HWND control) {
    if (control != nullptr) SetWindowSubclass(control, &paintProcedure, 0, 0);
}

}  // namespace sorvane::win32
