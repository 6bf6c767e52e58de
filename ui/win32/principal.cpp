#include "principal.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <optional>

#include "clipboard_text.h"
#include "painting.h"
#include "pictures.h"
#include "wide_text.h"
#include "win32_clipboard.h"
#include "window_procedure.h"

namespace sorvane::win32 {
namespace {

using core::ListId;
using core::Side;
using form::ControlId;
using form::Kind;

constexpr wchar_t kWindowClass[] = L"Sorvane.Principal";
constexpr int kFirstControlNumber = 1000;  // clear of IDOK and IDCANCEL, which the dialog keys send
constexpr double kTwipsPerInch = 1440;
constexpr COLORREF kNavy = RGB(0, 0, 128);
// The drop-down list of a column chooser below its field, in pixels at 96 dots per inch.
constexpr int kDropDownHeight = 160;

std::size_t indexOf(ControlId id) { return static_cast<std::size_t>(id); }

// The system's functions of Windows 10 for a window's own DPI, found at run time so that the
// program still starts on older Windows, where every window has the system's DPI.
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

// A font of the design at `dpi`. "MS Sans Serif" is a bitmap font of a few sizes on Windows; its
// TrueType successor Microsoft Sans Serif scales to every DPI.
FontHandle makeFont(form::FontId id, UINT dpi) {
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

// The grouping separator of the user's locale, as the count labels group digits.
std::string grouping() {
    wchar_t separator[8] = {};
    const int length =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, std::size(separator));
    return length > 1 ? utf8(std::wstring_view(separator, static_cast<std::size_t>(length - 1)))
                      : std::string(",");
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(),
                                                         static_cast<int>(text.size()))));
    return text;
}

int clampToInt(std::size_t n) {
    return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

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

void registerWindowClass(WNDPROC windowProcedure) {
    static const bool registered = [windowProcedure] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                            ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = windowProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        wc.hIcon = programIcon(GetSystemMetrics(SM_CXICON));
        wc.hIconSm = programIcon(GetSystemMetrics(SM_CXSMICON));
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

int Principal::controlNumber(ControlId id) {
    return kFirstControlNumber + static_cast<int>(id);
}

Principal::Principal(core::Clipboard* clipboard)
    : ownClipboard_(clipboard ? nullptr : std::make_unique<Win32Clipboard>()),
      // An empty collation locale is the user's own on Windows, as every other program sorts.
      workspace_(grouping(), ""),
      commands_(workspace_, clipboard ? *clipboard : *ownClipboard_, *this) {
    registerWindowClass(&windowProcedure);
    constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const std::wstring caption = wide(form::kWindowCaption);
    CreateWindowExW(0, kWindowClass, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = dpiOf(hwnd_);
    makeDpiResources();
    // The client area of the design at this DPI. The window takes its size before it has
    // controls, which are then made where the layout for that size puts them: each move of a
    // control after it is made costs Wine as much again.
    RECT outer{0, 0, pixels(form::kClientWidth), pixels(form::kClientHeight)};
    adjustWindowRect(outer, style, 0, dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    computeLayout();
    createControls();
    loadStep();
}

Principal::~Principal() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        names_.clear();
        DestroyWindow(hwnd_);
    }
}

void Principal::show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    focus_ = control(form::tabOrder().front());
    SetFocus(focus_);
}

// ---- Building the window ----

void Principal::createControls() {
    // One tooltip for all six toolbars, each of which would otherwise make its own: a tooltip is
    // a window of its own on the screen, which takes Wine several milliseconds to make.
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
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
    for (const ControlId id : order) controls_[indexOf(id)] = create(form::control(id));
    for (const form::Control& c : form::controls()) {
        if (control(c.id) == nullptr) controls_[indexOf(c.id)] = create(c);  // none, by design
    }
    applyFonts();
    fitBands();
    built_ = true;
}

HWND Principal::create(const form::Control& c) {
    const WindowClass wc = windowClassOf(c);
    const bool inBand = c.kind == Kind::Toolbar;
    const HWND parent = inBand ? control(*c.container) : hwnd_;
    const std::wstring caption = wide(c.caption);
    // A toolbar's band container places it.
    const RECT r = inBand ? RECT{} : pixelRect(c.id);
    const HWND w = CreateWindowExW(
        wc.exStyle, wc.name, caption.c_str(), wc.style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlNumber(c.id))),
        GetModuleHandleW(nullptr), nullptr);
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
            addColumn(w, 0);
            viewColumns_[static_cast<std::size_t>(*form::listOf(c.id))] = 1;
            break;
        case Kind::Toolbar:
            createToolbar(c, w);
            break;
        default:
            break;
    }
    if (c.kind == Kind::Toolbar) {
        names_.name(w, c.accessibleName);
        names_.nameButton(w, c.buttonName);
    } else {
        names_.name(w, c.accessibleName);
    }
    return w;
}

