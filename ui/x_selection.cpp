#include "x_selection.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <QSocketNotifier>

#include "memory_advice.h"

namespace sorvane::ui {
namespace {

using Clock = std::chrono::steady_clock;

// How long the owner may take over each answer before the transfer counts as failed.
constexpr auto kPatience = std::chrono::seconds(5);

// The property on this program's windows that selections are converted into.
constexpr std::string_view kProperty = "SORVANE_SELECTION";

// The owner's word on how large a chunked text will be is only a lower bound and may be wrong;
// room is reserved for no more than this up front.
constexpr std::size_t kMostReservedUpFront = std::size_t{1} << 30;

// Room reserved for a chunked text whose owner gives no size: address space, which costs no
// memory until written, so that a text of up to a million records or so need not move.
constexpr std::size_t kRoomUpFront = std::size_t{128} << 20;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
// Replies and events, which xcb allocates with malloc.
template <typename T>
using XOwned = std::unique_ptr<T, FreeDeleter>;

// A connection of this program's own, closed on every way out.
class Connection {
public:
    Connection() : c_(xcb_connect(nullptr, &screen_)) {}
    ~Connection() { xcb_disconnect(c_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool usable() const { return xcb_connection_has_error(c_) == 0; }
    xcb_connection_t* get() const { return c_; }

    // A window that is never shown, to receive properties and their events.
    xcb_window_t newWindow() const {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int k = 0; k < screen_ && it.rem > 1; ++k) xcb_screen_next(&it);
        const xcb_window_t window = xcb_generate_id(c_);
        const std::uint32_t propertyEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, it.data->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &propertyEvents);
        return window;
    }

private:
    int screen_ = 0;
    xcb_connection_t* c_;
};

// The atoms of the names, asked for all at once so the server is waited on once.
template <std::size_t N>
std::array<xcb_atom_t, N> atoms(xcb_connection_t* c, const std::array<std::string_view, N>& names) {
    std::array<xcb_intern_atom_cookie_t, N> cookies;
    for (std::size_t k = 0; k < N; ++k) {
        cookies[k] =
            xcb_intern_atom(c, 0, static_cast<std::uint16_t>(names[k].size()), names[k].data());
    }
    std::array<xcb_atom_t, N> out;
    for (std::size_t k = 0; k < N; ++k) {
        const XOwned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[k], nullptr));
        out[k] = reply ? reply->atom : XCB_NONE;
    }
    return out;
}

xcb_window_t selectionOwner(xcb_connection_t* c, xcb_atom_t selection) {
    const XOwned<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return reply ? reply->owner : XCB_NONE;
}

