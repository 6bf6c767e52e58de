#include "principal.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "command_table.h"
#include "dpi.h"
#include "pictures.h"
#include "wide_text.h"
#include "win32_clipboard.h"

namespace sorvane::win32 {
namespace {

using core::ListId;
using core::Side;
using form::ControlId;
using form::Kind;

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

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

// What Windows said of a call that failed, for the message that ends the start.
std::string failure(const char* what) {
    return std::string(what) + " (Windows error " + std::to_string(GetLastError()) + ").";
}

// Registers the window's class, once; a class of that name with another procedure is a
// failure, not the window's.
void registerWindowClass(WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), Principal::kWindowClass, &existing)) {
        if (existing.lpfnWndProc == procedure) return;
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        throw StartupError(failure("Sorvane could not register its window class"));
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = Principal::kWindowClass;
    wc.hIcon = programIcon(GetSystemMetrics(SM_CXICON));
    wc.hIconSm = programIcon(GetSystemMetrics(SM_CXSMICON));
    if (RegisterClassExW(&wc) == 0) {
        throw StartupError(failure("Sorvane could not register its window class"));
    }
}

}  // namespace

Principal::Principal(core::Clipboard* clipboard, Messages* messages)
    : ownClipboard_(clipboard ? nullptr : std::make_unique<Win32Clipboard>()),
      ownMessages_(messages ? nullptr : std::make_unique<MessageBoxes>()),
      messages_(messages ? messages : ownMessages_.get()),
      // An empty collation locale is the user's own on Windows, as every other program sorts.
      workspace_(grouping(), ""),
      commands_(workspace_, clipboard ? *clipboard : *ownClipboard_, *this) {
    registerWindowClass(&windowProcedure);
    const std::wstring caption = wide(form::kWindowCaption);
    if (CreateWindowExW(0, kWindowClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                        GetModuleHandleW(nullptr), this) == nullptr) {
        throw StartupError(failure("Sorvane could not make its window"));
    }
    const UINT dpi = dpiOf(hwnd_);
    // The client area of the design at this DPI. The window takes its size before it has
    // controls, which are then made where the layout for that size puts them: each move of a
    // control after it is made costs Wine as much again.
    RECT outer{0, 0, pixelsAt(form::kClientWidth, dpi), pixelsAt(form::kClientHeight, dpi)};
    adjustWindowRect(outer, kWindowStyle, 0, dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!controls_.create(hwnd_, dpi, views_)) {
        const std::string why = failure("Sorvane could not make the controls of its window");
        DestroyWindow(hwnd_);
        throw StartupError(why);
    }
}

Principal::~Principal() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        controls_.names().clear();
        DestroyWindow(hwnd_);
    }
}

void Principal::show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    focus_ = control(form::tabOrder().front());
    SetFocus(focus_);
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
            controls_.layOut();
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
            onActivate(LOWORD(w) == WA_INACTIVE);
            break;
        case WM_SETFOCUS:
            if (focus_ != nullptr && IsWindow(focus_)) SetFocus(focus_);
            return 0;
        case WM_DESTROY:
            controls_.names().clear();
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

