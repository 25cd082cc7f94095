// A key's name as a value: the root it lies under and its path below that root.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Split once, where a full name ("HKEY_CURRENT_USER\Software\...") is read; every layer below
// takes the two parts as they are.
struct KeyPath {
    std::string Root; // "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"...
    std::string Path; // below the root, without a leading backslash; empty for the root itself

    KeyPath(std::string root, std::string path) : Root(std::move(root)), Path(std::move(path)) {}
    // The root is what comes before the first backslash; the rest is the path.
    explicit KeyPath(std::string_view fullName);

    // "ROOT\path", or the root alone: the name a section of a REGEDIT4 file carries.
    std::string FullName() const { return Path.empty() ? Root : Root + '\\' + Path; }
};

inline KeyPath::KeyPath(std::string_view fullName) {
    const auto cut = fullName.find('\\');
    Root = fullName.substr(0, cut);
    if (cut != std::string_view::npos) {
        Path = fullName.substr(cut + 1);
    }
}

} // namespace quillon
