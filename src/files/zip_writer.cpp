#include "files/zip_writer.h"

#include "files/byte_order.h"
#include "files/random_access_file.h"

#include <array>
#include <cerrno>
#include <ctime>

namespace quillon {
namespace {

// The records of the format (PKWARE's APPNOTE), each starting with its signature.
constexpr std::uint32_t kLocalHeader = 0x04034B50;
constexpr std::uint32_t kDataDescriptor = 0x08074B50;
constexpr std::uint32_t kCentralHeader = 0x02014B50;
constexpr std::uint32_t kZip64End = 0x06064B50;
constexpr std::uint32_t kZip64Locator = 0x07064B50;
constexpr std::uint32_t kEnd = 0x06054B50;
constexpr std::uint16_t kZip64Extra = 0x0001;
// Versions needed to read: 2.0 for stored files, 4.5 for ZIP64.
constexpr std::uint16_t kVersion20 = 20, kVersion45 = 45;
// Flags: sizes and CRC in a descriptor after the data; names in UTF-8.
constexpr std::uint16_t kFlags = 0x0008 | 0x0800;
constexpr std::uint16_t kStored = 0;
// The value a classic record holds for what is in the ZIP64 records; the count of entries past
// which they are needed.
constexpr std::uint64_t kInZip64 = 0xFFFFFFFF;
constexpr std::uint16_t kClassicEntries = 0xFFFF;
constexpr std::size_t kChunk = 64 * 1024;

std::string Le(std::uint64_t value, std::size_t size) {
    std::string bytes(size, '\0');
    PutLittleEndian(bytes, 0, value, size);
    return bytes;
}

// Today, as the archive's MS-DOS date and time of each file.
std::pair<std::uint16_t, std::uint16_t> DosNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    local = *std::localtime(&now); // Windows XP's C library has no localtime_s; one thread here
#else
    localtime_r(&now, &local);
#endif
    constexpr int kDosEpoch = 80; // 1980, in years since 1900
    const auto date = static_cast<std::uint16_t>((local.tm_year - kDosEpoch) << 9 |
                                                 (local.tm_mon + 1) << 5 | local.tm_mday);
    const auto time =
        static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return {date, time};
}

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        constexpr std::uint32_t kPolynomial = 0xEDB88320; // reflected
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < t.size(); ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? kPolynomial ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    return table;
}

} // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
    const auto& table = CrcTable();
    crc = ~crc;
    for (const char c : bytes) {
        crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

void ZipWriter::Put(const std::string& bytes) {
    out_.Write(bytes);
    written_ += bytes.size();
}

bool ZipWriter::AddFile(const std::string& name, const std::string& path, FileError& error) {
    const RandomAccessFile in(path, RandomAccessFile::Links::Refuse);
    if (!in.IsOpen()) {
        error = FileError{path, in.OpenErrno()};
        return false;
    }
    Entry entry{name, 0, in.Size(), written_};
    const bool zip64 = entry.Size >= classicLimit_;
    const auto [date, time] = DosNow();
    // Sizes and CRC follow the data; a ZIP64 entry says so in its extra field, zeros for now.
    const std::string extra =
        zip64 ? Le(kZip64Extra, 2) + Le(16, 2) + std::string(16, '\0') : std::string();
    Put(Le(kLocalHeader, 4) + Le(zip64 ? kVersion45 : kVersion20, 2) + Le(kFlags, 2) +
        Le(kStored, 2) + Le(time, 2) + Le(date, 2) + Le(0, 4) + Le(zip64 ? kInZip64 : 0, 4) +
        Le(zip64 ? kInZip64 : 0, 4) + Le(name.size(), 2) + Le(extra.size(), 2) + name + extra);
    std::string chunk;
    for (std::uint64_t at = 0; at < entry.Size; at += chunk.size()) {
        chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, entry.Size - at)));
        if (!in.ReadAll(at, chunk.data(), chunk.size())) {
            error = FileError{path, EIO};
            return false;
        }
        entry.Crc = Crc32(chunk, entry.Crc);
        Put(chunk);
    }
    const std::size_t sizeBytes = zip64 ? 8 : 4;
    Put(Le(kDataDescriptor, 4) + Le(entry.Crc, 4) + Le(entry.Size, sizeBytes) +
        Le(entry.Size, sizeBytes));
    entries_.push_back(std::move(entry));
    return !out_.Failed();
}

void ZipWriter::Finish() {
    const auto [date, time] = DosNow();
    const std::uint64_t directoryAt = written_;
    bool zip64 = entries_.size() >= kClassicEntries;
    for (const Entry& entry : entries_) {
        const bool bigSize = entry.Size >= classicLimit_;
        const bool farAway = entry.HeaderAt >= classicLimit_;
        std::string extra;
        if (bigSize || farAway) {
            const std::string values = (bigSize ? Le(entry.Size, 8) + Le(entry.Size, 8) : "") +
                                       (farAway ? Le(entry.HeaderAt, 8) : "");
            extra = Le(kZip64Extra, 2) + Le(values.size(), 2) + values;
            zip64 = true;
        }
        const std::uint16_t version = extra.empty() ? kVersion20 : kVersion45;
        Put(Le(kCentralHeader, 4) + Le(version, 2) + Le(version, 2) + Le(kFlags, 2) +
            Le(kStored, 2) + Le(time, 2) + Le(date, 2) + Le(entry.Crc, 4) +
            Le(bigSize ? kInZip64 : entry.Size, 4) + Le(bigSize ? kInZip64 : entry.Size, 4) +
            Le(entry.Name.size(), 2) + Le(extra.size(), 2) + Le(0, 2) + Le(0, 2) + Le(0, 2) +
            Le(0, 4) + Le(farAway ? kInZip64 : entry.HeaderAt, 4) + entry.Name + extra);
    }
    const std::uint64_t directorySize = written_ - directoryAt;
    zip64 = zip64 || directoryAt >= classicLimit_ || directorySize >= classicLimit_;
    if (zip64) {
        const std::uint64_t endAt = written_;
        constexpr std::uint64_t kZip64EndRest = 44; // its size, less its signature and this field
        Put(Le(kZip64End, 4) + Le(kZip64EndRest, 8) + Le(kVersion45, 2) + Le(kVersion45, 2) +
            Le(0, 4) + Le(0, 4) + Le(entries_.size(), 8) + Le(entries_.size(), 8) +
            Le(directorySize, 8) + Le(directoryAt, 8));
        Put(Le(kZip64Locator, 4) + Le(0, 4) + Le(endAt, 8) + Le(1, 4));
    }
    const std::uint64_t entries = zip64 ? kClassicEntries : entries_.size();
    Put(Le(kEnd, 4) + Le(0, 2) + Le(0, 2) + Le(entries, 2) + Le(entries, 2) +
        Le(zip64 ? kInZip64 : directorySize, 4) + Le(zip64 ? kInZip64 : directoryAt, 4) + Le(0, 2));
}

} // namespace quillon