void Principal::createToolbar(const form::Control& c, HWND toolbar) {
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
    SendMessageW(toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(hwnd_), 0);
    replaceProcedure(toolbar, &toolbarProcedure);

    REBARBANDINFOW band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_STYLE;
    band.fStyle = RBBS_NOGRIPPER;
    band.hwndChild = toolbar;
    const HWND container = control(*c.container);
    SendMessageW(container, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    replaceProcedure(container, &bandContainerProcedure);
}

void Principal::loadStep() {
    for (int r = 0; r < 4; ++r) {
        for (const Side side : {Side::List1, Side::List2}) {
            const HWND combo = control(form::chooser(side, r));
            SendMessageW(combo, CB_RESETCONTENT, 0, 0);
            SetWindowTextW(combo, L"");
        }
    }
}

// ---- Following the screen ----

int Principal::pixels(double twips) const {
    return static_cast<int>(std::lround(twips * dpi_ / kTwipsPerInch));
}

void Principal::makeDpiResources() {
    for (const form::FontId id : {form::FontId::Default, form::FontId::Underlined,
                                  form::FontId::Arial, form::FontId::Heading}) {
        fonts_[static_cast<std::size_t>(id)] = makeFont(id, dpi_);
    }
    pictures_ = toolbarPictures(dpi_);
}

void Principal::applyFonts() {
    for (const form::Control& c : form::controls()) {
        SendMessageW(control(c.id), WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(c.font)].get()),
                     FALSE);
    }
}

void Principal::fitBands() {
    // Each band holds its toolbar at the toolbar's size in the design.
    for (const form::Control& c : form::controls()) {
        if (c.kind != Kind::Toolbar) continue;
        const HWND toolbar = control(c.id);
        SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures_.get()));
        const int width = pixels(c.rect.width);
        const int height = pixels(c.rect.height);
        SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height));
        REBARBANDINFOW band{};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILDSIZE;
        band.cxMinChild = static_cast<UINT>(width);
        band.cyMinChild = static_cast<UINT>(height);
        SendMessageW(control(*c.container), RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
    }
}

RECT Principal::pixelRect(ControlId id) const {
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
    // A combo box's window takes in its drop-down list; the field keeps its font's height.
    if (form::control(id).kind == Kind::ComboBox) {
        rect.bottom += MulDiv(kDropDownHeight, static_cast<int>(dpi_), 96);
    }
    return rect;
}

void Principal::computeLayout() {
    // The layout follows the window's outer size, title bar and borders included.
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    form::layOut(geometry_, (outer.right - outer.left) * kTwipsPerInch / dpi_,
                 (outer.bottom - outer.top) * kTwipsPerInch / dpi_);
}

