// Numbers stored in files, read from their bytes in the order the format gives: little-endian
// (Windows' own formats, VirtualBox's) or big-endian (Virtual PC's, QEMU's). Every reader of
// binary files reads its numbers through these; each caller checks first that the bytes are
// there.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quillon {

// The `size`-byte number (up to 8) at `at`, its lowest byte first.
inline std::uint64_t LittleEndian(const unsigned char* at, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = size; i > 0; --i) {
        value = value << 8 | at[i - 1];
    }
    return value;
}

// The `size`-byte number (up to 8) at `at`, its highest byte first.
inline std::uint64_t BigEndian(const unsigned char* at, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value = value << 8 | at[i];
    }
    return value;
}

inline const unsigned char* BytesAt(std::string_view bytes, std::size_t at) {
    return reinterpret_cast<const unsigned char*>(bytes.data()) + at;
}

// A little-endian number of the type's size: on a little-endian processor, one load (hives are
// read a few numbers a value, millions of values).
template <typename Number> Number LoadLittleEndian(const unsigned char* at) {
    if constexpr (std::endian::native == std::endian::little) {
        Number value;
        std::memcpy(&value, at, sizeof value);
        return value;
    } else {
        return static_cast<Number>(LittleEndian(at, sizeof(Number)));
    }
}

inline std::uint16_t Le16(const unsigned char* at) {
    return LoadLittleEndian<std::uint16_t>(at);
}
inline std::uint32_t Le32(const unsigned char* at) {
    return LoadLittleEndian<std::uint32_t>(at);
}
inline std::uint64_t Le64(const unsigned char* at) {
    return LoadLittleEndian<std::uint64_t>(at);
}
inline std::uint32_t Be32(const unsigned char* at) {
    return static_cast<std::uint32_t>(BigEndian(at, 4));
}
inline std::uint64_t Be64(const unsigned char* at) {
    return BigEndian(at, 8);
}

inline std::uint16_t Le16(std::string_view bytes, std::size_t at) {
    return Le16(BytesAt(bytes, at));
}
inline std::uint32_t Le32(std::string_view bytes, std::size_t at) {
    return Le32(BytesAt(bytes, at));
}
inline std::uint64_t Le64(std::string_view bytes, std::size_t at) {
    return Le64(BytesAt(bytes, at));
}
inline std::uint32_t Be32(std::string_view bytes, std::size_t at) {
    return Be32(BytesAt(bytes, at));
}
inline std::uint64_t Be64(std::string_view bytes, std::size_t at) {
    return Be64(BytesAt(bytes, at));
}

// Stores the `size`-byte `value` at `at` of `bytes`, its lowest byte first, over what was there.
inline void PutLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value,
                            std::size_t size) {
    constexpr unsigned kByteBits = 8;
    for (std::size_t i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<char>(value >> (kByteBits * i));
    }
}
inline void PutLe16(std::string& bytes, std::size_t at, std::uint16_t value) {
    PutLittleEndian(bytes, at, value, 2);
}
inline void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    PutLittleEndian(bytes, at, value, 4);
}
inline void PutLe64(std::string& bytes, std::size_t at, std::uint64_t value) {
    PutLittleEndian(bytes, at, value, 8);
}
// The same, its highest byte first.
inline void PutBigEndian(std::string& bytes, std::size_t at, std::uint64_t value,
                         std::size_t size) {
    constexpr unsigned kByteBits = 8;
    for (std::size_t i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<char>(value >> (kByteBits * (size - 1 - i)));
    }
}
inline void PutBe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    PutBigEndian(bytes, at, value, 4);
}
inline void PutBe64(std::string& bytes, std::size_t at, std::uint64_t value) {
    PutBigEndian(bytes, at, value, 8);
}

} // namespace quillon