void Principal::onDpiChanged(UINT dpi, const RECT& suggested) {
    views_.scaleColumns(controls_.dpi(), dpi);
    controls_.changeDpi(dpi);
    // A new size lays the controls out, by the WM_SIZE it brings; a size that stays the same,
    // asked for or kept by the system (no larger than the screen allows), does not.
    RECT before{};
    RECT after{};
    GetWindowRect(hwnd_, &before);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(hwnd_, &after);
    if (after.right - after.left == before.right - before.left &&
        after.bottom - after.top == before.bottom - before.top) {
        controls_.layOut();
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Principal::onCommand(int number) {
    if (const auto id = WindowControls::controlOfNumber(number)) form::press(*id, commands_);
}

LRESULT Principal::onNotify(NMHDR& header) {
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
    const auto id = WindowControls::controlOfNumber(static_cast<int>(header.idFrom));
    if (!id || form::control(*id).kind != Kind::ListView) return 0;
    const ListId list = *form::listOf(*id);
    switch (header.code) {
        case LVN_GETDISPINFOW:
            views_.cellText(list, reinterpret_cast<NMLVDISPINFOW&>(header).item);
            return 0;
        case LVN_ODFINDITEMW:
            return views_.find(list, reinterpret_cast<const NMLVFINDITEMW&>(header));
        case LVN_COLUMNCLICK: {
            const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
            if (click.iSubItem >= 0) {
                commands_.headerClicked(list, static_cast<std::size_t>(click.iSubItem));
            }
            return 0;
        }
        default:
            return 0;
    }
}

void Principal::onTooltip(int number, wchar_t* text, int room) {
    const auto id = WindowControls::controlOfNumber(number);
    if (text == nullptr || room <= 0 || !id) return;
    const std::wstring tip = wide(form::control(*id).tooltip);
    const std::size_t length = std::min(tip.size(), static_cast<std::size_t>(room) - 1);
    tip.copy(text, length);
    text[length] = L'\0';
}

LRESULT Principal::onTextColour(HDC dc, HWND part) {
    // A combo box asks for the colours of its edit field and list; Text1 and Text2 for their own.
    const auto id = controls_.ownerOf(part);
    if (!id || form::control(*id).colour == form::TextColour::Default) return 0;
    constexpr form::Rgb navy = form::kNavyRgb;
    SetTextColor(dc, form::control(*id).colour == form::TextColour::Navy
                         ? RGB(navy.red, navy.green, navy.blue)
                         : GetSysColor(COLOR_HIGHLIGHT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

bool Principal::onSetCursor() {
    if (!busy_) return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

void Principal::onActivate(bool leaving) {
    // As a dialog does: the focus goes back where it was when the window is active again.
    if (!leaving) return;
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
}

// ---- What the commands show ----

void Principal::setPointer(core::Pointer pointer) {
    busy_ = pointer == core::Pointer::Busy;
    SetCursor(LoadCursorW(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
}

core::Answer Principal::askRetry(const std::string& report) {
    return messages_->show(hwnd_, core::Message::ErrorReport, report);
}

void Principal::showMessage(core::Message kind, const std::string& text) {
    messages_->show(hwnd_, kind, text);
}

core::ChooserTexts Principal::chooserTexts() const {
    core::ChooserTexts texts;
    for (int r = 0; r < form::kComparisonRows; ++r) {
        texts.list1[r] = utf8(windowText(control(form::chooser(Side::List1, r))));
        texts.list2[r] = utf8(windowText(control(form::chooser(Side::List2, r))));
    }
    return texts;
}

void Principal::showChanges(const core::Changes& changes) {
    // What waits to be painted is painted first. Then the window draws nothing until every
    // control that changed has changed, and each of those is drawn once, scroll bars included:
    // a list view would otherwise draw its scroll bars again at each change, which under Wine's
    // visual style cost more than the rest of a paste or a comparison.
    UpdateWindow(hwnd_);
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    std::vector<HWND> changed;
    for (const ListId id : core::kLists) {
        if (changes.list(id)) {
            views_.show(id, workspace_.list(id), controls_.pixels(form::kColumnWidth));
            changed.push_back(control(form::listView(id)));
        }
        if (changes.count(id)) {
            showCount(id);
            changed.push_back(control(form::countLabel(id)));
        }
    }
    for (const Side side : {Side::List1, Side::List2}) {
        if (!changes.chooser(side)) continue;
        refillChoosers(side);
        // Of a chooser, only the text in its field shows what changed.
        for (int r = 0; r < form::kComparisonRows; ++r) {
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

void Principal::showCount(ListId id) {
    const std::string& count = workspace_.countLabel(id);
    const HWND label = control(form::countLabel(id));
    SetWindowTextW(label, wide(count).c_str());
    controls_.names().name(label, form::countName(id, count));
}

void Principal::refillChoosers(Side side) {
    std::vector<std::wstring> entries;
    for (const std::string& entry : workspace_.chooserEntries(side)) entries.push_back(wide(entry));
    for (int r = 0; r < form::kComparisonRows; ++r) {
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
