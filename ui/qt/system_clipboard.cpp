#include "system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <memory>

#include "clipboard_text.h"
#include "memory_advice.h"
#include "step_runner.h"
#if SORVANE_X11
#include "x_selection.h"
#endif

namespace sorvane::ui {
namespace {

// Where the program that owns the clipboard offers its text as UTF-8 bytes, they are taken as
// they come, as Qt's own text() takes them first too. Text through a QString would be held as
// UTF-16 besides: 2 bytes a character for text that is mostly 1 byte a character.
const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");
const QString kPlainText = QStringLiteral("text/plain");

// The bytes of a byte array as the text of the records, where they stand. Qt may keep a
// reference of its own (on Wayland it keeps what it read of an offer; this program's own copy
// stays on the clipboard), so they are read, and copied only if the core must change them.
core::TextBuffer adopt(QByteArray bytes) {
    auto owner = std::make_shared<const QByteArray>(std::move(bytes));
    const char* data = owner->constData();
    const auto size = static_cast<std::size_t>(owner->size());
    const auto held = static_cast<std::size_t>(owner->capacity());
    return core::TextBuffer::shared(data, size, std::move(owner), held);
}

bool offersText(const QClipboard* clipboard) {
    const QMimeData* mime = clipboard->mimeData();
    return mime != nullptr && mime->hasText();
}

// Warnings the platform's clipboard gives while it reads, where it has no other way to say that
// a read came to nothing: Qt on Wayland gives an empty text for a transfer that timed out.
class ReadWarnings {
public:
    ReadWarnings() {
        heard_ = std::nullopt;
        previous_ = qInstallMessageHandler(&ReadWarnings::note);
    }
    ~ReadWarnings() { qInstallMessageHandler(previous_); }
    ReadWarnings(const ReadWarnings&) = delete;
    ReadWarnings& operator=(const ReadWarnings&) = delete;

    /// Why the read came to nothing, if a warning said so.
    static std::optional<SystemClipboard::Failure> heard() { return heard_; }

private:
    static void note(QtMsgType type, const QMessageLogContext& context, const QString& message);

    static inline QtMessageHandler previous_ = nullptr;
    static inline std::optional<SystemClipboard::Failure> heard_;
};

}  // namespace

SystemClipboard::Delivery SystemClipboard::platformText() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard->mimeData();
    if (mime == nullptr) return {};
    const bool utf8Offered = mime->formats().contains(kUtf8Text);
#if SORVANE_X11
    // Our own X reader, under the name Qt asks for first. Where Qt itself owns the clipboard,
    // it hands the text over without a transfer, and no transfer could be answered anyway.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 != nullptr && !clipboard->ownsClipboard() && (utf8Offered || mime->hasText())) {
        SelectionText read = readClipboardSelection(
            x11->connection(), utf8Offered ? "text/plain;charset=utf-8" : "UTF8_STRING");
        switch (read.outcome) {
            case SelectionRead::kDelivered:
                // As Qt reads a UTF8_STRING: without the NUL that some owners end it with.
                if (!utf8Offered && read.bytes.ends_with('\0')) read.bytes.pop_back();
                return {core::TextBuffer(std::move(read.bytes)), QString(), std::nullopt};
            case SelectionRead::kTimedOut:
                return {std::nullopt, QString(), Failure::kTimedOut};
            case SelectionRead::kVanished:
                return {std::nullopt, QString(), Failure::kVanished};
            case SelectionRead::kRefused:  // text under an older name, which Qt decodes
            case SelectionRead::kUnavailable:
                break;
        }
    }
#endif
    // Qt on Wayland keeps what a read of an offer gave, failure included, until the clipboard
    // changes: asked again, it would hand over its empty text as the clipboard's.
    if (mime == failedOffer_) return {std::nullopt, QString(), failedWhy_};
    const ReadWarnings warnings;
    Delivery delivery;
    if (utf8Offered) {
        QByteArray bytes = mime->data(kUtf8Text);
        if (!bytes.isEmpty()) delivery.utf8 = adopt(std::move(bytes));
    }
    if (!delivery.utf8) delivery.decoded = clipboard->text();
    if (delivery.decoded.isEmpty() && ReadWarnings::heard()) {
        delivery.failure = failedWhy_ = *ReadWarnings::heard();
        failedOffer_ = mime;
    }
    return delivery;
}

core::TextBuffer SystemClipboard::text() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const bool offered = offersText(clipboard);
    Delivery delivery = platformText();
    const bool none = (!delivery.utf8 || delivery.utf8->empty()) && delivery.decoded.isEmpty();
    // A text that was offered, came to nothing and is no longer offered went with its owner.
    if (!delivery.failure && offered && none && !offersText(clipboard)) {
        delivery.failure = Failure::kVanished;
    }
    if (delivery.failure == Failure::kTimedOut) throw core::textNotSent(core::NotSent::kSilent);
    if (delivery.failure == Failure::kVanished) throw core::textNotSent(core::NotSent::kGone);
    if (delivery.utf8) return core::recordsTextOfUtf8(std::move(*delivery.utf8));
    return core::recordsTextOfUtf16(std::u16string_view(
        reinterpret_cast<const char16_t*>(delivery.decoded.constData()),
        static_cast<std::size_t>(delivery.decoded.size())));
}

void SystemClipboard::clear() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    forgetCopy(clipboard);
}

void SystemClipboard::forgetCopy(const QClipboard* clipboard) {
    // Qt 6.4 on Wayland never deletes what it was given once the clipboard has dropped it; the
    // copied text, tens of megabytes, goes at least. Where Qt deleted it, nothing is left to do.
    if (copied_ != nullptr && clipboard->mimeData() != copied_) copied_->clear();
    copied_ = nullptr;
}

void SystemClipboard::setText(const std::string& text) {
    const std::size_t length = text.size();
    std::copy(text.begin(), text.end(), textRoom(length));
    putText(length);
}

char* SystemClipboard::textRoom(std::size_t bytes) {
    room_ = QByteArray(static_cast<qsizetype>(bytes), Qt::Uninitialized);
    core::preferHugePages(room_.constData(), bytes);
    return room_.data();
}

void SystemClipboard::putText(std::size_t length) {
    // Handed over as the UTF-8 bytes that every platform sends on, which the clipboard serves
    // as they stand, under both names: as text/plain Qt serves them on X as UTF8_STRING. A
    // QString would hold the text a second and a third time, as UTF-16 and as the UTF-8 made
    // from it for each program that asks. Room past the text was never touched and costs no
    // memory, so it is not given back by copying the text into a tighter array.
    room_.truncate(static_cast<qsizetype>(length));
    auto* mime = new QMimeData;
    mime->setData(kUtf8Text, room_);
    mime->setData(kPlainText, room_);
    room_ = QByteArray();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(mime);
    forgetCopy(clipboard);
    copied_ = mime;
}

namespace {

void ReadWarnings::note(QtMsgType type, const QMessageLogContext& context,
                        const QString& message) {
    // Qt's Wayland clipboard says so when the owner's pipe fell silent or broke.
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QWayland"))) {
        if (message.contains(QLatin1String("timeout"))) {
            heard_ = SystemClipboard::Failure::kTimedOut;
        } else if (!heard_) {
            heard_ = SystemClipboard::Failure::kVanished;
        }
    }
    if (previous_ != nullptr) previous_(type, context, message);  // still said, as before
}

}  // namespace

}  // namespace sorvane::ui
