// What the fuzz targets share: a scratch folder of their own, and the check that whatever a
// reader accepted is exported as a file that reads back to the same export.
#pragma once

#include "export/export_to_file.h"
#include "formats/reg_file_reader.h"
#include "stores/memory_store.h"
#include "test_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace quillon::fuzz {

inline std::string_view BytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A folder for this process, in memory when /dev/shm exists: fuzzing writes files many
// thousand times a second.
inline const std::filesystem::path& Scratch() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        auto path = base / ("quillon-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] { std::filesystem::remove_all(Scratch()); });
        return path;
    }();
    return folder;
}

inline std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
    const auto path = (Scratch() / name).string();
    test::WriteBytes(path, bytes);
    return path;
}

// Reads the current identity, as the window's start-up does first.
inline void ReadCurrentIdentity(RegistryStore& store) {
    Reg_access registry(store);
    std::uint32_t type = 0;
    std::int32_t result = 0;
    const KeyHandle key = registry.OpenKey("HKEY_CURRENT_USER", "Identities", KeyRead, result);
    registry.QueryValue(key, "Last User ID", type);
    registry.CloseKey(key);
}

// Exports every root into one file.
inline std::string ExportEverything(MemoryStore& store, const std::string& name) {
    Reg_access registry(store);
    const std::string path = (Scratch() / name).string();
    for (std::int16_t root = 0; root < RootCount; ++root) {
        ExportKeyToFile(registry, KeyPath(RootNames[root]), path, root != 0);
    }
    return test::ReadBytes(path);
}

// A backup must read back whole, as regedit imports it, and give the same file when exported
// again: a line the reader takes for another record or passes over, or a value that changes on
// the way (beyond the terminating zero regedit gives a string), is a fault.
inline void CheckExportReadsBack(MemoryStore& store) {
    for (std::int16_t root = 0; root < RootCount; ++root) {
        test::EndStringsAsRegeditDoes(store.Root(root));
    }
    const std::string exported = ExportEverything(store, "first.reg");
    MemoryStore reread;
    std::string error;
    std::vector<std::string> warnings;
    if (!ReadRegText(exported, "first.reg", reread, error, &warnings) || !warnings.empty()) {
        std::fprintf(stderr, "the export does not read back whole: %s\n",
                     warnings.empty() ? error.c_str() : warnings.front().c_str());
        std::abort();
    }
    const std::string again = ExportEverything(reread, "second.reg");
    if (again != exported) {
        std::size_t at = 0;
        while (at < again.size() && at < exported.size() && again[at] == exported[at]) {
            ++at;
        }
        const std::size_t line = exported.rfind('\n', at) + 1;
        std::fprintf(stderr, "the export changes when read back and exported again:\n%s\n---\n%s\n",
                     exported.substr(line, 600).c_str(), again.substr(line, 600).c_str());
        std::abort();
    }
}

} // namespace quillon::fuzz
