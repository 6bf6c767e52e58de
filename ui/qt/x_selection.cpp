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
    // the owner kept silent for too long; failure() then tells which.
    XOwned<xcb_generic_event_t> await(Wanted wanted) {
        const auto deadline = Clock::now() + kPatience;
        failure_ = SelectionRead::kVanished;
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
        if (!xcb_connection_has_error(c_)) failure_ = SelectionRead::kTimedOut;
        return nullptr;
    }

    // Why the last await() or take() came to nothing.
    SelectionRead failure() const { return failure_; }

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
    SelectionRead failure_ = SelectionRead::kVanished;
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
    if (!answer) return {transfer.failure(), {}};
    if (reinterpret_cast<const xcb_selection_notify_event_t*>(answer.get())->property == XCB_NONE) {
        return {SelectionRead::kRefused, {}};
    }
    const auto first = transfer.take();
    if (!first) return {SelectionRead::kVanished, {}};
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
        if (!transfer.await(&Transfer::newValue)) return {transfer.failure(), {}};
        const auto chunk = transfer.take();
        if (!chunk) return {SelectionRead::kVanished, {}};
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

}  // namespace sorvane::ui
