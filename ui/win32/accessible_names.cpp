#include "accessible_names.h"

#include <objbase.h>
#include <oleacc.h>

#include <algorithm>

#include "wide_text.h"

namespace sorvane::win32 {
namespace {

// Copies of the identifiers this file uses: MinGW-w64's oleacc library links IID_IAccessible
// with the wrong value, so none is taken from it.
constexpr GUID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kAccessibleInterface = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

constexpr DWORD kFirstButton = 1;  // a toolbar's buttons are its child elements 1 to n

// Whether the object Windows serves for a toolbar has its button as child element 1.
bool servesButtons(HWND toolbar) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(toolbar, static_cast<DWORD>(OBJID_CLIENT),
                                          kAccessibleInterface,
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return false;
    }
    long children = 0;
    const bool serves = SUCCEEDED(object->get_accChildCount(&children)) && children >= 1;
    object->Release();
    return serves;
}

}  // namespace

AccessibleNames::AccessibleNames() {
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comStarted_ = SUCCEEDED(started);
    if (FAILED(CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                kAccPropServicesInterface,
                                reinterpret_cast<void**>(&services_)))) {
        services_ = nullptr;
    }
}

AccessibleNames::~AccessibleNames() {
    clear();
    if (services_ != nullptr) services_->Release();
    if (comStarted_) CoUninitialize();
}

void AccessibleNames::name(HWND hwnd, std::string_view name) {
    annotate(hwnd, CHILDID_SELF, name);
}

void AccessibleNames::nameButton(HWND toolbar, std::string_view name) {
    annotate(toolbar, servesButtons(toolbar) ? kFirstButton : CHILDID_SELF, name);
}

void AccessibleNames::annotate(HWND hwnd, DWORD child, std::string_view name) {
    if (services_ == nullptr) return;
    const std::wstring text = wide(name);
    if (SUCCEEDED(services_->SetHwndPropStr(hwnd, static_cast<DWORD>(OBJID_CLIENT), child,
                                            kNameProperty, text.c_str()))) {
        const std::pair<HWND, DWORD> key(hwnd, child);
        if (std::find(named_.begin(), named_.end(), key) == named_.end()) named_.push_back(key);
    }
}

void AccessibleNames::clear() {
    if (services_ == nullptr) return;
    MSAAPROPID property = kNameProperty;
    for (const auto& [hwnd, child] : named_) {
        services_->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT), child, &property, 1);
    }
    named_.clear();
}

}  // namespace sorvane::win32
