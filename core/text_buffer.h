#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace sorvane::core {

// Bytes of text that the core reads, in whatever buffer they arrived: a string of the core's
// own, or a buffer that a toolkit handed over with the clipboard's text, kept alive by its
// owner. A paste of a million records then holds its text once, not once in the toolkit's buffer
// and again in the core's. A buffer that others read too is read where it stands and copied only
// if the core must change it. Moves, never copies by itself.
class TextBuffer {
public:
    /// No text.
    TextBuffer() = default;

    /// Takes over a string's bytes.
    TextBuffer(std::string text)  // NOLINT(google-explicit-constructor): a string is a text
        : TextBuffer(std::make_shared<std::string>(std::move(text))) {}

    /// Takes over `size` bytes at `bytes`, which the text owns and may write. Unlike a string's,
    /// their room need not be filled before they are written.
    static TextBuffer owned(std::unique_ptr<char[]> bytes, std::size_t size) {
        TextBuffer text;
        text.data_ = bytes.get();
        text.owner_ = std::shared_ptr<char[]>(std::move(bytes));
        text.size_ = size;
        text.held_ = size;
        return text;
    }

    /// Takes over `size` bytes at `data`, which `owner` keeps alive and frees and which others
    /// may read too, so they are never written; `held` is what the buffer takes in memory.
    static TextBuffer shared(const char* data, std::size_t size, std::shared_ptr<const void> owner,
                             std::size_t held) {
        TextBuffer text;
        text.owner_ = std::move(owner);
        text.data_ = const_cast<char*>(data);  // written only once copied into a string of ours
        text.size_ = size;
        text.held_ = held;
        text.writable_ = false;
        return text;
    }

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {data_, size_}; }

    /// The bytes, to be changed: a buffer that others read too is first copied into a string of
    /// the text's own, so this may move the text.
    char* mutableData() {
        if (!writable_) *this = TextBuffer(std::string(data_, size_)).withRowEnds(loneLfEndsRow_);
        return data_;
    }

    /// Keeps the first `size` bytes; the buffer stays where it is.
    void truncate(std::size_t size) { size_ = std::min(size, size_); }

    /// Drops the first `count` bytes without moving the rest.
    void dropFront(std::size_t count) {
        count = std::min(count, size_);
        data_ += count;
        size_ -= count;
    }

    /// Bytes the buffer takes in memory.
    std::size_t memoryBytes() const { return held_; }

    /// Whether an LF that follows no CR ends a row, as in the clipboard text of platforms whose
    /// rows end with LF alone, once no LF stands inside a quoted cell (see recordsTextOfUtf8).
    /// Otherwise every LF is dropped, as Paste records reads text.
    bool loneLfEndsRow() const { return loneLfEndsRow_; }
    TextBuffer&& withRowEnds(bool loneLfEndsRow) && {
        loneLfEndsRow_ = loneLfEndsRow;
        return std::move(*this);
    }

private:
    explicit TextBuffer(std::shared_ptr<std::string> text)
        : owner_(text), data_(text->data()), size_(text->size()), held_(text->capacity()) {}

    std::shared_ptr<const void> owner_;
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t held_ = 0;
    bool writable_ = true;
    bool loneLfEndsRow_ = false;
};

}  // namespace sorvane::core
