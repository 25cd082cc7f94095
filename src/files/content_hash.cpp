#include "files/content_hash.h"

#include "files/input_file.h"

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
// Compiled in from its header: the executables are one file each.
#define XXH_INLINE_ALL
#include <xxhash.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>
#if defined(__x86_64__)
// The library picks the widest vector instructions of the processor it runs on (its generic
// code is a third as fast): the hash runs at the speed of memory.
#include <xxh_x86dispatch.h>
#endif
#endif

namespace quillon {
namespace {

std::string Hexadecimal(const unsigned char* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

} // namespace

struct ContentHash::State {
    XXH3_state_t* Hash = XXH3_createState();
};

ContentHash::ContentHash() : state_(std::make_unique<State>()) {
    if (state_->Hash != nullptr) {
        XXH3_128bits_reset(state_->Hash);
    }
}

ContentHash::~ContentHash() {
    XXH3_freeState(state_->Hash);
}

void ContentHash::Add(std::string_view bytes) {
    if (state_->Hash != nullptr) {
        XXH3_128bits_update(state_->Hash, bytes.data(), bytes.size());
    }
}

std::string ContentHash::Digest() const {
    if (state_->Hash == nullptr) {
        return {};
    }
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state_->Hash));
    return Hexadecimal(canonical.digest, sizeof canonical.digest);
}

#ifdef _WIN32
bool DigestOfFile(const std::string& path, std::string& digest, std::uint64_t& size,
                  FileError& error) {
    constexpr std::size_t kPieceSize = std::size_t{1} << 20;
    ContentHash hash;
    size = 0;
    const bool read = ReadFileInPieces(
        path, kPieceSize,
        [&](std::string_view piece) {
            hash.Add(piece);
            size += piece.size();
            return true;
        },
        error);
    digest = read ? hash.Digest() : std::string();
    return read;
}
#else
// Read through windows of the file mapped one after the other: the page cache's own pages are
// hashed, with no copy, and no more than a window is mapped at a time.
bool DigestOfFile(const std::string& path, std::string& digest, std::uint64_t& size,
                  FileError& error) {
    constexpr std::uint64_t kWindow = std::uint64_t{8} << 20;
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (file < 0 || fstat(file, &info) != 0) {
        error = FileError{path, errno != 0 ? errno : EIO};
        if (file >= 0) {
            close(file);
        }
        return false;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    ContentHash hash;
    bool read = true;
    for (std::uint64_t at = 0; read && at < size; at += kWindow) {
        const std::size_t length = static_cast<std::size_t>(std::min(kWindow, size - at));
        void* window = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, file, static_cast<off_t>(at));
        read = window != MAP_FAILED;
        if (read) {
            madvise(window, length, MADV_SEQUENTIAL);
            hash.Add(std::string_view(static_cast<const char*>(window), length));
            munmap(window, length);
        } else {
            error = FileError{path, errno != 0 ? errno : EIO};
        }
    }
    close(file);
    digest = read ? hash.Digest() : std::string();
    return read;
}
#endif

} // namespace quillon
