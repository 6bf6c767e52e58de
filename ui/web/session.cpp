// The page's way into the core: one workspace and its commands, with the page as the window.
//
// The browser's clipboard answers later (a promise) while a command runs to its end at once, so
// the page reads the clipboard first and hands the text, or the browser's error, to the command
// here; a copy hands out its text, which the page then writes. The error report cannot wait for
// the user either: it is kept, answered Cancel, which loses nothing, and the page shows it; the
// page's Retry runs the command again from the clipboard on.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "clipboard.h"
#include "clipboard_text.h"
#include "command_table.h"
#include "comparison.h"
#include "commands.h"
#include "controls.h"
#include "layout.h"
#include "record_find.h"
#include "workspace.h"

namespace sorvane::web {
namespace {

using core::ListId;
using emscripten::val;

// The number of an error that the browser reports; its own words describe it.
constexpr std::int32_t kBrowserError = 1;

// The clipboard as one command sees it: the text that the page read, or the browser's error,
// and the text that a copy puts there.
class PageClipboard : public core::Clipboard {
public:
    /// The text read, as UTF-8; none where there was no room for it, which is running out of
    /// memory.
    void offerText(std::optional<core::TextBuffer> text) { text_ = std::move(text); }
    /// The browser's error for whichever clipboard operation comes next.
    void failWith(std::string description) { error_ = std::move(description); }

    core::TextBuffer text() override {
        throwIfFailed();
        if (!text_) throw std::bad_alloc();
        return core::recordsTextOfUtf8(std::move(*text_));
    }
    void clear() override { throwIfFailed(); }
    void setText(const std::string& text) override { write(text.data(), text.size()); }
    // A copy's text is decoded from the room the core wrote it in: tens of megabytes are not
    // copied again inside the core's memory on their way out.
    void putText(std::size_t length) override { write(room(), length); }

    /// What the last copy put on the clipboard, as a JavaScript string.
    const std::optional<val>& written() const { return written_; }

private:
    void write(const char* text, std::size_t length) {
        throwIfFailed();
        static const val decoder = val::global("TextDecoder").new_();
        written_ = decoder.call<val>("decode", val(emscripten::typed_memory_view(length, text)));
    }
    void throwIfFailed() const {
        if (error_) throw core::StepError(kBrowserError, *error_);
    }

    std::optional<core::TextBuffer> text_;
    std::optional<std::string> error_;
    std::optional<val> written_;
};

// The page as the core's window: each call goes to the function of the same name on the object
// the page gave.
class PagePort : public core::WindowPort {
public:
    explicit PagePort(val page) : page_(std::move(page)) {}

    void setPointer(core::Pointer pointer) override {
        page_.call<void>("setPointer", pointer == core::Pointer::Busy);
    }
    core::Answer askRetry(const std::string& report) override {
        report_ = report;
        return core::Answer::Cancel;
    }
    void showChanges(const core::Changes& changes) override {
        val lists = val::array(), counts = val::array(), choosers = val::array();
        for (std::size_t i = 0; i < core::kListCount; ++i) {
            if (changes.lists[i]) lists.call<void>("push", i);
            if (changes.counts[i]) counts.call<void>("push", i);
        }
        for (std::size_t s = 0; s < core::kSideCount; ++s) {
            if (changes.choosers[s]) choosers.call<void>("push", s);
        }
        page_.call<void>("showChanges", lists, counts, choosers);
    }
    void showMessage(core::Message kind, const std::string& text) override {
        page_.call<void>("showMessage", static_cast<int>(kind), text);
    }
    core::ChooserTexts chooserTexts() const override {
        const val texts = page_.call<val>("chooserTexts");
        core::ChooserTexts out;
        for (std::size_t r = 0; r < core::kComparisonRows; ++r) {
            out.list1[r] = texts[r].as<std::string>();
            out.list2[r] = texts[core::kComparisonRows + r].as<std::string>();
        }
        return out;
    }

    /// The error report that the last command kept, if any, which starts the next account.
    std::string takeReport() { return std::exchange(report_, std::string()); }

private:
    val page_;
    std::string report_;
};

// A grid shows this much of a cell at most, as a list view does: a cell of a hundred megabytes
// would otherwise be put in the page whole.
constexpr std::size_t kShownBytes = 1024;

// The commands of one page.
class Session {
public:
    Session(val page, const std::string& grouping, const std::string& locale)
        : workspace_(grouping, locale), port_(std::move(page)) {}

