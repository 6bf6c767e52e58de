#include "system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringEncoder>

#include "line_ends.h"
#include "step_runner.h"
#include "memory_advice.h"

namespace sorvane::ui {
namespace {

// UTF-8 of `text`, encoded a slice at a time straight into the result, so a large clipboard
// text is not held a third time on its way in.
std::string utf8Of(const QString& text) {
    constexpr qsizetype kSlice = 1 << 16;
    QStringEncoder encoder(QStringConverter::Utf8);
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()) + text.size() / 8);
    core::preferHugePages(out.data(), out.capacity());
    std::string slice;
    for (qsizetype start = 0; start < text.size(); start += kSlice) {
        const QStringView view = QStringView(text).mid(start, kSlice);
        slice.resize(static_cast<std::size_t>(encoder.requiredSpace(view.size())));
        char* end = encoder.appendToBuffer(slice.data(), view);
        out.append(slice.data(), static_cast<std::size_t>(end - slice.data()));
    }
    return out;
}

bool offersText(const QClipboard* clipboard) {
    const QMimeData* mime = clipboard->mimeData();
    return mime != nullptr && mime->hasText();
}

}  // namespace

QString SystemClipboard::platformText() { return QGuiApplication::clipboard()->text(); }

std::string SystemClipboard::text() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const bool offered = offersText(clipboard);
    const QString text = platformText();
    if (offered && text.isEmpty() && !offersText(clipboard)) {
        throw core::StepError(kTransferFailed,
                              "The program that copied the text stopped before sending it");
    }
    // Qt hands over text from every platform with LF line ends; the reader needs CR-ended rows.
    return core::normalizeLineEnds(utf8Of(text));
}

void SystemClipboard::clear() { QGuiApplication::clipboard()->clear(); }

void SystemClipboard::setText(const std::string& text) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace sorvane::ui
