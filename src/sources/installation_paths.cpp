#include "sources/installation_paths.h"

#include "registry/profile_list.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <algorithm>
#include <cctype>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {
namespace {

constexpr std::string_view kCurrentVersion =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion";
// The list of profiles, as the store names keys: its root first.
const std::string kProfileList = "HKEY_LOCAL_MACHINE\\" + std::string(kProfileListKey);
constexpr std::string_view kShellFolders =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A value's text up to its terminating zero.
std::string TextOf(const RegValue& value) {
    return UpToTerminatingZero(std::string(value.Data.begin(), value.Data.end()));
}

// A string value's text; empty when absent.
std::string TextOf(MemoryStore& store, std::string_view key, std::string_view name) {
    const std::optional<RegValue> value = store.ReadValue(key, name);
    return value && RegType::IsStringType(value->Type) ? TextOf(*value) : std::string();
}

// The profile of the user whose keys are mounted under HKEY_USERS (any but the system's).
std::string MountedUserProfile(MemoryStore& store) {
    Reg_access registry(store);
    for (const std::string& sid : ProfileSids(registry)) {
        if (store.HasKey("HKEY_USERS\\" + sid)) {
            return ProfileImagePath(registry, sid);
        }
    }
    return {};
}

// The drive letter of a Windows path, upper-case; 0 when it has none.
char DriveLetter(std::string_view windowsPath) {
    return windowsPath.size() >= 2 && windowsPath[1] == ':'
               ? static_cast<char>(std::toupper(static_cast<unsigned char>(windowsPath[0])))
               : '\0';
}

// The names of a Windows path after its drive, as Windows resolves them: split on "\" and "/",
// "." dropped, ".." taking back the name before it ("C:\a/b\..\.\c": a, c). No value
// when ".." would climb above the drive's folder or a name holds a NUL: a path read from an
// untrusted registry never leads outside the drive.
std::optional<std::vector<std::string_view>> PathNames(std::string_view windowsPath) {
    std::vector<std::string_view> names;
    std::string_view rest = windowsPath.substr(std::min<std::size_t>(2, windowsPath.size()));
    while (!rest.empty()) {
        const auto cut = rest.find_first_of("\\/");
        const std::string_view part = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
        if (part.find('\0') != std::string_view::npos) {
            return std::nullopt;
        }
        if (part == "..") {
            if (names.empty()) {
                return std::nullopt;
            }
            names.pop_back();
        } else if (!part.empty() && part != ".") {
            names.push_back(part);
        }
    }
    return names;
}

} // namespace

void InstallationPaths::AddDrive(char letter, std::string folder) {
    AddDrive(letter, std::make_shared<LocalTree>(AnsiToNative(folder)));
}

void InstallationPaths::AddDrive(char letter, std::shared_ptr<const FileTree> files) {
    drives_[DriveLetter(std::string(1, letter) + ":")] = std::move(files);
}

std::optional<std::string> InstallationPaths::TreePath(std::string_view windowsPath,
                                                       const FileTree*& tree,
                                                       bool lastIsFolder) const {
    const auto drive = drives_.find(DriveLetter(windowsPath));
    if (drive == drives_.end()) {
        return std::nullopt;
    }
    tree = drive->second.get();
    const auto names = PathNames(windowsPath);
    if (!names) {
        return std::nullopt;
    }
    std::string at;
    for (std::size_t i = 0; i < names->size(); ++i) {
        at = tree->Find(at, AnsiToNative((*names)[i]), i + 1 < names->size() || lastIsFolder);
        if (at.empty()) {
            return std::nullopt;
        }
    }
    return at;
}

std::optional<InstallationPaths::Located> InstallationPaths::Locate(std::string_view windowsPath,
                                                                    bool folder) const {
    const FileTree* tree = nullptr;
    std::optional<std::string> at = TreePath(windowsPath, tree, folder);
    if (!at) {
        return std::nullopt;
    }
    return Located{drives_.at(DriveLetter(windowsPath)), std::move(*at)};
}

bool InstallationPaths::FolderExists(std::string_view windowsPath) const {
    const FileTree* tree = nullptr;
    return TreePath(windowsPath, tree).has_value();
}

std::optional<std::vector<std::string>>
InstallationPaths::ImageSubfolders(std::string_view windowsPath) const {
    const FileTree* tree = nullptr;
    const std::optional<std::string> at = TreePath(windowsPath, tree);
    if (tree == nullptr || tree->LocalPath("")) {
        return std::nullopt; // a folder of this machine, which the face lists itself
    }
    std::vector<std::string> names;
    for (const FileTree::Entry& entry : at ? tree->List(*at) : std::vector<FileTree::Entry>{}) {
        if (entry.Folder) {
            names.push_back(NativeToAnsi(entry.Name));
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return FoldCase(a) < FoldCase(b); });
    return names;
}

void InstallationPaths::SetVariable(std::string_view name, std::string value) {
    if (!value.empty()) {
        variables_[FoldCase(name)] = std::move(value);
    }
}