// Whether the two connections reach one server: DISPLAY names the server of this program's own
// connections, and the program may have been pointed at another. A name made known to the
// server through one connection is known through the other only on the same server.
bool sameServer(xcb_connection_t* c, xcb_connection_t* other) {
    const std::string name = "SORVANE_PROCESS_" + std::to_string(getpid());
    atoms<1>(c, {name});
    const XOwned<xcb_intern_atom_reply_t> known(xcb_intern_atom_reply(
        other, xcb_intern_atom(other, 1, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    return known && known->atom != XCB_NONE;
}

// The next event, or null once `deadline` has passed or the connection has failed.
XOwned<xcb_generic_event_t> nextEvent(xcb_connection_t* c, Clock::time_point deadline) {
    for (;;) {
        if (xcb_generic_event_t* event = xcb_poll_for_event(c))
            return XOwned<xcb_generic_event_t>(event);
        if (xcb_connection_has_error(c)) return nullptr;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return nullptr;
        pollfd ready{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&ready, 1, static_cast<int>(left));
    }
}

// One conversion of the selection, from the request to the last chunk.
class Transfer {
public:
    Transfer(xcb_connection_t* c, xcb_window_t owner, xcb_window_t window, xcb_atom_t property)
        : c_(c), owner_(owner), window_(window), property_(property) {}

    using Wanted = bool (Transfer::*)(std::uint8_t type, const xcb_generic_event_t* event) const;

    // The first event that is `wanted`, or null when the owner went away, an X error came or
    // the owner kept silent for too long.
    XOwned<xcb_generic_event_t> await(Wanted wanted) {
        const auto deadline = Clock::now() + kPatience;
        while (XOwned<xcb_generic_event_t> event = nextEvent(c_, deadline)) {
            const std::uint8_t type = event->response_type & 0x7F;
            if (type == 0) return nullptr;  // an error: the owner's window was gone already
            if (type == XCB_DESTROY_NOTIFY &&
                reinterpret_cast<const xcb_destroy_notify_event_t*>(event.get())->window ==
                    owner_) {
                return nullptr;
            }
            if ((this->*wanted)(type, event.get())) return event;
        }
        return nullptr;
    }

    // The property's whole value, deleted from the window as it is read: for a chunked text
    // that deletion is what asks the owner for the next chunk.
    XOwned<xcb_get_property_reply_t> take() {
        return XOwned<xcb_get_property_reply_t>(
            xcb_get_property_reply(c_,
                                   xcb_get_property(c_, 1, window_, property_,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
                                   nullptr));
    }

    // The owner's answer to the request.
    bool answered(std::uint8_t type, const xcb_generic_event_t* event) const {
        return type == XCB_SELECTION_NOTIFY &&
               reinterpret_cast<const xcb_selection_notify_event_t*>(event)->requestor == window_;
    }

    // The next chunk, set by the owner.
    bool newValue(std::uint8_t type, const xcb_generic_event_t* event) const {
        if (type != XCB_PROPERTY_NOTIFY) return false;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        return notify->window == window_ && notify->atom == property_ &&
               notify->state == XCB_PROPERTY_NEW_VALUE;
    }

private:
    xcb_connection_t* c_;
    xcb_window_t owner_;
    xcb_window_t window_;
    xcb_atom_t property_;
};

std::string_view valueOf(const xcb_get_property_reply_t* reply) {
    return {static_cast<const char*>(xcb_get_property_value(reply)),
            static_cast<std::size_t>(xcb_get_property_value_length(reply))};
}

}  // namespace

SelectionText readClipboardSelection(xcb_connection_t* sameServerAs, const char* target) {
    const Connection connection;
    if (!connection.usable()) return {};
    xcb_connection_t* c = connection.get();
    const auto [clipboard, wanted, incr, property] =
        atoms<4>(c, {"CLIPBOARD", target, "INCR", kProperty});
    if (!sameServer(c, sameServerAs)) return {};
    const xcb_window_t owner = selectionOwner(c, clipboard);
    if (owner == XCB_NONE) return {SelectionRead::kRefused, {}};

    const xcb_window_t window = connection.newWindow();
    // The owner's windows are destroyed when its process ends, so a transfer whose owner went
    // away fails at once instead of waiting out its patience.
    const std::uint32_t structureEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, owner, XCB_CW_EVENT_MASK, &structureEvents);
    xcb_convert_selection(c, window, clipboard, wanted, property, XCB_CURRENT_TIME);
    xcb_flush(c);

    Transfer transfer(c, owner, window, property);
    const auto answer = transfer.await(&Transfer::answered);
    if (!answer) return {SelectionRead::kFailed, {}};
    if (reinterpret_cast<const xcb_selection_notify_event_t*>(answer.get())->property == XCB_NONE) {
        return {SelectionRead::kRefused, {}};
    }
    const auto first = transfer.take();
    if (!first) return {SelectionRead::kFailed, {}};
    // Some owners, Qt among them, refuse by naming the property and never setting it.
    if (first->type == XCB_NONE) return {SelectionRead::kRefused, {}};
    SelectionText text{SelectionRead::kDelivered, {}};
    if (first->type != incr) {
        text.bytes.assign(valueOf(first.get()));
        return text;
    }

    // In chunks: the first value is the owner's lower bound on the size (xclip sends none), and
    // the text is appended where it will stay.
    std::uint32_t expected = 0;
    std::memcpy(&expected, valueOf(first.get()).data(),
                std::min(sizeof expected, valueOf(first.get()).size()));
    core::growWithHugePages(
        text.bytes, std::max(std::min<std::size_t>(expected, kMostReservedUpFront), kRoomUpFront));
    for (;;) {
        const auto chunk = transfer.await(&Transfer::newValue) ? transfer.take() : nullptr;
        if (!chunk) return {SelectionRead::kFailed, {}};
        const std::string_view value = valueOf(chunk.get());
        if (value.empty()) {
            core::giveBackUnusedEnd(text.bytes);
            return text;
        }
        if (text.bytes.capacity() - text.bytes.size() < value.size()) {
            core::growWithHugePages(
                text.bytes, std::max(2 * text.bytes.capacity(), text.bytes.size() + value.size()));
        }
        text.bytes.append(value);
    }
}

namespace {

// The largest chunk of a text sent at once, and the largest text sent without chunks.
constexpr std::size_t kChunk = std::size_t{256} << 10;

// A text being sent in chunks to one program that asked for it.
struct Outgoing {
    xcb_window_t requestor;
    xcb_atom_t property;
    xcb_atom_t type;
    QByteArray data;  // shares the copied text, which a new copy does not change
    std::size_t sent = 0;
    Clock::time_point lastHeard;
};

}  // namespace

struct XClipboardOwner::State {
    Connection connection;
    xcb_connection_t* c = connection.get();
    xcb_window_t window = XCB_NONE;
    xcb_atom_t clipboard, targets, utf8String, utf8Text, plainText, textAtom, incr, property;
    std::size_t chunk = kChunk;
    QByteArray text;
    bool owned = false;
    std::vector<Outgoing> outgoing;
    std::unique_ptr<QSocketNotifier> notifier;

    // Handles every event that has come, whether the socket said so or a reply brought it.
    void serve() {
        while (const XOwned<xcb_generic_event_t> event{xcb_poll_for_event(c)}) handle(event.get());
        // A program that stopped asking for the rest gives its chunks up.
        std::erase_if(outgoing,
                      [](const Outgoing& o) { return Clock::now() - o.lastHeard > kPatience; });
        xcb_flush(c);
    }

    void handle(const xcb_generic_event_t* event) {
        switch (event->response_type & 0x7F) {
            case XCB_SELECTION_REQUEST:
                answer(*reinterpret_cast<const xcb_selection_request_event_t*>(event));
                break;
            case XCB_SELECTION_CLEAR:
                // The clipboard went to another program, or to none.
                owned = false;
                text = QByteArray();
                break;
            case XCB_PROPERTY_NOTIFY:
                sendNext(*reinterpret_cast<const xcb_property_notify_event_t*>(event));
                break;
            default:
                break;
        }
    }

    void answer(const xcb_selection_request_event_t& request) {
        // Programs of old name no property; the target's name then serves as one.
        const xcb_atom_t into = request.property == XCB_NONE ? request.target : request.property;
        const bool sent =
            owned && request.selection == clipboard && put(request.requestor, into, request.target);
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = sent ? into : XCB_NONE;
        char event[32] = {};  // the server reads every event sent as 32 bytes
        std::memcpy(event, &notify, sizeof notify);
        xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, event);
    }

    // Puts the text as `target` into the property, or starts sending it in chunks; false when
    // this program has no text under that name.
    bool put(xcb_window_t requestor, xcb_atom_t into, xcb_atom_t target) {
        if (target == targets) {
            const xcb_atom_t offered[] = {targets,   utf8String,      utf8Text,
                                          plainText, XCB_ATOM_STRING, textAtom};
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, into, XCB_ATOM_ATOM, 32,
                                std::size(offered), offered);
            return true;
        }
        QByteArray data = text;
        xcb_atom_t type = target;
        if (target == XCB_ATOM_STRING) {
            // Latin-1 by its definition, as Qt sends it: '?' for every other character.
            data = QString::fromUtf8(text).toLatin1();
        } else if (target == textAtom) {
            type = utf8String;  // the sender of TEXT names the encoding it chose
        } else if (target != utf8String && target != utf8Text && target != plainText) {
            return false;
        }
        const auto size = static_cast<std::size_t>(data.size());
        if (size <= chunk) {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, into, type, 8,
                                static_cast<std::uint32_t>(size), data.constData());
            return true;
        }
        // The requestor deletes the property each time it has read a chunk, which the owner
        // learns from the requestor's window.
        const std::uint32_t propertyEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, requestor, XCB_CW_EVENT_MASK, &propertyEvents);
        const auto atLeast = static_cast<std::uint32_t>(std::min<std::size_t>(size, UINT32_MAX));
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, into, incr, 32, 1, &atLeast);
        std::erase_if(outgoing, [&](const Outgoing& o) {
            return o.requestor == requestor && o.property == into;
        });
        outgoing.push_back({requestor, into, type, std::move(data), 0, Clock::now()});
        return true;
    }

    // The next chunk, once the requestor has deleted the last one; an empty one ends the text.
    void sendNext(const xcb_property_notify_event_t& event) {
        if (event.state != XCB_PROPERTY_DELETE) return;
        const auto o = std::find_if(outgoing.begin(), outgoing.end(), [&](const Outgoing& t) {
            return t.requestor == event.window && t.property == event.atom;
        });
        if (o == outgoing.end()) return;
        const std::size_t size =
            std::min(chunk, static_cast<std::size_t>(o->data.size()) - o->sent);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, o->requestor, o->property, o->type, 8,
                            static_cast<std::uint32_t>(size), o->data.constData() + o->sent);
        o->sent += size;
        o->lastHeard = Clock::now();
        if (size == 0) {
            const std::uint32_t noEvents = XCB_EVENT_MASK_NO_EVENT;
            xcb_change_window_attributes(c, o->requestor, XCB_CW_EVENT_MASK, &noEvents);
            outgoing.erase(o);
        }
    }
};

