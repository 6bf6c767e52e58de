#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace sorvane::core {

// Bytes of text that the core reads and rewrites in place, in whatever buffer they arrived: a
// string of the core's own, or a buffer that a toolkit handed over with the clipboard's text,
// kept alive by its owner. A paste of a million records then holds its text once, not once in
// the toolkit's buffer and again in the core's. Moves, never copies.
class TextBuffer {
public:
    /// No text.
    TextBuffer() = default;

    /// Takes over a string's bytes.
    TextBuffer(std::string text)  // NOLINT(google-explicit-constructor): a string is a text
        : TextBuffer(std::make_shared<std::string>(std::move(text))) {}

    /// Takes over `size` writable bytes at `data`, which `owner` keeps alive and frees; `held`
    /// is what the buffer takes in memory, for accounting.
    TextBuffer(char* data, std::size_t size, std::shared_ptr<void> owner, std::size_t held)
        : owner_(std::move(owner)), data_(data), size_(size), held_(held) {}

    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {data_, size_}; }

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

private:
    explicit TextBuffer(std::shared_ptr<std::string> text)
        : owner_(text), data_(text->data()), size_(text->size()), held_(text->capacity()) {}

    std::shared_ptr<void> owner_;
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t held_ = 0;
};

}  // namespace sorvane::core