    /// Room for `bytes` bytes of the next paste's text, which the page writes there as UTF-8,
    /// keeping the first `kept` bytes of the room it had; 0 where there is no room, which the
    /// paste then reports as running out of memory.
    std::uintptr_t makeRoom(std::size_t bytes, std::size_t kept) {
        std::unique_ptr<char[]> room(new (std::nothrow) char[std::max<std::size_t>(bytes, 1)]);
        if (room && kept > 0) std::memcpy(room.get(), pending_.get(), std::min(kept, bytes));
        pending_ = std::move(room);
        return reinterpret_cast<std::uintptr_t>(pending_.get());
    }
    /// Paste records into side `side` from the `length` bytes that the page wrote in the room
    /// it made (none: it had no room). Returns the error report that a failed step raised, or "".
    std::string paste(int side, std::size_t length) {
        PageClipboard clipboard;
        if (pending_) clipboard.offerText(core::TextBuffer::owned(std::move(pending_), length));
        run(clipboard, [&](core::Commands& c) { c.paste(static_cast<core::Side>(side)); });
        prepared_ = 0;
        return port_.takeReport();
    }
    /// Brings `step` more bytes of the memory that comparing the two lists takes into use,
    /// ahead of Compare: the first touch of each page of memory costs the system a fault, and
    /// paid while the user picks the columns, Compare does not wait on them. The memory only
    /// grows to what Compare takes anyway, and a page's memory is never given back. False once
    /// there is nothing more to do, which is from any command on until the next paste.
    bool prepareCompare(std::size_t step) {
        // In 32-bit WebAssembly it may be more than memory holds: then the step that finds no
        // room ends it.
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(
            core::pairingScratchBytes(recordCount(0), recordCount(1)), SIZE_MAX / 2));
        if (recordCount(0) == 0 || recordCount(1) == 0 || prepared_ >= wanted) return false;
        prepared_ = std::min(wanted, prepared_ + step);
        const std::unique_ptr<char[]> room(new (std::nothrow) char[prepared_]);
        if (!room) {
            prepared_ = kPrepared;
            return false;
        }
        // Pages touched before cost nothing again: only the new step's faults are paid.
        volatile char* bytes = room.get();
        for (std::size_t at = 0; at < prepared_; at += kPageBytes) bytes[at] = 0;
        return true;
    }
    /// The same where the browser did not give the text: the error report with its words.
    std::string pasteFailed(int side, const std::string& error) {
        PageClipboard clipboard;
        clipboard.failWith(error);
        run(clipboard, [&](core::Commands& c) { c.paste(static_cast<core::Side>(side)); });
        return port_.takeReport();
    }
    /// Copy records of list `id`: {text, report}, text null where nothing is to be copied.
    val copy(int id) {
        PageClipboard clipboard;
        run(clipboard, [&](core::Commands& c) { c.copy(static_cast<ListId>(id)); });
        val out = val::object();
        out.set("report", port_.takeReport());
        out.set("text", clipboard.written() ? *clipboard.written() : val::null());
        return out;
    }
    /// The error report of a copy whose text the browser would not write.
    std::string copyFailed(int id, const std::string& error) {
        PageClipboard clipboard;
        clipboard.failWith(error);
        run(clipboard, [&](core::Commands& c) { c.copy(static_cast<ListId>(id)); });
        return port_.takeReport();
    }
    /// Presses control `control` (its index in the controls): Compare or "?".
    void press(int control) {
        PageClipboard clipboard;
        run(clipboard, [&](core::Commands& c) {
            form::press(static_cast<form::ControlId>(control), c);
        });
    }
    void headerClicked(int id, std::size_t column) {
        PageClipboard clipboard;
        run(clipboard,
            [&](core::Commands& c) { c.headerClicked(static_cast<ListId>(id), column); });
    }

    std::size_t recordCount(int id) const { return list(id).recordCount(); }
    std::size_t columnCount(int id) const { return list(id).columnCount(); }
    /// The cells of records [from, to) and columns [first, last) of a list, row after row, as
    /// one array of strings: only what a grid shows.
    val cells(int id, std::size_t from, std::size_t to, std::size_t first, std::size_t last) const {
        const core::RecordList& l = list(id);
        val out = val::array();
        to = std::min(to, l.recordCount());
        last = std::min(last, l.columnCount());
        for (std::size_t r = from; r < to; ++r) {
            for (std::size_t c = first; c < last; ++c) {
                const core::ShownCell shown = core::shownCell(l.cell(r, c), kShownBytes);
                out.call<void>("push", std::string(shown.text));
            }
        }
        return out;
    }
    std::string countLabel(int id) const { return workspace_.countLabel(static_cast<ListId>(id)); }
    val chooserEntries(int side) const {
        val out = val::array();
        for (const std::string& e : workspace_.chooserEntries(static_cast<core::Side>(side))) {
            out.call<void>("push", e);
        }
        return out;
    }
    /// The record that typing `typed` in list `id` moves to from the focused record (-1: none
    /// has the focus); -1 for none.
    int findTyped(int id, const std::string& typed, int focused) const {
        const auto found = core::findTyped(
            list(id), focused < 0 ? std::nullopt : std::optional<std::size_t>(focused), typed);
        return found ? static_cast<int>(*found) : -1;
    }

private:
    const core::RecordList& list(int id) const {
        return workspace_.list(static_cast<ListId>(id));
    }
    template <typename Command>
    void run(PageClipboard& clipboard, Command&& command) {
        prepared_ = kPrepared;
        core::Commands commands(workspace_, clipboard, port_);
        command(commands);
    }