std::unique_ptr<XClipboardOwner> XClipboardOwner::open(xcb_connection_t* sameServerAs) {
    auto state = std::make_unique<State>();
    if (!state->connection.usable()) return nullptr;
    xcb_connection_t* c = state->c;
    std::tie(state->clipboard, state->targets, state->utf8String, state->utf8Text, state->plainText,
             state->textAtom, state->incr, state->property) =
        std::tuple_cat(
            atoms<8>(c, {"CLIPBOARD", "TARGETS", "UTF8_STRING", "text/plain;charset=utf-8",
                         "text/plain", "TEXT", "INCR", kProperty}));
    if (!sameServer(c, sameServerAs)) return nullptr;
    // A chunk and its request must fit the largest request the server takes.
    const std::size_t largest = std::size_t{xcb_get_maximum_request_length(c)} * 4;
    state->chunk = std::min(kChunk, largest - 64);
    state->window = state->connection.newWindow();
    state->notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    State* served = state.get();
    QObject::connect(state->notifier.get(), &QSocketNotifier::activated,
                     [served] { served->serve(); });
    return std::unique_ptr<XClipboardOwner>(new XClipboardOwner(std::move(state)));
}

XClipboardOwner::XClipboardOwner(std::unique_ptr<State> state) : state_(std::move(state)) {}

