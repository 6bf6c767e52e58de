#include "x_selection.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "memory_advice.h"

namespace sorvane::ui {
namespace {

using Clock = std::chrono::steady_clock;

// How long the owner may take over each answer before the transfer counts as failed.
constexpr auto kPatience = std::chrono::seconds(5);

// The owner's word on how large a chunked text will be is only a lower bound and may be wrong;
// room is reserved for no more than this up front.
constexpr std::size_t kMostReservedUpFront = std::size_t{1} << 30;

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

    xcb_window_t root() const {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int k = 0; k < screen_ && it.rem > 1; ++k) xcb_screen_next(&it);
        return it.data->root;
    }

private:
    int screen_ = 0;
    xcb_connection_t* c_;
};

xcb_intern_atom_cookie_t askAtom(xcb_connection_t* c, std::string_view name) {
    return xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data());
}

xcb_atom_t atom(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie) {
    const XOwned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
    return reply ? reply->atom : XCB_NONE;
}

xcb_window_t selectionOwner(xcb_connection_t* c, xcb_atom_t selection) {
    const XOwned<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return reply ? reply->owner : XCB_NONE;
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
    const auto clipboardCookie = askAtom(c, "CLIPBOARD");
    const auto targetCookie = askAtom(c, target);
    const auto incrCookie = askAtom(c, "INCR");
    const auto propertyCookie = askAtom(c, "SORVANE_SELECTION");
    const auto theirClipboardCookie = askAtom(sameServerAs, "CLIPBOARD");
    const xcb_atom_t clipboard = atom(c, clipboardCookie);
    const xcb_atom_t wanted = atom(c, targetCookie);
    const xcb_atom_t incr = atom(c, incrCookie);
    const xcb_atom_t property = atom(c, propertyCookie);

    // DISPLAY names the server; the program may have been pointed at another. The same owner
    // window seen through both connections says they reach one server.
    const xcb_window_t owner = selectionOwner(c, clipboard);
    if (owner != selectionOwner(sameServerAs, atom(sameServerAs, theirClipboardCookie))) return {};
    if (owner == XCB_NONE) return {SelectionRead::kRefused, {}};

    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t propertyEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, connection.root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &propertyEvents);
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

    // In chunks: the first value is the owner's lower bound on the size, and the text is
    // appended where it will stay, so no chunk is copied twice.
    std::uint32_t expected = 0;
    std::memcpy(&expected, valueOf(first.get()).data(),
                std::min(sizeof expected, valueOf(first.get()).size()));
    text.bytes.reserve(std::min<std::size_t>(expected, kMostReservedUpFront));
    core::preferHugePages(text.bytes.data(), text.bytes.capacity());
    for (;;) {
        const auto chunk = transfer.await(&Transfer::newValue) ? transfer.take() : nullptr;
        if (!chunk) return {SelectionRead::kFailed, {}};
        if (xcb_get_property_value_length(chunk.get()) == 0) return text;
        text.bytes.append(valueOf(chunk.get()));
    }
}

}  // namespace sorvane::ui