    core::Workspace workspace_;
    PagePort port_;
    std::unique_ptr<char[]> pending_;  // the next paste's text, as the page writes it
    static constexpr std::size_t kPrepared = SIZE_MAX;  // nothing more to prepare
    static constexpr std::size_t kPageBytes = 4096;     // the system's, under WebAssembly's
    std::size_t prepared_ = kPrepared;                  // bytes prepareCompare() has touched
};

// The window's description, as plain objects.
val fontObject(form::FontId id) {
    const form::Font f = form::fontOf(id);
    val out = val::object();
    out.set("family", std::string(f.family));
    out.set("points", f.points);
    out.set("bold", f.bold);
    out.set("underline", f.underline);
    return out;
}

val rectObject(const form::TwipRect& r) {
    val out = val::object();
    out.set("left", r.left);
    out.set("top", r.top);
    out.set("width", r.width);
    out.set("height", r.height);
    return out;
}

val controlsObject() {
    val out = val::array();
    for (const form::Control& c : form::controls()) {
        val o = val::object();
        o.set("index", static_cast<int>(c.id));
        o.set("name", std::string(c.name));
        o.set("kind", static_cast<int>(c.kind));
        o.set("container", c.container ? val(static_cast<int>(*c.container)) : val::null());
        o.set("caption", std::string(c.caption));
        o.set("font", fontObject(c.font));
        o.set("rect", rectObject(c.rect));
        o.set("tab", c.tab);
        o.set("accessibleName", std::string(c.accessibleName));
        o.set("colour", static_cast<int>(c.colour));
        o.set("centred", c.centred);
        o.set("picture", static_cast<int>(c.picture));
        o.set("tooltip", std::string(c.tooltip));
        o.set("buttonName", std::string(c.buttonName));
        const std::optional<ListId> list = form::listOf(c.id);
        o.set("list", list ? val(static_cast<int>(*list)) : val::null());
        const form::Command command = form::commandOf(c.id);
        o.set("command", static_cast<int>(command.kind));
        out.call<void>("push", o);
    }
    return out;
}

val tabOrderObject() {
    val out = val::array();
    for (const form::ControlId id : form::tabOrder()) out.call<void>("push", static_cast<int>(id));
    return out;
}

val messageDesignObject(int kind) {
    const form::MessageDesign d = form::messageDesign(static_cast<core::Message>(kind));
    val out = val::object();
    out.set("title", std::string(d.title));
    out.set("icon", static_cast<int>(d.icon));
    out.set("retryCancel", d.buttons == form::MessageButtons::RetryCancel);
    return out;
}

/// Every control's rectangle in twips for a window of outer size W x H twips.
val layOutObject(double outerWidth, double outerHeight) {
    form::Geometry geometry;
    form::layOut(geometry, outerWidth, outerHeight);
    val out = val::array();
    for (const form::Control& c : form::controls()) out.call<void>("push", rectObject(geometry[c.id]));
    return out;
}

val formObject() {
    val out = val::object();
    out.set("windowCaption", std::string(form::kWindowCaption));
    out.set("clientWidth", form::kClientWidth);
    out.set("clientHeight", form::kClientHeight);
    out.set("borderWidth", form::kBorderWidth);
    out.set("borderHeight", form::kBorderHeight);
    out.set("columnWidth", form::kColumnWidth);
    out.set("navy", val::array(std::vector<int>{form::kNavyRgb.red, form::kNavyRgb.green,
                                                form::kNavyRgb.blue}));
    out.set("instructions", std::string(form::instructionsText()));
    out.set("controls", controlsObject());
    out.set("tabOrder", tabOrderObject());
    return out;
}

std::string columnCaption(std::size_t column) { return form::columnCaption(column); }
std::string countName(int id, const std::string& count) {
    return form::countName(static_cast<ListId>(id), count);
}
bool sortsOnHeaderClick(int id) { return core::sortsOnHeaderClick(static_cast<ListId>(id)); }

}  // namespace

EMSCRIPTEN_BINDINGS(sorvane) {
    emscripten::class_<Session>("Session")
        .constructor<val, std::string, std::string>()
        .function("makeRoom", &Session::makeRoom)
        .function("paste", &Session::paste)
        .function("pasteFailed", &Session::pasteFailed)
        .function("prepareCompare", &Session::prepareCompare)
        .function("copy", &Session::copy)
        .function("copyFailed", &Session::copyFailed)
        .function("press", &Session::press)
        .function("headerClicked", &Session::headerClicked)
        .function("recordCount", &Session::recordCount)
        .function("columnCount", &Session::columnCount)
        .function("cells", &Session::cells)
        .function("countLabel", &Session::countLabel)
        .function("chooserEntries", &Session::chooserEntries)
        .function("findTyped", &Session::findTyped);
    emscripten::function("form", &formObject);
    emscripten::function("layOut", &layOutObject);
    emscripten::function("messageDesign", &messageDesignObject);
    emscripten::function("columnCaption", &columnCaption);
    emscripten::function("countName", &countName);
    emscripten::function("sortsOnHeaderClick", &sortsOnHeaderClick);
}

}  // namespace sorvane::web