XClipboardOwner::~XClipboardOwner() {
    State& s = *state_;
    s.serve();
    if (!s.owned) return;
    // The manager asks for the text as any program would, and says when it has it all.
    const auto [manager, saveTargets] = atoms<2>(s.c, {"CLIPBOARD_MANAGER", "SAVE_TARGETS"});
    if (selectionOwner(s.c, manager) == XCB_NONE) return;
    xcb_convert_selection(s.c, s.window, manager, saveTargets, s.property, XCB_CURRENT_TIME);
    xcb_flush(s.c);
    while (const auto event = nextEvent(s.c, Clock::now() + kPatience)) {
        if ((event->response_type & 0x7F) == XCB_SELECTION_NOTIFY &&
            reinterpret_cast<const xcb_selection_notify_event_t*>(event.get())->requestor ==
                s.window) {
            return;
        }
        s.handle(event.get());
        xcb_flush(s.c);
    }
}

bool XClipboardOwner::own(const QByteArray& text) {
    State& s = *state_;
    s.serve();
    s.text = text;
    xcb_set_selection_owner(s.c, s.window, s.clipboard, XCB_CURRENT_TIME);
    s.owned = selectionOwner(s.c, s.clipboard) == s.window;
    if (!s.owned) s.text = QByteArray();
    s.serve();  // what came in with the reply
    return s.owned;
}

void XClipboardOwner::release() {
    State& s = *state_;
    s.serve();
    if (!s.owned) return;
    xcb_set_selection_owner(s.c, XCB_NONE, s.clipboard, XCB_CURRENT_TIME);
    // The server tells this owner too that it lost the clipboard. Its word comes before the
    // answer to a question asked after, and is taken in now, so that it cannot arrive after
    // the next own() and take that text away.
    selectionOwner(s.c, s.clipboard);
    s.serve();
    s.owned = false;
    s.text = QByteArray();
}

const QByteArray* XClipboardOwner::text() {
    state_->serve();  // a SelectionClear that has come says the text is no longer on the clipboard
    return state_->owned ? &state_->text : nullptr;
}

}  // namespace sorvane::ui
