#include "registry/offline_registry.h"

#include "registry/ansi_codepage.h"
#include "registry/creg_reader.h"
#include "registry/file_io.h"
#include "registry/hive_reader.h"
#include "registry/reg_file_reader.h"
#include "registry/wine_registry_reader.h"

#include <algorithm>
#include <filesystem>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProfileList =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// Profiles of the system itself, never the user whose settings are wanted.
constexpr std::string_view kSystemProfiles[] = {"All Users", "Default User", "LocalService",
                                                "NetworkService"};

fs::path FindPath(fs::path at, std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) {
        at = FindIgnoringCase(at, part);
        if (at.empty()) {
            return {};
        }
    }
    return at;
}

bool IsSystemProfile(const std::string& name) {
    return std::any_of(std::begin(kSystemProfiles), std::end(kSystemProfiles),
                       [&](std::string_view p) { return EqualsIgnoringCase(name, p); });
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

class Mounter {
  public:
    Mounter(MemoryStore& store, std::vector<std::string>& warnings, std::string& error)
        : store_(store), warnings_(warnings), error_(error) {}

    bool Mount(const Mount& mount, const std::string& user) {
        switch (mount.Source) {
        case Mount::Kind::WinePrefix: return MountWinePrefix(mount.Path);
        case Mount::Kind::Windows: return MountWindows(mount.Path, user);
        case Mount::Kind::Hive: return MountFile(Utf8ToAnsi(mount.Key), mount.Path);
        case Mount::Kind::Reg: return MountRegFile(mount.Path);
        }
        return false;
    }

  private:
    // A .reg file; a hive or a Wine registry file given as one is pointed to the right option.
    bool MountRegFile(const std::string& path) {
        std::string head;
        FileError fileError;
        if (ReadWholeFile(path, head, fileError, 64) && IsRegistryFile(head)) {
            error_ = path + " : c'est " +
                     (LooksLikeWineRegistry(head) ? "un fichier de registre Wine"
                      : LooksLikeCreg(head)       ? "un registre de Windows 95/98/Me"
                                                  : "une ruche") +
                     ", pas un fichier .reg : donnez-le avec --hive CLÉ=FICHIER ou --load NOM=FICHIER";
            return false;
        }
        return ReadRegFile(path, store_, error_);
    }

    static bool IsRegistryFile(std::string_view head) {
        return LooksLikeHive(head) || LooksLikeCreg(head) || LooksLikeWineRegistry(head);
    }

    // The key a source goes to, which no earlier source may have filled.
    MemoryKey* Claim(const std::string& keyName) {
        MemoryKey* key = store_.CreateKey(keyName);
        if (key == nullptr) {
            error_ = "la clé « " + AnsiToUtf8(keyName) +
                     " » ne commence pas par une racine connue (HKEY_LOCAL_MACHINE, "
                     "HKEY_CURRENT_USER, HKEY_USERS...)";
        } else if (!key->Values().empty() || !key->Subkeys().empty()) {
            error_ = "deux sources pour la même clé « " + AnsiToUtf8(keyName) +
                     " » : chaque clé ne peut venir que d'une source";
            key = nullptr;
        }
        return key;
    }

    // A hive, a Windows 95/98/Me registry or a Wine registry file, told apart by their first
    // bytes; of a Windows 95/98/Me registry, only the keys at `below` when it is given.
    bool MountFile(const std::string& keyName, const std::string& path, std::string_view below = {}) {
        std::string head;
        FileError fileError;
        if (!ReadWholeFile(path, head, fileError, 64)) {
            error_ = "Impossible de lire « " + path + " » : " + fileError.Reason();
            return false;
        }
        if (!IsRegistryFile(head)) {
            error_ = LooksLikeRegFile(head)
                         ? path + " : c'est un fichier .reg ; donnez-le avec --reg"
                         : path + " : ni une ruche de registre (regf ou CREG) ni un fichier de registre de Wine";
            return false;
        }
        MemoryKey* mount = Claim(keyName);
        if (mount == nullptr) {
            return false;
        }
        if (LooksLikeWineRegistry(head)) {
            std::string text;
            if (!ReadWholeFile(path, text, fileError)) {
                error_ = "Impossible de lire « " + path + " » : " + fileError.Reason();
                return false;
            }
            return ReadWineRegistryText(text, path, *mount, error_);
        }
        HiveReadReport report;
        if (LooksLikeCreg(head) ? !ReadCregFile(path, below, *mount, report, error_)
                                : !ReadHiveFile(path, *mount, report, error_)) {
            return false;
        }
        if (report.Unsafe) {
            warnings_.push_back(path + " : ruche endommagée, lue autant qu'elle a pu l'être : "
                                       "des clés ou des valeurs peuvent manquer");
        } else if (report.DamagedKeys != 0) {
            warnings_.push_back(path + " : " + std::to_string(report.DamagedKeys) +
                                " clé(s) endommagée(s), lue(s) en partie");
        }
        return true;
    }

    bool MountWinePrefix(const std::string& folder) {
        const std::string system = folder + "/system.reg";
        const std::string user = folder + "/user.reg";
        const std::string userDefault = folder + "/userdef.reg";
        std::string userText;
        FileError fileError;
        if (!ReadWholeFile(user, userText, fileError)) {
            error_ = folder + " n'est pas un préfixe Wine lisible : « " + user + " » : " +
                     fileError.Reason();
            return false;
        }
        std::error_code ec;
        const std::string sid = WineRegistryUser(userText);
        return MountFile("HKEY_LOCAL_MACHINE", system) && MountFile("HKEY_CURRENT_USER", user) &&
               (sid.empty() || MountFile("HKEY_USERS\\" + sid, user)) &&
               (!fs::exists(userDefault, ec) || MountFile("HKEY_USERS\\.DEFAULT", userDefault));
    }

    bool MountWindows(const std::string& root, const std::string& user) {
        WindowsInstallation windows;
        if (!FindWindowsInstallation(root, user, windows, error_)) {
            return false;
        }
        if (windows.Is9x()) {
            return MountWindows9x(windows);
        }
        if (!MountFile("HKEY_LOCAL_MACHINE\\Software", windows.Software) ||
            !MountFile("HKEY_CURRENT_USER", windows.UserHive)) {
            return false;
        }
        if (!windows.Default.empty() &&
            !MountFile("HKEY_USERS\\.DEFAULT", windows.Default)) {
            return false;
        }
        const std::string sid = ProfileSid(windows.UserName);
        return sid.empty() || MountFile("HKEY_USERS\\" + sid, windows.UserHive);
    }

    // SYSTEM.DAT is the whole of HKEY_LOCAL_MACHINE and USER.DAT of HKEY_USERS; the current
    // user is a profile's USER.DAT, else the .DEFAULT user of USER.DAT.
    bool MountWindows9x(const WindowsInstallation& windows) {
        if (!MountFile("HKEY_LOCAL_MACHINE", windows.SystemDat) ||
            !MountFile("HKEY_USERS", windows.UserDat)) {
            return false;
        }
        if (windows.UserHive.empty()) {
            if (!windows.Profiles.empty()) {
                warnings_.push_back(windows.UserDat + " : profils d'utilisateurs (" +
                                    Joined(windows.Profiles) +
                                    ") ; l'utilisateur lu est .DEFAULT, choisissez un profil avec "
                                    "--user NOM");
            }
            return MountFile("HKEY_CURRENT_USER", windows.UserDat, ".DEFAULT");
        }
        return MountFile("HKEY_CURRENT_USER", windows.UserHive) &&
               MountFile("HKEY_USERS\\" + Utf8ToAnsi(windows.UserName), windows.UserHive);
    }

    // The SID whose ProfileImagePath ends with the profile's folder name.
    std::string ProfileSid(const std::string& userName) const {
        const MemoryKey* list = store_.FindKey(kProfileList);
        if (list == nullptr) {
            return {};
        }
        const std::string suffix = "\\" + Utf8ToAnsi(userName);
        for (const auto& profile : list->Subkeys()) {
            const RegValue* path = profile->FindValue("ProfileImagePath");
            if (path == nullptr) {
                continue;
            }
            std::string text(path->Data.begin(), path->Data.end());
            text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
            if (text.size() >= suffix.size() &&
                EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix)) {
                return profile->Name;
            }
        }
        return {};
    }

    MemoryStore& store_;
    std::vector<std::string>& warnings_;
    std::string& error_;
};

} // namespace

