#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

#include "clipboard.h"
#include "x_selection.h"

namespace sorvane::ui {

/// The system clipboard's plain text: through Qt, and on X over connections of its own where
/// Qt would hold a large text several times or send it slowly.
///
/// A read fails (StepError number kTransferFailed) when the clipboard offered text, delivered
/// none, and no longer offers any: the program that copied it went away in the middle of the
/// transfer, and an empty list must not pass for its records.
class SystemClipboard : public core::Clipboard {
public:
    static constexpr std::int32_t kTransferFailed = 5;

    std::string text() override;
    void clear() override;
    void setText(const std::string& text) override;
    /// The room is the byte array that the clipboard then serves as it stands.
    char* textRoom(std::size_t bytes) override;
    void putText(std::size_t length) override;

protected:
    /// What the platform hands over, after waiting for the program that owns the clipboard:
    /// the text's bytes as they came where that program offers them as UTF-8 (`utf8`), else the
    /// text as Qt decoded it (`decoded`).
    struct Delivery {
        std::optional<std::string> utf8;
        QString decoded;
    };
    virtual Delivery platformText();

private:
    QByteArray room_;
    std::unique_ptr<XClipboardOwner> owner_;  // on X, once something was copied
};

}  // namespace sorvane::ui
