#include "window_controls.h"

#include <commctrl.h>

#include <string>

#include "dpi.h"
#include "painting.h"
#include "pictures.h"
#include "record_views.h"
#include "toolbar_keys.h"
#include "wide_text.h"
#include "window_procedure.h"

namespace sorvane::win32 {
namespace {

using form::ControlId;
using form::Kind;

constexpr int kFirstControlNumber = 1000;  // clear of IDOK and IDCANCEL, which the dialog keys send
constexpr double kTwipsPerInch = 1440;
// The drop-down list of a column chooser below its field, in pixels at 96 dots per inch.
constexpr int kDropDownHeight = 160;

std::size_t indexOf(ControlId id) { return static_cast<std::size_t>(id); }

struct WindowClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

// The common control of each kind, with the styles every control of that kind has. Every
// control clips its siblings: the frames lie under the controls they hold.
WindowClass windowClassOf(const form::Control& c) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (c.kind) {
        case Kind::Frame:
            // Transparent: the window paints what lies inside a frame, under its controls.
            return {L"BUTTON", child | BS_GROUPBOX, WS_EX_TRANSPARENT};
        case Kind::Label:
            return {L"STATIC", child | SS_NOPREFIX | (c.centred ? SS_CENTER : SS_LEFT), 0};
        case Kind::ComboBox:
            return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                    0};
        case Kind::PushButton:
            return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case Kind::TextBox:
            return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case Kind::ListView: {
            DWORD style = child | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
            // The Matches lists are never sorted apart from each other: their headers are no
            // buttons.
            if (!core::sortsOnHeaderClick(*form::listOf(c.id))) style |= LVS_NOSORTHEADER;
            return {WC_LISTVIEWW, style, WS_EX_CLIENTEDGE};
        }
        case Kind::BandContainer:
            // A control parent: the dialog keys go on into its toolbar.
            return {REBARCLASSNAMEW,
                    child | WS_CLIPCHILDREN | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                    WS_EX_CONTROLPARENT};
        case Kind::Toolbar:
            return {TOOLBARCLASSNAMEW,
                    child | WS_TABSTOP | TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN |
                        CCS_NODIVIDER,
                    0};
    }
    return {L"STATIC", child, 0};
}

}  // namespace

int WindowControls::controlNumber(ControlId id) {
    return kFirstControlNumber + static_cast<int>(id);
}

std::optional<ControlId> WindowControls::controlOfNumber(int number) {
    const int index = number - kFirstControlNumber;
    if (index < 0 || index >= static_cast<int>(form::kControlCount)) return std::nullopt;
    return static_cast<ControlId>(index);
}

bool WindowControls::create(HWND window, UINT dpi, RecordViews& views) {
    window_ = window;
    dpi_ = dpi;
    changeDpi(dpi);
    computeLayout();
    // One tooltip for all six toolbars, each of which would otherwise make its own: a tooltip is
    // a window of its own on the screen, which takes Wine several milliseconds to make.
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    // A control made later lies under those made before it, and the dialog keys go down that
    // stack: the controls that take the focus come first, in tab order (a toolbar inside its
    // band container), then the labels, and the frames at the bottom, under what they hold.
    std::vector<ControlId> order;
    for (const ControlId id : form::tabOrder()) {
        const form::Control& c = form::control(id);
        if (c.kind == Kind::Toolbar) order.push_back(*c.container);
        order.push_back(id);
    }
    for (const Kind kind : {Kind::Label, Kind::Frame}) {
        for (const form::Control& c : form::controls()) {
            if (c.kind == kind) order.push_back(c.id);
        }
    }
    for (const ControlId id : order) controls_[indexOf(id)] = create(form::control(id), views);
    for (const form::Control& c : form::controls()) {
        if ((*this)[c.id] == nullptr) return false;
    }
    applyResources();
    built_ = true;
    return true;
}

HWND WindowControls::create(const form::Control& c, RecordViews& views) {
    const WindowClass wc = windowClassOf(c);
    const bool inBand = c.kind == Kind::Toolbar;
    const HWND parent = inBand ? (*this)[*c.container] : window_;
    if (parent == nullptr) return nullptr;
    const std::wstring caption = wide(c.caption);
    // A toolbar's band container places it.
    const RECT r = inBand ? RECT{} : pixelRect(c.id);
    const HWND w =
        CreateWindowExW(wc.exStyle, wc.name, caption.c_str(), wc.style, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlNumber(c.id))),
                        GetModuleHandleW(nullptr), nullptr);
    if (w == nullptr) return nullptr;
    switch (c.kind) {
        case Kind::ComboBox: {
            COMBOBOXINFO parts{};
            parts.cbSize = sizeof(parts);
            if (GetComboBoxInfo(w, &parts)) {
                chooserParts_.emplace_back(parts.hwndItem, c.id);
                chooserParts_.emplace_back(parts.hwndList, c.id);
            }
            break;
        }
        case Kind::ListView:
            ListView_SetExtendedListViewStyle(w, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
            paintThroughMemory(ListView_GetHeader(w));
            views.attach(*form::listOf(c.id), w, pixels(form::kColumnWidth));
            break;
        case Kind::Toolbar:
            createToolbar(c, w);
            names_.nameButton(w, c.buttonName);
            break;
        default:
            break;
    }
    names_.name(w, c.accessibleName);
    return w;
}

