#include "stores/offline/offline_store.h"

#include "files/input_file.h"
#include "formats/creg_reader.h"
#include "formats/hive_reader.h"
#include "formats/reg_file_reader.h"
#include "formats/wine_registry_reader.h"
#include "sources/disk_image.h"
#include "sources/local_copies.h"
#include "sources/windows_installations.h"
#include "text/ansi_codepage.h"

#include <algorithm>
#include <filesystem>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProfileList =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

class Mounter {
  public:
    Mounter(MemoryStore& store, std::vector<std::string>& warnings, std::string& error,
            std::shared_ptr<const FileTree>* imageFiles)
        : store_(store), warnings_(warnings), error_(error), imageFiles_(imageFiles) {}

    bool Mount(const Mount& mount, const StoreOptions& options) {
        switch (mount.Source) {
        case Mount::Kind::WinePrefix:
            return MountWinePrefix(mount.Path);
        case Mount::Kind::Windows:
            return MountInstallation(LocalTree(mount.Path), options.User);
        case Mount::Kind::Image:
            return MountImage(mount.Path, options.Partition, options.User);
        case Mount::Kind::Hive:
            return MountFile(Utf8ToAnsi(mount.Key), mount.Path);
        case Mount::Kind::Reg:
            return MountRegFile(mount.Path);
        }
        return false;
    }