void InstallationPaths::ReadVariables(MemoryStore& store) {
    std::string systemRoot = TextOf(store, kCurrentVersion, "SystemRoot");
    if (systemRoot.empty()) {
        systemRoot = "C:\\WINDOWS";
    }
    SetVariable("SystemDrive", systemRoot.substr(0, 2));
    SetVariable("SystemRoot", systemRoot);
    SetVariable("windir", systemRoot);
    const std::string profiles = TextOf(store, kProfileList, "ProfilesDirectory");
    const std::string allUsers = TextOf(store, kProfileList, "AllUsersProfile");
    if (!profiles.empty()) {
        SetVariable("AllUsersProfile",
                    profiles + "\\" + (allUsers.empty() ? "All Users" : allUsers));
    }
    const std::string profile = MountedUserProfile(store);
    SetVariable("UserProfile", profile);
    SetVariable("HomeDrive", profile.substr(0, profile.find('\\')));
    SetVariable("HomePath", profile.substr(std::min(profile.size(), profile.find('\\'))));
    SetVariable("UserName", profile.substr(profile.rfind('\\') + 1));
    SetVariable("AppData", TextOf(store, kShellFolders, "AppData"));
    SetVariable("LocalAppData", TextOf(store, kShellFolders, "Local AppData"));
    for (const RegValue& value : store.ValuesOf("HKEY_CURRENT_USER\\Environment")) {
        SetVariable(value.Name, TextOf(value));
    }
}

std::vector<std::string> InstallationPaths::Drives() const {
    std::vector<std::string> drives;
    for (const auto& [letter, files] : drives_) {
        drives.push_back(std::string(1, letter) + ":\\");
    }
    return drives;
}

std::optional<std::string> InstallationPaths::Variable(std::string_view name) const {
    const auto known = variables_.find(FoldCase(name));
    return known != variables_.end() ? std::optional<std::string>(known->second) : std::nullopt;
}

std::string InstallationPaths::Expand(std::string_view stored) const {
    return ExpandFolder(stored, [this](std::string_view name) { return Variable(name); });
}

// The native path of a Windows path on a drive that is a folder of this machine, names found
// without regard to case and the others (not there yet) kept as they are written; no value on
// another drive or for a path that climbs above its drive.
std::optional<std::string> InstallationPaths::LocalNativePath(std::string_view windowsPath) const {
    const auto drive = drives_.find(DriveLetter(windowsPath));
    const auto names = PathNames(windowsPath);
    const std::optional<std::string> root =
        drive != drives_.end() ? drive->second->LocalPath("") : std::nullopt;
    if (!root || !names) {
        return std::nullopt;
    }
    std::string at;
    for (std::string_view name : *names) {
        const std::string found = drive->second->Find(at, AnsiToNative(name), true);
        at = !found.empty() ? found : (at.empty() ? "" : at + "/") + AnsiToNative(name);
    }
    return drive->second->LocalPath(at);
}

bool InstallationPaths::LeadsOutside(std::string_view windowsPath) const {
    const auto drive = drives_.find(DriveLetter(windowsPath));
    const std::optional<std::string> path = LocalNativePath(windowsPath);
    return drive != drives_.end() && drive->second->LocalPath("") &&
           (!path || !StaysUnder(*drive->second->LocalPath(""), *path));
}

std::string InstallationPaths::NativePath(std::string_view windowsPath) const {
    const std::optional<std::string> path = LocalNativePath(windowsPath);
    return path && !LeadsOutside(windowsPath) ? NativeToAnsi(*path) : std::string();
}

std::string InstallationPaths::WindowsPath(std::string_view nativePath) const {
    const std::string native = AnsiToNative(nativePath);
    for (const auto& [letter, files] : drives_) {
        const std::optional<std::string> root = files->LocalPath("");
        if (root && native.starts_with(*root) &&
            (native.size() == root->size() || native[root->size()] == '/')) {
            std::string path =
                std::string(1, letter) + ":\\" +
                NativeToAnsi(native.substr(std::min(native.size(), root->size() + 1)));
            std::replace(path.begin(), path.end(), '/', '\\');
            return path;
        }
    }
    return {};
}

std::string
ExpandFolder(std::string_view stored,
             const std::function<std::optional<std::string>(std::string_view)>& variable) {
    while (stored.ends_with('\0')) {
        stored.remove_suffix(1);
    }
    std::string text(stored);
    // Values may refer to others (%UserProfile% is "%SystemDrive%\..."): a few rounds, bounded.
    for (int round = 0; round < 4 && text.find('%') != std::string::npos; ++round) {
        std::string expanded;
        std::size_t at = 0;
        while (at < text.size()) {
            const auto open = text.find('%', at);
            const auto close = open == std::string::npos ? open : text.find('%', open + 1);
            if (close == std::string::npos) {
                expanded += text.substr(at);
                break;
            }
            const auto known = variable(std::string_view(text).substr(open + 1, close - open - 1));
            expanded += text.substr(at, open - at);
            if (known) {
                expanded += *known;
                at = close + 1;
            } else {
                expanded += '%';
                at = open + 1;
            }
        }
        text = std::move(expanded);
    }
    return text;
}

std::optional<std::string> SystemVariable(std::string_view name) {
#ifdef _WIN32
    // The "A" call, so the value comes in the ANSI code page like the stored folder.
    const std::string variable(name);
    const DWORD size = GetEnvironmentVariableA(variable.c_str(), nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::string value(size, '\0');
    const DWORD length = GetEnvironmentVariableA(variable.c_str(), value.data(), size);
    if (length == 0 || length >= size) {
        return std::nullopt;
    }
    value.resize(length);
    return value;
#else
    (void)name; // off Windows, only an installation read gives the variables their values
    return std::nullopt;
#endif
}

std::string SystemFolder(std::string_view stored) {
    return ExpandFolder(stored, SystemVariable);
}

} // namespace quillon
