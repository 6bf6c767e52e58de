#include "message_boxes.h"

#include "controls.h"
#include "wide_text.h"

namespace sorvane::win32 {

core::Answer MessageBoxes::show(HWND owner, core::Message kind, const std::string& text) {
    const form::MessageDesign design = form::messageDesign(kind);
    UINT style = design.buttons == form::MessageButtons::RetryCancel
                     ? MB_RETRYCANCEL | MB_DEFBUTTON1
                     : MB_OK;
    if (design.icon == form::MessageIcon::Exclamation) style |= MB_ICONEXCLAMATION;
    if (design.icon == form::MessageIcon::Information) style |= MB_ICONINFORMATION;
    // Message boxes break lines at a line feed alone, as the texts have them.
    const std::wstring message = wide(text);
    const std::wstring title = wide(design.title);
    return MessageBoxW(owner, message.c_str(), title.c_str(), style) == IDRETRY
               ? core::Answer::Retry
               : core::Answer::Cancel;
}

}  // namespace sorvane::win32