  private:
    // A .reg file; a hive or a Wine registry file given as one is pointed to the right option.
    bool MountRegFile(const std::string& path) {
        std::string head;
        if (ReadRegFile(path, store_, error_, &head)) {
            return true;
        }
        if (IsRegistryFile(head)) {
            error_ =
                path + " : c'est " +
                (LooksLikeWineRegistry(head) ? "un fichier de registre Wine"
                 : LooksLikeCreg(head)       ? "un registre de Windows 95/98/Me"
                                             : "une ruche") +
                ", pas un fichier .reg : donnez-le avec --hive CLÉ=FICHIER ou --load NOM=FICHIER";
        }
        return false;
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
    // bytes.
    bool MountFile(const std::string& keyName, const std::string& path) {
        // A Wine registry file is text, read whole in the same pass (it may be a pipe); the
        // others are read by their libraries.
        std::string bytes;
        FileError fileError;
        if (!ReadFileAfterHead(path, 64, LooksLikeWineRegistry, bytes, fileError)) {
            error_ = "Impossible de lire « " + path + " » : " + fileError.Reason();
            return false;
        }
        const std::string_view head = std::string_view(bytes).substr(0, 64);
        if (!IsRegistryFile(head)) {
            error_ = LooksLikeRegFile(head)
                         ? path + " : c'est un fichier .reg ; donnez-le avec --reg"
                         : path + " : ni une ruche de registre (regf ou CREG) ni un fichier de "
                                  "registre de Wine";
            return false;
        }
        MemoryKey* mount = Claim(keyName);
        if (mount == nullptr) {
            return false;
        }
        if (LooksLikeWineRegistry(head)) {
            return ReadWineRegistryText(bytes, path, *mount, error_);
        }
        // Their libraries open the file again by its name, which a pipe's bytes cannot survive.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            error_ = path + " : une ruche se lit dans un fichier, pas dans un tube : "
                            "copiez-la d'abord dans un fichier";
            return false;
        }
        ReadReport report;
        if (LooksLikeCreg(head) ? !ReadCregFile(path, *mount, report, error_)
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

    // A user's keys go to two places (HKEY_CURRENT_USER and HKEY_USERS\<SID>): the second is a
    // copy of the key `from` mounted just before, so that the file is read once, and what it
    // said about damage is said once.
    bool MountCopy(const std::string& keyName, const std::string& from) {
        MemoryKey* mount = Claim(keyName);
        if (mount != nullptr) {
            mount->AppendCopyOf(*store_.FindKey(from));
        }
        return mount != nullptr;
    }

    bool MountWinePrefix(const std::string& folder) {
        const std::string system = folder + "/system.reg";
        const std::string user = folder + "/user.reg";
        const std::string userDefault = folder + "/userdef.reg";
        std::string userText;
        FileError fileError;
        if (!ReadWholeFile(user, userText, fileError)) {
            error_ = folder + " n'est pas un préfixe Wine lisible : « " + user +
                     " » : " + fileError.Reason();
            return false;
        }
        std::error_code ec;
        const std::string sid = WineRegistryUser(userText);
        return MountFile("HKEY_LOCAL_MACHINE", system) && MountFile("HKEY_CURRENT_USER", user) &&
               (sid.empty() || MountCopy("HKEY_USERS\\" + sid, "HKEY_CURRENT_USER")) &&
               (!fs::exists(userDefault, ec) || MountFile("HKEY_USERS\\.DEFAULT", userDefault));
    }

    // The installation of the image's partition `partition`, or of its only partition holding
    // one when `partition` is 0.
    bool MountImage(const std::string& path, int partition, const std::string& user) {
        std::shared_ptr<DiskImage> image = DiskImage::Open(path, error_);
        if (!image) {
            return false;
        }
        std::string why;
        ImageVolumeTree found = FindImageInstallation(*image, partition, why);
        if (!found.Tree) {
            error_ = why;
            return false;
        }
        if (!MountInstallation(*found.Tree, user)) {
            return false;
        }
        if (imageFiles_ != nullptr) {
            *imageFiles_ = std::move(found.Tree);
        }
        return true;
    }

    // The Windows installation found in `tree`, its hives where Windows would load them.
    bool MountInstallation(const FileTree& tree, const std::string& user) {
        WindowsInstallation windows;
        if (!FindWindowsInstallation(tree, user, windows, error_)) {
            return false;
        }
        LocalCopies copies(tree);
        return windows.Is9x() ? MountWindows9x(copies, windows) : MountWindowsNt(copies, windows);
    }

  private:
    bool MountWindowsNt(LocalCopies& copies, const WindowsInstallation& windows) {
        if (!MountTreeFile(copies, "HKEY_LOCAL_MACHINE\\Software", windows.Software) ||
            !MountTreeFile(copies, "HKEY_CURRENT_USER", windows.UserHive)) {
            return false;
        }
        if (!windows.Default.empty() &&
            !MountTreeFile(copies, "HKEY_USERS\\.DEFAULT", windows.Default)) {
            return false;
        }
        const std::string sid = ProfileSid(windows.UserName);
        return sid.empty() || MountCopy("HKEY_USERS\\" + sid, "HKEY_CURRENT_USER");
    }

    // SYSTEM.DAT is the whole of HKEY_LOCAL_MACHINE and USER.DAT of HKEY_USERS; the current
    // user is a profile's USER.DAT, else the .DEFAULT user of USER.DAT.
    bool MountWindows9x(LocalCopies& copies, const WindowsInstallation& windows) {
        if (!MountTreeFile(copies, "HKEY_LOCAL_MACHINE", windows.SystemDat) ||
            !MountTreeFile(copies, "HKEY_USERS", windows.UserDat)) {
            return false;
        }
        if (windows.UserHive.empty()) {
            if (!windows.Profiles.empty()) {
                warnings_.push_back(copies.Tree().Shown(windows.UserDat) +
                                    " : profils d'utilisateurs (" + JoinNames(windows.Profiles) +
                                    ") ; l'utilisateur lu est .DEFAULT, choisissez un profil avec "
                                    "--user NOM");
            }
            if (store_.FindKey("HKEY_USERS\\.DEFAULT") == nullptr) {
                error_ = "Impossible de lire le registre « " +
                         copies.Tree().Shown(windows.UserDat) + " » : pas de clé « .DEFAULT »";
                return false;
            }
            return MountCopy("HKEY_CURRENT_USER", "HKEY_USERS\\.DEFAULT");
        }
        return MountTreeFile(copies, "HKEY_CURRENT_USER", windows.UserHive) &&
               MountCopy("HKEY_USERS\\" + Utf8ToAnsi(windows.UserName), "HKEY_CURRENT_USER");
    }

    // A file of the tree, through its local copy; messages name the tree's file.
    bool MountTreeFile(LocalCopies& copies, const std::string& keyName, const std::string& file) {
        const std::string path = copies.PathOf(file, error_);
        const std::size_t warningsBefore = warnings_.size();
        const bool mounted = !path.empty() && MountFile(keyName, path);
        error_ = copies.Shown(error_);
        for (std::size_t i = warningsBefore; i < warnings_.size(); ++i) {
            warnings_[i] = copies.Shown(warnings_[i]);
        }
        return mounted;
    }

    // The SID whose ProfileImagePath ends with the profile's folder name.
    std::string ProfileSid(const std::string& userName) const {
        const MemoryKey* list = store_.FindKey(kProfileList);
        if (list == nullptr) {
            return {};
        }
        // Built in two steps: GCC 12 sees a false overlap in "\\" + text (-Werror=restrict).
        std::string suffix(1, '\\');
        suffix += Utf8ToAnsi(userName);
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
    std::shared_ptr<const FileTree>* imageFiles_;
};

} // namespace

bool MountAll(MemoryStore& store, const StoreOptions& options, std::vector<std::string>& warnings,
              std::string& error, std::shared_ptr<const FileTree>* imageFiles) {
    Mounter mounter(store, warnings, error, imageFiles);
    return std::all_of(options.Mounts.begin(), options.Mounts.end(),
                       [&](const Mount& mount) { return mounter.Mount(mount, options); });
}

} // namespace quillon