namespace {

// The folder holding SYSTEM.DAT and USER.DAT at the top of `root`, WINDOWS first.
fs::path FindWindows9xFolder(const fs::path& root) {
    const auto holdsRegistry = [](const fs::path& folder) {
        return !folder.empty() && !FindIgnoringCase(folder, "SYSTEM.DAT").empty() &&
               !FindIgnoringCase(folder, "USER.DAT").empty();
    };
    if (const fs::path windows = FindIgnoringCase(root, "WINDOWS"); holdsRegistry(windows)) {
        return windows;
    }
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && holdsRegistry(it->path())) {
            return it->path();
        }
    }
    return {};
}

// Profile folders holding `hive` below `profiles`, sorted, without the system's own.
std::vector<std::string> ProfileNames(const fs::path& profiles, std::string_view hive) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(profiles, ec), end; !profiles.empty() && !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsSystemProfile(name) && !FindIgnoringCase(it->path(), hive).empty()) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The profile of `names` that `user` names, without regard to case; names.end() when none.
std::vector<std::string>::const_iterator ChosenProfile(const std::vector<std::string>& names,
                                                       const std::string& user) {
    return std::find_if(names.begin(), names.end(), [&](const std::string& name) {
        return EqualsIgnoringCase(Utf8ToAnsi(name), Utf8ToAnsi(user));
    });
}