void Principal::layOut() {
    if (!built_) return;  // the first resize comes before the controls
    computeLayout();
    HDWP batch = BeginDeferWindowPos(static_cast<int>(form::kControlCount));
    for (const form::Control& c : form::controls()) {
        if (c.kind == Kind::Toolbar) continue;  // its band container places it
        const RECT r = pixelRect(c.id);
        if (batch != nullptr) {
            batch = DeferWindowPos(batch, control(c.id), nullptr, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (batch != nullptr) EndDeferWindowPos(batch);
}

void Principal::place(const RECT& outer, UINT flags) {
    // A new size lays the controls out, by the WM_SIZE it brings; a size that stays the same,
    // asked for or kept by the system (no larger than the screen allows), does not.
    RECT before{};
    RECT after{};
    GetWindowRect(hwnd_, &before);
    SetWindowPos(hwnd_, nullptr, outer.left, outer.top, outer.right - outer.left,
                 outer.bottom - outer.top, flags | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(hwnd_, &after);
    if (after.right - after.left == before.right - before.left &&
        after.bottom - after.top == before.bottom - before.top) {
        layOut();
    }
}

void Principal::onDpiChanged(UINT dpi, const RECT& suggested) {
    const UINT old = dpi_;
    dpi_ = dpi;
    makeDpiResources();
    applyFonts();
    fitBands();
    for (const form::Control& c : form::controls()) {
        if (c.kind != Kind::ListView) continue;
        const HWND view = control(c.id);
        const std::size_t columns = viewColumns_[static_cast<std::size_t>(*form::listOf(c.id))];
        for (std::size_t k = 0; k < columns; ++k) {
            const int width = ListView_GetColumnWidth(view, static_cast<int>(k));
            ListView_SetColumnWidth(view, static_cast<int>(k),
                                    MulDiv(width, static_cast<int>(dpi), static_cast<int>(old)));
        }
    }
    place(suggested, 0);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- Events ----

LRESULT CALLBACK Principal::windowProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Principal*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        created->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<Principal*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, w, l);
    return self->handle(message, w, l);
}

LRESULT Principal::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_SIZE:
            layOut();
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(w), *reinterpret_cast<const RECT*>(l));
            return 0;
        case WM_COMMAND:
            if (HIWORD(w) == BN_CLICKED) onCommand(LOWORD(w));  // a toolbar's click too
            return 0;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<NMHDR*>(l));
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (const LRESULT brush = onTextColour(reinterpret_cast<HDC>(w),
                                                   reinterpret_cast<HWND>(l))) {
                return brush;
            }
            break;
        case WM_SETCURSOR:
            if (onSetCursor()) return TRUE;
            break;
        case WM_ACTIVATE:
            // As a dialog does: the focus goes back where it was when the window is active again.
            if (LOWORD(w) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            if (focus_ != nullptr && IsWindow(focus_)) SetFocus(focus_);
            return 0;
        case WM_DESTROY:
            names_.clear();
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            const HWND closing = hwnd_;
            hwnd_ = nullptr;
            return DefWindowProcW(closing, message, w, l);
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, w, l);
}

void Principal::onCommand(int number) {
    const int index = number - kFirstControlNumber;
    if (index < 0 || index >= static_cast<int>(form::kControlCount)) return;
    const auto id = static_cast<ControlId>(index);
    if (id == ControlId::Command1) {
        compare();
    } else if (id == ControlId::Command2) {
        showInstructions();
    } else if (form::control(id).kind == Kind::Toolbar) {
        const ListId list = *form::listOf(id);
        if (list == ListId::List1 || list == ListId::List2) {
            commands_.paste(list == ListId::List1 ? Side::List1 : Side::List2);
        } else {
            commands_.copy(list);
        }
    }
}

LRESULT Principal::onNotify(NMHDR& header) {
    const int index = static_cast<int>(header.idFrom) - kFirstControlNumber;
    switch (header.code) {
        case TBN_GETINFOTIPW: {
            auto& tip = reinterpret_cast<NMTBGETINFOTIPW&>(header);
            onTooltip(tip.iItem, tip.pszText, tip.cchTextMax);
            return 0;
        }
        case TTN_GETDISPINFOW: {
            auto& tip = reinterpret_cast<NMTTDISPINFOW&>(header);
            onTooltip(static_cast<int>(header.idFrom), tip.szText, std::size(tip.szText));
            return 0;
        }
        default:
            break;
    }
    if (index < 0 || index >= static_cast<int>(form::kControlCount)) return 0;
    const auto list = form::listOf(static_cast<ControlId>(index));
    if (!list || form::control(static_cast<ControlId>(index)).kind != Kind::ListView) return 0;
    switch (header.code) {
        case LVN_GETDISPINFOW:
            onCellText(*list, reinterpret_cast<NMLVDISPINFOW&>(header).item);
            return 0;
        case LVN_COLUMNCLICK: {
            const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
            if (click.iSubItem >= 0) {
                commands_.headerClicked(*list, static_cast<std::size_t>(click.iSubItem) + 1);
            }
            return 0;
        }
        default:
            return 0;
    }
}

void Principal::onCellText(ListId list, LVITEMW& item) {
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    const core::RecordList& shown = shown_[static_cast<std::size_t>(list)];
    item.pszText[0] = L'\0';
    if (item.iItem < 0 || item.iSubItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= shown.recordCount() ||
        static_cast<std::size_t>(item.iSubItem) >= shown.columnCount()) {
        return;
    }
    // Only the cell asked for is converted, and only what a view shows of it.
    const core::ShownCell cell = core::shownCell(
        shown.cell(static_cast<std::size_t>(item.iItem), static_cast<std::size_t>(item.iSubItem)));
    std::array<char16_t, core::ShownCell::kShownBytes + 2> text;
    std::size_t length = core::writeUtf16(cell.text, text.data());
    if (cell.cut) text[length++] = u'\u2026';
    std::size_t fits = std::min(length, static_cast<std::size_t>(item.cchTextMax) - 1);
    // A character of two units is not cut in half.
    if (fits < length && fits > 0 && text[fits - 1] >= 0xD800 && text[fits - 1] <= 0xDBFF) --fits;
    std::copy_n(text.data(), fits, reinterpret_cast<char16_t*>(item.pszText));
    item.pszText[fits] = L'\0';
}

