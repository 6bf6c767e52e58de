#include "system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringEncoder>

#include <algorithm>

#include "line_ends.h"
#include "memory_advice.h"
#include "step_runner.h"
#include "x_selection.h"

namespace sorvane::ui {
namespace {

// Where the program that owns the clipboard offers its text as UTF-8 bytes, they are taken as
// they come, as Qt's own text() takes them first too. Text through a QString would be held as
// UTF-16 besides: 2 bytes a character for text that is mostly 1 byte a character.
const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");

// A buffer for `bytes` UTF-8 bytes of clipboard text, which at a million records is tens of
// megabytes.
std::string textBuffer(std::size_t bytes) {
    std::string out;
    out.reserve(bytes);
    core::preferHugePages(out.data(), out.capacity());
    return out;
}

// A copy of bytes of clipboard text.
std::string copyOf(QByteArrayView bytes) {
    std::string out = textBuffer(static_cast<std::size_t>(bytes.size()));
    out.append(bytes.data(), static_cast<std::size_t>(bytes.size()));
    return out;
}

// Qt's own connection to the X server, or null off X.
xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// UTF-8 of `text`, encoded a slice at a time straight into the result, so a large clipboard
// text is not held a third time on its way in. `text` is given back on return.
std::string utf8Of(QString text) {
    constexpr qsizetype kSlice = 1 << 16;
    QStringEncoder encoder(QStringConverter::Utf8);
    std::string out = textBuffer(static_cast<std::size_t>(text.size()) + text.size() / 8);
    std::string slice;
    for (qsizetype start = 0; start < text.size(); start += kSlice) {
        const QStringView view = QStringView(text).mid(start, kSlice);
        slice.resize(static_cast<std::size_t>(encoder.requiredSpace(view.size())));
        char* end = encoder.appendToBuffer(slice.data(), view);
        out.append(slice.data(), static_cast<std::size_t>(end - slice.data()));
    }
    return out;
}

// The text of UTF-8 bytes as they came, read exactly as QString::fromUtf8 reads them: without a
// leading byte order mark, and with each invalid sequence replaced by U+FFFD. Valid bytes, which
// is nearly always, stay where they are.
std::string utf8Of(std::string bytes) {
    if (!QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8()) {
        QString decoded = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        std::string().swap(bytes);
        return utf8Of(std::move(decoded));
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    return bytes;
}

bool offersText(const QClipboard* clipboard) {
    const QMimeData* mime = clipboard->mimeData();
    return mime != nullptr && mime->hasText();
}

}  // namespace

SystemClipboard::Delivery SystemClipboard::platformText() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard->mimeData();
    const bool utf8Offered = mime != nullptr && mime->formats().contains(kUtf8Text);
    xcb_connection_t* x11 = x11Connection();
    // Our own X reader, under the name Qt asks for first. Where Qt itself owns the clipboard,
    // Qt hands the text over without a transfer.
    if (x11 != nullptr && !clipboard->ownsClipboard() && (utf8Offered || offersText(clipboard))) {
        SelectionText read = readClipboardSelection(
            x11, utf8Offered ? "text/plain;charset=utf-8" : "UTF8_STRING");
        switch (read.outcome) {
            case SelectionRead::kDelivered:
                // As Qt reads a UTF8_STRING: without the NUL that some owners end it with.
                if (!utf8Offered && read.bytes.ends_with('\0')) read.bytes.pop_back();
                return {std::move(read.bytes), QString()};
            case SelectionRead::kFailed:
                return {};
            case SelectionRead::kRefused:  // text under an older name, which Qt decodes
            case SelectionRead::kUnavailable:
                break;
        }
    }
    if (utf8Offered) {
        const QByteArray bytes = mime->data(kUtf8Text);
        if (!bytes.isEmpty()) return {copyOf(bytes), QString()};
    }
    return {std::nullopt, clipboard->text()};
}

std::string SystemClipboard::text() {
    // Text this program copied itself is at hand. Asked of the X server, it would have to be
    // sent by this very thread, which would be waiting for it.
    if (const QByteArray* own = owner_ != nullptr ? owner_->text() : nullptr) {
        return core::normalizeLineEnds(utf8Of(copyOf(*own)));
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    const bool offered = offersText(clipboard);
    Delivery delivery = platformText();
    const bool none = (!delivery.utf8 || delivery.utf8->empty()) && delivery.decoded.isEmpty();
    if (offered && none && !offersText(clipboard)) {
        throw core::StepError(kTransferFailed,
                              "The program that copied the text stopped before sending it");
    }
    // Text from every platform comes with LF line ends; the reader needs CR-ended rows.
    return core::normalizeLineEnds(delivery.utf8 ? utf8Of(std::move(*delivery.utf8))
                                                 : utf8Of(std::move(delivery.decoded)));
}

void SystemClipboard::clear() {
    if (owner_ != nullptr) owner_->release();
    QGuiApplication::clipboard()->clear();
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
    // as they stand: a QString would hold the text a second and a third time, as UTF-16 and as
    // the UTF-8 made from it for each program that asks. Room past the text was never touched
    // and costs no memory, so it is not given back by copying the text into a tighter array.
    room_.truncate(static_cast<qsizetype>(length));
    if (xcb_connection_t* x11 = x11Connection()) {
        if (owner_ == nullptr) owner_ = XClipboardOwner::open(x11);
        if (owner_ != nullptr && owner_->own(room_)) {
            room_ = QByteArray();
            return;
        }
    }
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("text/plain"), room_);
    QGuiApplication::clipboard()->setMimeData(mime);
    room_ = QByteArray();
}

}  // namespace sorvane::ui