bool FindWindows9xInstallation(const std::string& root, const std::string& user,
                               WindowsInstallation& found, std::string& error) {
    const fs::path windows = FindWindows9xFolder(root);
    if (windows.empty()) {
        error = root + " : aucune installation de Windows trouvée (WINDOWS/system32/config/"
                       "software, WINNT/system32/config/software, ou SYSTEM.DAT et USER.DAT de "
                       "Windows 95/98/Me)";
        return false;
    }
    found.SystemDat = FindIgnoringCase(windows, "SYSTEM.DAT").string();
    found.UserDat = FindIgnoringCase(windows, "USER.DAT").string();
    const fs::path profiles = FindIgnoringCase(windows, "Profiles");
    found.Profiles = ProfileNames(profiles, "USER.DAT");
    if (user.empty()) {
        return true;
    }
    const auto chosen = ChosenProfile(found.Profiles, user);
    if (chosen == found.Profiles.end()) {
        error = root + " : pas de profil « " + user + " » (profils : " +
                (found.Profiles.empty() ? std::string("aucun") : Joined(found.Profiles)) + ")";
        return false;
    }
    found.UserName = *chosen;
    found.UserHive = FindIgnoringCase(profiles / *chosen, "USER.DAT").string();
    return true;
}

} // namespace

bool FindWindowsInstallation(const std::string& root, const std::string& user,
                             WindowsInstallation& found, std::string& error) {
    fs::path windows = FindIgnoringCase(root, "WINDOWS");
    if (windows.empty()) {
        windows = FindIgnoringCase(root, "WINNT");
    }
    const fs::path config = windows.empty() ? fs::path{} : FindPath(windows, {"system32", "config"});
    const fs::path software = config.empty() ? fs::path{} : FindIgnoringCase(config, "software");
    if (software.empty()) {
        return FindWindows9xInstallation(root, user, found, error);
    }
    found.Software = software.string();
    found.Default = FindIgnoringCase(config, "default").string();

    const fs::path profiles = FindIgnoringCase(root, "Documents and Settings");
    const std::vector<std::string> names = ProfileNames(profiles, "NTUSER.DAT");
    if (names.empty()) {
        error = root + " : aucun profil d'utilisateur avec NTUSER.DAT sous « Documents and "
                       "Settings »";
        return false;
    }
    if (user.empty() && names.size() > 1) {
        error = root + " : plusieurs profils (" + Joined(names) + ") ; choisissez-en un avec "
                                                                 "--user NOM";
        return false;
    }
    const auto chosen = user.empty() ? names.begin() : ChosenProfile(names, user);
    if (chosen == names.end()) {
        error = root + " : pas de profil « " + user + " » (profils : " + Joined(names) + ")";
        return false;
    }
    found.UserName = *chosen;
    found.UserHive = FindIgnoringCase(profiles / *chosen, "NTUSER.DAT").string();
    return true;
}

bool MountAll(MemoryStore& store, const StoreOptions& options, std::vector<std::string>& warnings,
              std::string& error) {
    Mounter mounter(store, warnings, error);
    return std::all_of(options.Mounts.begin(), options.Mounts.end(),
                       [&](const Mount& mount) { return mounter.Mount(mount, options.User); });
}

} // namespace quillon