void Principal::onTooltip(int number, wchar_t* text, int room) {
    const int index = number - kFirstControlNumber;
    if (text == nullptr || room <= 0 || index < 0 ||
        index >= static_cast<int>(form::kControlCount)) {
        return;
    }
    const std::wstring tip = wide(form::control(static_cast<ControlId>(index)).tooltip);
    const std::size_t length = std::min(tip.size(), static_cast<std::size_t>(room) - 1);
    tip.copy(text, length);
    text[length] = L'\0';
}

LRESULT Principal::onTextColour(HDC dc, HWND part) {
    // A combo box asks for the colours of its edit field and list; Text1 and Text2 for their own.
    std::optional<ControlId> id;
    for (const auto& [hwnd, chooser] : chooserParts_) {
        if (hwnd == part) id = chooser;
    }
    const int index = GetDlgCtrlID(part) - kFirstControlNumber;
    if (!id && index >= 0 && index < static_cast<int>(form::kControlCount) &&
        control(static_cast<ControlId>(index)) == part) {
        id = static_cast<ControlId>(index);
    }
    if (!id || form::control(*id).colour == form::TextColour::Default) return 0;
    SetTextColor(dc, form::control(*id).colour == form::TextColour::Navy
                         ? kNavy
                         : GetSysColor(COLOR_HIGHLIGHT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

bool Principal::onSetCursor() {
    if (!busy_) return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

void Principal::compare() {
    core::ChooserTexts texts;
    for (int r = 0; r < 4; ++r) {
        texts.list1[r] = utf8(windowText(control(form::chooser(Side::List1, r))));
        texts.list2[r] = utf8(windowText(control(form::chooser(Side::List2, r))));
    }
    commands_.compare(texts);
}

void Principal::showInstructions() {
    // Message boxes break lines at a line feed alone, as the text has them.
    const std::wstring text = wide(form::instructionsText());
    MessageBoxW(hwnd_, text.c_str(), L"Instructions", MB_ICONINFORMATION | MB_OK);
}

LRESULT CALLBACK Principal::toolbarProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    // A toolbar takes the focus here, which toolbars seldom do: Space and Enter press its button,
    // and a dotted frame shows where the focus is.
    switch (message) {
        case WM_GETDLGCODE: {
            const auto* key = reinterpret_cast<const MSG*>(l);
            if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
                return DLGC_WANTMESSAGE;  // else the dialog keys would take Enter for OK
            }
            break;
        }
        case WM_KEYDOWN:
            if (w == VK_SPACE || w == VK_RETURN) {
                if ((l & (1 << 30)) == 0) {  // not again while held
                    // As a click on its button tells the window.
                    SendMessageW(GetAncestor(hwnd, GA_ROOT), WM_COMMAND,
                                 MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(hwnd));
                }
                return 0;
            }
            break;
        case WM_CHAR:
            if (w == L' ' || w == L'\r') return 0;
            break;
        case WM_KILLFOCUS:
            // The button stays lit by the keyboard's visit otherwise.
            SendMessageW(hwnd, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_SETFOCUS:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_PAINT: {
            const LRESULT result = passOn(hwnd, message, w, l);
            if (GetFocus() == hwnd) {
                RECT button{};
                SendMessageW(hwnd, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
                InflateRect(&button, -2, -2);
                const HDC dc = GetDC(hwnd);
                DrawFocusRect(dc, &button);
                ReleaseDC(hwnd, dc);
            }
            return result;
        }
        default:
            break;
    }
    return passOn(hwnd, message, w, l);
}

LRESULT CALLBACK Principal::bandContainerProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_ERASEBKGND: {
            // A band container paints its bands only; the rest of it is the window's background.
            RECT client{};
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(w), &client, GetSysColorBrush(COLOR_BTNFACE));
            break;
        }
        default:
            break;
    }
    return passOn(hwnd, message, w, l);
}

// ---- What the commands show ----

void Principal::setPointer(core::Pointer pointer) {
    busy_ = pointer == core::Pointer::Busy;
    SetCursor(LoadCursorW(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
}

core::Answer Principal::askRetry(const std::string& report) {
    const std::wstring text = wide(report);
    const std::wstring title = wide(form::kWindowCaption);
    const int answer = MessageBoxW(hwnd_, text.c_str(), title.c_str(), MB_RETRYCANCEL | MB_DEFBUTTON1);
    return answer == IDRETRY ? core::Answer::Retry : core::Answer::Cancel;
}

void Principal::showRefusal(const std::string& text) {
    const std::wstring message = wide(text);
    const std::wstring title = wide(form::kWindowCaption);
    MessageBoxW(hwnd_, message.c_str(), title.c_str(), MB_ICONEXCLAMATION | MB_OK);
}

void Principal::showWorkspace() {
    // What waits to be painted is painted first. Then the window draws nothing until every
    // control that changes has changed, and each of those is drawn once, scroll bars included:
    // a list view would otherwise draw its scroll bars again at each change, which under Wine's
    // visual style cost more than the rest of a paste or a comparison.
    UpdateWindow(hwnd_);
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    std::vector<HWND> changed;
    for (int k = 0; k < 6; ++k) {
        const auto id = static_cast<ListId>(k);
        if (showList(id)) changed.push_back(control(form::listView(id)));
        if (showCount(id)) changed.push_back(control(form::countLabel(id)));
    }
    for (const Side side : {Side::List1, Side::List2}) {
        if (!refillChoosers(side)) continue;
        // Of a chooser, only the text in its field shows what changed.
        for (int r = 0; r < 4; ++r) {
            COMBOBOXINFO parts{};
            parts.cbSize = sizeof(parts);
            const HWND combo = control(form::chooser(side, r));
            changed.push_back(GetComboBoxInfo(combo, &parts) ? parts.hwndItem : combo);
        }
    }
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    for (const HWND w : changed) {
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

bool Principal::showList(ListId id) {
    const auto k = static_cast<std::size_t>(id);
    const core::RecordList& list = workspace_.list(id);
    const bool changed = !list.sameContent(shown_[k]);
    shown_[k] = list;
    if (!changed) return false;
    const HWND view = control(form::listView(id));
    // Drawn once at the end, not once for each column added and again for the new count.
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    while (viewColumns_[k] < list.columnCount()) addColumn(view, viewColumns_[k]++);
    // Emptied first, which drops its selection and focus at once: setting the state of every
    // item would visit each of a million records.
    ListView_SetItemCountEx(view, 0, 0);
    ListView_SetItemCountEx(view, clampToInt(list.recordCount()), 0);
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    return true;
}

bool Principal::showCount(ListId id) {
    const auto k = static_cast<std::size_t>(id);
    const std::string& count = workspace_.countLabel(id);
    if (count == counts_[k]) return false;
    counts_[k] = count;
    const HWND label = control(form::countLabel(id));
    SetWindowTextW(label, wide(count).c_str());
    names_.name(label, form::countName(id, count));
    return true;
}

bool Principal::refillChoosers(Side side) {
    const auto s = static_cast<std::size_t>(side);
    if (workspace_.chooserRevision(side) == chooserRevisions_[s]) return false;
    chooserRevisions_[s] = workspace_.chooserRevision(side);
    std::vector<std::wstring> entries;
    for (const std::string& entry : workspace_.chooserEntries(side)) entries.push_back(wide(entry));
    for (int r = 0; r < 4; ++r) {
        const HWND combo = control(form::chooser(side, r));
        SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        SendMessageW(combo, CB_INITSTORAGE, entries.size(), entries.size() * 8 * sizeof(wchar_t));
        for (const std::wstring& entry : entries) {
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        }
        // Nothing is chosen after a paste.
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetWindowTextW(combo, L"");
        SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
    }
    return true;
}

void Principal::addColumn(HWND view, std::size_t index) {
    // Captioned 1 to N; every column starts one inch wide, as column 1 does.
    std::wstring caption = std::to_wstring(index + 1);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = caption.data();
    column.cx = pixels(form::kFirstColumnWidth);
    column.iSubItem = static_cast<int>(index);
    ListView_InsertColumn(view, static_cast<int>(index), &column);
}

int runMessageLoop(HWND main) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(main, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace sorvane::win32
