#include "hive_writer.h"

#include "files/temp_file.h"
#include "text/ansi_codepage.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <hivex.h>

namespace quillon::tools {
namespace {

constexpr std::size_t kBlock = 0x1000;
constexpr std::size_t kBinHeader = 0x20;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

void Put16(std::string& bytes, std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

std::uint32_t Get32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return v;
}

std::size_t Aligned8(std::size_t n) {
    return (n + 7) & ~std::size_t{7};
}

bool AddChildren(hive_h* hive, hive_node_h node, const MemoryKey& key, std::string& error) {
    std::vector<std::string> names;
    std::vector<std::string> data;
    names.reserve(key.Values().size());
    data.reserve(key.Values().size());
    std::vector<hive_set_value> values;
    for (const RegValue& value : key.Values()) {
        names.push_back(AnsiToUtf8(value.Name));
        const std::string_view raw(reinterpret_cast<const char*>(value.Data.data()),
                                   value.Data.size());
        data.push_back(RegType::IsStringType(value.Type) ? AnsiToUtf16Le(raw) : std::string(raw));
    }
    for (std::size_t i = 0; i < key.Values().size(); ++i) {
        values.push_back(hive_set_value{names[i].data(),
                                        static_cast<hive_type>(key.Values()[i].Type),
                                        data[i].size(), data[i].data()});
    }
    if (!values.empty() &&
        hivex_node_set_values(hive, node, values.size(), values.data(), 0) != 0) {
        error = "hivex_node_set_values: " + std::string(std::strerror(errno));
        return false;
    }
    for (const auto& subkey : key.Subkeys()) {
        const hive_node_h child =
            hivex_node_add_child(hive, node, AnsiToUtf8(subkey->Name).c_str());
        if (child == 0 || !AddChildren(hive, child, *subkey, error)) {
            if (error.empty()) {
                error = "hivex_node_add_child " + subkey->Name + ": " + std::strerror(errno);
            }
            return false;
        }
    }
    return true;
}

} // namespace

std::string EmptyHive(std::string_view rootName) {
    std::string bytes(2 * kBlock, '\0');
    // Header block.
    bytes.replace(0, 4, "regf");
    Put32(bytes, 0x04, 1); // sequence numbers, equal: the hive was closed cleanly
    Put32(bytes, 0x08, 1);
    Put32(bytes, 0x14, 1); // version 1.3
    Put32(bytes, 0x18, 3);
    Put32(bytes, 0x20, 1); // direct memory load format
    Put32(bytes, 0x24, kBinHeader);
    Put32(bytes, 0x28, kBlock); // size of the bins
    Put32(bytes, 0x2C, 1);

    // One bin: the root key, its security record, then free space.
    const std::size_t bin = kBlock;
    bytes.replace(bin, 4, "hbin");
    Put32(bytes, bin + 4, 0);
    Put32(bytes, bin + 8, kBlock);

    const std::size_t nk = bin + kBinHeader;
    const std::size_t nkSize = Aligned8(0x50 + rootName.size());
    const std::size_t sk = nk + nkSize;
    const std::size_t skSize = Aligned8(0x18 + 20);
    Put32(bytes, nk, static_cast<std::uint32_t>(-static_cast<std::int32_t>(nkSize)));
    bytes.replace(nk + 4, 2, "nk");
    Put16(bytes, nk + 6, 0x2C);     // root entry, cannot be deleted, name in Latin-1
    Put32(bytes, nk + 0x14, kNone); // parent
    Put32(bytes, nk + 0x20, kNone); // subkey lists
    Put32(bytes, nk + 0x24, kNone);
    Put32(bytes, nk + 0x2C, kNone); // value list
    Put32(bytes, nk + 0x30, static_cast<std::uint32_t>(sk - bin));
    Put32(bytes, nk + 0x34, kNone); // class name
    Put16(bytes, nk + 0x4C, static_cast<std::uint16_t>(rootName.size()));
    bytes.replace(nk + 0x50, rootName.size(), rootName);

    Put32(bytes, sk, static_cast<std::uint32_t>(-static_cast<std::int32_t>(skSize)));
    bytes.replace(sk + 4, 2, "sk");
    Put32(bytes, sk + 0x08, static_cast<std::uint32_t>(sk - bin)); // a ring of one record
    Put32(bytes, sk + 0x0C, static_cast<std::uint32_t>(sk - bin));
    Put32(bytes, sk + 0x10, 1);  // reference count
    Put32(bytes, sk + 0x14, 20); // a self-relative security descriptor without lists
    bytes[sk + 0x18] = 1;
    Put16(bytes, sk + 0x1A, 0x8000);

    const std::size_t freeCell = sk + skSize;
    Put32(bytes, freeCell, static_cast<std::uint32_t>(bin + kBlock - freeCell));

    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < 0x1FC; at += 4) {
        sum ^= Get32(bytes, at);
    }
    Put32(bytes, 0x1FC, sum);
    return bytes;
}

bool WriteHive(const MemoryKey& root, const std::string& path, std::string& error) {
    FileError fileError;
    auto empty = TemporaryFile::Create(fileError);
    if (!empty) {
        error = fileError.Path + ": " + fileError.Reason();
        return false;
    }
    std::ofstream(empty->Path(), std::ios::binary) << EmptyHive();
    hive_h* hive = hivex_open(empty->Path().c_str(), HIVEX_OPEN_WRITE);
    if (hive == nullptr) {
        error = "hivex_open: " + std::string(std::strerror(errno));
        return false;
    }
    bool ok = AddChildren(hive, hivex_root(hive), root, error);
    if (ok && hivex_commit(hive, path.c_str(), 0) != 0) {
        error = path + ": " + std::strerror(errno);
        ok = false;
    }
    hivex_close(hive);
    return ok;
}

} // namespace quillon::tools
