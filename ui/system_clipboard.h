#pragma once

#include "clipboard.h"

namespace sorvane::ui {

/// The system clipboard's plain text, through Qt.
class SystemClipboard : public core::Clipboard {
public:
    std::string text() override;
    void clear() override;
    void setText(const std::string& text) override;
};

}  // namespace sorvane::ui
