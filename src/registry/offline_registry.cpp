#include "registry/offline_registry.h"

#include "registry/ansi_codepage.h"
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
        if (ReadWholeFile(path, head, fileError, 64) &&
            (LooksLikeHive(head) || LooksLikeWineRegistry(head))) {
            error_ = path + " : c'est " + (LooksLikeHive(head) ? "une ruche" : "un fichier de registre Wine") +
                     ", pas un fichier .reg : donnez-le avec --hive CLÉ=FICHIER ou --load NOM=FICHIER";
            return false;
        }
        return ReadRegFile(path, store_, error_);
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

    // A hive or a Wine registry file, told apart by their first bytes.
    bool MountFile(const std::string& keyName, const std::string& path) {
        std::string head;
        FileError fileError;
        if (!ReadWholeFile(path, head, fileError, 64)) {
            error_ = "Impossible de lire « " + path + " » : " + fileError.Reason();
            return false;
        }
        if (!LooksLikeHive(head) && !LooksLikeWineRegistry(head)) {
            error_ = DescribeUnknownFile(path, head);
            return false;
        }
        MemoryKey* mount = Claim(keyName);
        if (mount == nullptr) {
            return false;
        }
        if (LooksLikeHive(head)) {
            HiveReadReport report;
            if (!ReadHiveFile(path, *mount, report, error_)) {
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
        std::string text;
        if (!ReadWholeFile(path, text, fileError)) {
            error_ = "Impossible de lire « " + path + " » : " + fileError.Reason();
            return false;
        }
        return ReadWineRegistryText(text, path, *mount, error_);
    }

    static std::string DescribeUnknownFile(const std::string& path, std::string_view head) {
        if (head.starts_with("CREG")) {
            return path + " : registre de Windows 95/98/Me (format CREG), qui n'est pas une "
                          "ruche regf : Quillon ne lit que les registres de Windows 2000, XP et "
                          "suivants";
        }
        if (LooksLikeRegFile(head)) {
            return path + " : c'est un fichier .reg ; donnez-le avec --reg";
        }
        return path + " : ni une ruche de registre (regf) ni un fichier de registre de Wine";
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
        if (!FindWindowsInstallation(root, user, windows, error_) ||
            !MountFile("HKEY_LOCAL_MACHINE\\Software", windows.Software) ||
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

bool FindWindowsInstallation(const std::string& root, const std::string& user,
                             WindowsInstallation& found, std::string& error) {
    fs::path windows = FindIgnoringCase(root, "WINDOWS");
    if (windows.empty()) {
        windows = FindIgnoringCase(root, "WINNT");
    }
    const fs::path config = windows.empty() ? fs::path{} : FindPath(windows, {"system32", "config"});
    const fs::path software = config.empty() ? fs::path{} : FindIgnoringCase(config, "software");
    if (software.empty()) {
        error = root + " : aucune installation de Windows trouvée (WINDOWS/system32/config/"
                       "software ou WINNT/system32/config/software)";
        return false;
    }
    found.Software = software.string();
    found.Default = FindIgnoringCase(config, "default").string();

    const fs::path profiles = FindIgnoringCase(root, "Documents and Settings");
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(profiles, ec), end; !profiles.empty() && !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsSystemProfile(name) && !FindIgnoringCase(it->path(), "NTUSER.DAT").empty()) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
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
    const auto chosen = user.empty() ? names.begin()
                                     : std::find_if(names.begin(), names.end(), [&](auto& n) {
                                           return EqualsIgnoringCase(Utf8ToAnsi(n),
                                                                     Utf8ToAnsi(user));
                                       });
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
