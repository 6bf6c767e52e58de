#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace sorvane::win32 {

// Owners of the handles the window takes from the system, each freed the way its kind must be.

struct GdiObjectFree {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct ImageListFree {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct GlobalMemoryFree {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};

/// A font the window made.
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectFree>;
/// An image list the window made.
using ImageListHandle = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListFree>;
/// A block of global memory not yet handed to the clipboard.
using GlobalMemory = std::unique_ptr<void, GlobalMemoryFree>;

/// A block of global memory locked for reading or writing while this lives.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~GlobalLockGuard() {
        if (data_ != nullptr) GlobalUnlock(memory_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

    /// The block's bytes; null when it could not be locked.
    void* data() const { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace sorvane::win32