void WindowControls::createToolbar(const form::Control& c, HWND toolbar) {
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures_.get()));
    // Before the button, which the toolbar then shows in the tooltip.
    SendMessageW(toolbar, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(tooltip_), 0);
    TBBUTTON button{};
    button.iBitmap = pictureIndex(c.picture);
    button.idCommand = controlNumber(c.id);
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    // Its clicks and tooltip requests come to the window, not to the band container.
    SendMessageW(toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(window_), 0);
    replaceProcedure(toolbar, &toolbarProcedure);

    REBARBANDINFOW band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_STYLE;
    band.fStyle = RBBS_NOGRIPPER;
    band.hwndChild = toolbar;
    const HWND container = (*this)[*c.container];
    SendMessageW(container, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&band));
    replaceProcedure(container, &bandContainerProcedure);
}

int WindowControls::pixels(double twips) const { return pixelsAt(twips, dpi_); }

void WindowControls::changeDpi(UINT dpi) {
    dpi_ = dpi;
    // The controls keep drawing with the old fonts and pictures until they hold the new ones;
    // only then do the old ones go, at the end of this scope.
    std::array<FontHandle, 4> oldFonts = std::move(fonts_);
    ImageListHandle oldPictures = std::move(pictures_);
    for (const form::FontId id : {form::FontId::Default, form::FontId::Underlined,
                                  form::FontId::Arial, form::FontId::Heading}) {
        fonts_[static_cast<std::size_t>(id)] = makeFont(id, dpi_);
    }
    pictures_ = toolbarPictures(dpi_);
    if (built_) applyResources();
}

void WindowControls::applyResources() {
    for (const form::Control& c : form::controls()) {
        const HWND w = (*this)[c.id];
        SendMessageW(w, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(c.font)].get()),
                     FALSE);
        if (c.kind != Kind::Toolbar) continue;
        // Each band holds its toolbar at the toolbar's size in the design.
        SendMessageW(w, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures_.get()));
        const int width = pixels(c.rect.width);
        const int height = pixels(c.rect.height);
        SendMessageW(w, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height));
        REBARBANDINFOW band{};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILDSIZE;
        band.cxMinChild = static_cast<UINT>(width);
        band.cyMinChild = static_cast<UINT>(height);
        SendMessageW((*this)[*c.container], RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
    }
    fitChoosers();
}

void WindowControls::fitChoosers() {
    // A combo box makes its field as tall as its font needs; the design's height is reached
    // through the height of the field's item, under a border that the box adds. Systems differ
    // in what they add, so it is measured once, on the first chooser, by setting its item's
    // height to what it is: every chooser has the same font. Each setting moves a combo box,
    // which costs Wine as much as making one.
    LRESULT border = -1;
    for (const form::Control& c : form::controls()) {
        if (c.kind != Kind::ComboBox) continue;
        const HWND combo = (*this)[c.id];
        if (border < 0) {
            const LRESULT item = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
            if (item == CB_ERR) return;
            SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
            RECT r{};
            GetWindowRect(combo, &r);
            border = (r.bottom - r.top) - item;
        }
        const LRESULT fitting = pixels(c.rect.height) - border;
        if (fitting > 0) SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), fitting);
    }
}

void WindowControls::computeLayout() {
    // The layout follows the window's outer size, title bar and borders included.
    RECT outer{};
    GetWindowRect(window_, &outer);
    form::layOut(geometry_, (outer.right - outer.left) * kTwipsPerInch / dpi_,
                 (outer.bottom - outer.top) * kTwipsPerInch / dpi_);
}

void WindowControls::layOut() {
    if (!built_) return;  // the first resize comes before the controls
    computeLayout();
    HDWP batch = BeginDeferWindowPos(static_cast<int>(form::kControlCount));
    for (const form::Control& c : form::controls()) {
        if (c.kind == Kind::Toolbar) continue;  // its band container places it
        const RECT r = pixelRect(c.id);
        if (batch != nullptr) {
            batch = DeferWindowPos(batch, (*this)[c.id], nullptr, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (batch != nullptr) EndDeferWindowPos(batch);
}

RECT WindowControls::pixelRect(ControlId id) const {
    // The design places a control in its container's client area; frames have no border
    // of their own there, so a control's place in the window is the sum along its containers.
    const form::TwipRect& r = geometry_[id];
    double left = r.left;
    double top = r.top;
    for (auto c = form::control(id).container; c; c = form::control(*c).container) {
        left += geometry_[*c].left;
        top += geometry_[*c].top;
    }
    // Each edge rounded on its own, so controls that meet in twips meet in pixels.
    RECT rect{pixels(left), pixels(top), pixels(left + r.width), pixels(top + r.height)};
    // A combo box's window takes in its drop-down list; the field has the design's height.
    if (form::control(id).kind == Kind::ComboBox) {
        rect.bottom += MulDiv(kDropDownHeight, static_cast<int>(dpi_), 96);
    }
    return rect;
}

std::optional<ControlId> WindowControls::ownerOf(HWND part) const {
    for (const auto& [hwnd, chooser] : chooserParts_) {
        if (hwnd == part) return chooser;
    }
    const auto id = controlOfNumber(GetDlgCtrlID(part));
    if (id && (*this)[*id] == part) return id;
    return std::nullopt;
}

}  // namespace sorvane::win32
