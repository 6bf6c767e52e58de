#include "mapped_file.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sorvane::core {
namespace {

[[noreturn]] void failWith(int code, const std::filesystem::path& path) {
#if defined(_WIN32)
    throw std::system_error(code, std::system_category(), path.string());
#else
    throw std::system_error(code, std::generic_category(), path.string());
#endif
}

// Reads `stream` to its end into a string.
std::string readAll(std::FILE* stream) {
    std::string bytes;
    std::size_t used = 0;
    bytes.resize(1 << 16);
    for (;;) {
        used += std::fread(bytes.data() + used, 1, bytes.size() - used, stream);
        if (used < bytes.size()) break;
        bytes.resize(bytes.size() * 2);
    }
    if (std::ferror(stream)) throw std::system_error(errno, std::generic_category());
    bytes.resize(used);
    return bytes;
}

}  // namespace

#if defined(_WIN32)

MappedFile::MappedFile(const std::filesystem::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) failWith(static_cast<int>(GetLastError()), path);
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        failWith(error == 0 ? ERROR_INVALID_FUNCTION : static_cast<int>(error), path);
    }
    size_ = static_cast<std::size_t>(size.QuadPart);
    if (size_ == 0) {
        CloseHandle(file);
        return;
    }
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const DWORD mapError = GetLastError();
    CloseHandle(file);  // the mapping keeps the file open
    if (mapping == nullptr) failWith(static_cast<int>(mapError), path);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        const DWORD error = GetLastError();
        CloseHandle(mapping);
        failWith(static_cast<int>(error), path);
    }
    data_ = static_cast<const char*>(view);
    mapping_ = mapping;
    mapped_ = true;
}

MappedFile::~MappedFile() {
    if (mapped_) {
        UnmapViewOfFile(data_);
        CloseHandle(static_cast<HANDLE>(mapping_));
    }
}

#else

MappedFile::MappedFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) failWith(errno, path);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        failWith(error, path);
    }
    if (S_ISDIR(status.st_mode)) {
        ::close(fd);
        failWith(EISDIR, path);
    }
    if (!S_ISREG(status.st_mode)) {
        // A pipe or a device has no size to map: read it as it comes.
        std::FILE* const stream = ::fdopen(fd, "rb");
        if (stream == nullptr) {
            const int error = errno;
            ::close(fd);
            failWith(error, path);
        }
        try {
            readWhole(stream);
        } catch (const std::system_error& e) {
            std::fclose(stream);
            failWith(e.code().value(), path);
        }
        std::fclose(stream);
        return;
    }
    size_ = static_cast<std::size_t>(status.st_size);
    if (size_ > 0) {
        // Populated at once: the reader goes through every page, and one call that maps them
        // all costs far less than a fault on each.
        void* const view = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (view == MAP_FAILED) {
            const int error = errno;
            ::close(fd);
            failWith(error, path);
        }
        data_ = static_cast<const char*>(view);
        mapped_ = true;
    }
    ::close(fd);  // the mapping keeps the file open
}

MappedFile::~MappedFile() {
    if (mapped_) ::munmap(const_cast<char*>(data_), size_);
}

#endif

void MappedFile::readWhole(std::FILE* stream) {
    const std::string bytes = readAll(stream);
    read_ = std::make_unique<char[]>(bytes.size() + 1);
    std::memcpy(read_.get(), bytes.data(), bytes.size());
    size_ = bytes.size();
    data_ = read_.get();
}

TextBuffer fileText(const std::filesystem::path& path) {
    auto file = std::make_shared<const MappedFile>(path);
    const char* const data = file->data();
    const std::size_t size = file->size();
    return TextBuffer::shared(data, size, std::move(file), size);
}

TextBuffer streamText(std::FILE* stream) { return readAll(stream); }

}  // namespace sorvane::core
