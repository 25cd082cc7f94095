// Test helpers without GoogleTest, for every test program (the fuzz targets too): whole files,
// string values ended as regedit ends them,
// and folders in memory.
#pragma once

#include "disks/file_tree.h"
#include "stores/memory_store.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quillon::test {

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Gives every string value without its terminating zero one, below `key`, as regedit's import
// does: that is what a .reg file brings back of such a value.
inline void EndStringsAsRegeditDoes(MemoryKey& key) {
    std::vector<RegValue> unended;
    for (const RegValue& value : key.Values()) {
        if (RegType::IsStringType(value.Type) && !value.Data.empty() && value.Data.back() != 0) {
            unended.push_back(value);
        }
    }
    for (RegValue& value : unended) {
        value.Data.push_back(0);
        key.SetValue(value.Name, value.Type, std::move(value.Data));
    }
    for (const auto& subkey : key.Subkeys()) {
        EndStringsAsRegeditDoes(*subkey);
    }
}

// Folders in memory ("Documents and Settings/Luc" ...), standing for a file system inside a disk
// image: what this machine's disk does not hold.
class FolderTree : public FileTree {
  public:
    explicit FolderTree(std::vector<std::string> folders) : folders_(std::move(folders)) {}
    std::vector<Entry> List(const std::string& folder) const override {
        std::vector<Entry> entries;
        const std::string prefix = folder.empty() ? "" : folder + "/";
        for (const std::string& path : folders_) {
            if (path.starts_with(prefix) && path.find('/', prefix.size()) == std::string::npos) {
                entries.push_back({path.substr(prefix.size()), true});
            }
        }
        return entries;
    }
    bool Read(const std::string&, std::string&, FileError&) const override { return false; }
    bool ReadInPieces(const std::string&, std::size_t, const std::function<bool(std::string_view)>&,
                      FileError&) const override {
        return false;
    }
    std::optional<std::string> LocalPath(const std::string&) const override { return std::nullopt; }
    std::string Shown(const std::string& file) const override { return "image.dd : /" + file; }

  private:
    std::vector<std::string> folders_;
};

} // namespace quillon::test
