#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "text_buffer.h"

namespace sorvane::core {

// A file's bytes read where the system keeps them: mapped read-only into memory (mmap on Linux,
// a file mapping on Windows), so a list of tens of megabytes is read without being copied into
// memory of the process's own. A file that cannot be mapped, such as a pipe, is read instead.
class MappedFile {
public:
    /// Maps or reads the file at `path`; throws std::system_error saying why it cannot.
    explicit MappedFile(const std::filesystem::path& path);
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    /// The file's bytes; valid while the file object lives.
    const char* data() const { return data_; }

    /// The number of bytes.
    std::size_t size() const { return size_; }

private:
    void readWhole(std::FILE* stream);

    const char* data_ = "";  // never null, so that an empty file's bytes can be searched too
    std::size_t size_ = 0;
    bool mapped_ = false;
    [[maybe_unused]] void* mapping_ = nullptr;  // the system's handle of a mapping, if any
    std::unique_ptr<char[]> read_;  // the bytes of a file that was read rather than mapped
};

/// The bytes of the file at `path` as a text that keeps the file mapped while it lives; throws
/// std::system_error saying why it cannot read them.
TextBuffer fileText(const std::filesystem::path& path);

/// The bytes of `stream` up to its end, read whole; throws std::system_error when reading fails.
TextBuffer streamText(std::FILE* stream);

}  // namespace sorvane::core
