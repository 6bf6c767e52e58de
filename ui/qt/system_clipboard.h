#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

#include "clipboard.h"

class QClipboard;

namespace sorvane::ui {

/// The system clipboard's plain text through Qt, which answers every program that asks for
/// what this one copied, this program's own widgets included; on X, text is read over a
/// connection of its own, where Qt would hold a large text several times and could not tell a
/// failed transfer from an empty text.
///
/// A read that does not complete fails (core::textNotSent), with a description
/// that says whether the program that copied the text fell silent or went away: an empty list
/// must not pass for its records. Only a clipboard that holds no text pastes as empty.
class SystemClipboard : public core::Clipboard {
public:
    /// How a read of the platform's text ended short of the text.
    enum class Failure { kTimedOut, kVanished };

    core::TextBuffer text() override;
    void clear() override;
    void setText(const std::string& text) override;
    /// The room is the byte array that the clipboard then serves as it stands.
    char* textRoom(std::size_t bytes) override;
    void putText(std::size_t length) override;

protected:
    /// What the platform hands over, after waiting for the program that owns the clipboard:
    /// the text's bytes as they came where that program offers them as UTF-8 (`utf8`), else the
    /// text as Qt decoded it (`decoded`), or why nothing came.
    struct Delivery {
        std::optional<core::TextBuffer> utf8;
        QString decoded;
        std::optional<Failure> failure;
    };
    virtual Delivery platformText();

private:
    // Empties what this program last copied once the clipboard no longer holds it.
    void forgetCopy(const QClipboard* clipboard);

    QByteArray room_;
    QPointer<QMimeData> copied_;  // what this program last put on the clipboard
    const QMimeData* failedOffer_ = nullptr;  // an offer whose read the platform gave up on
    Failure failedWhy_ = Failure::kTimedOut;
};

}  // namespace sorvane::ui
