#include "registry/offline_registry.h"

#include "registry/ansi_codepage.h"
#include "registry/creg_reader.h"
#include "registry/disk_image.h"
#include "registry/file_io.h"
#include "registry/file_tree.h"
#include "registry/temp_file.h"
#include "registry/hive_reader.h"
#include "registry/reg_file_reader.h"
#include "registry/wine_registry_reader.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProfileList =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// Profiles of the system itself, never the user whose settings are wanted.
constexpr std::string_view kSystemProfiles[] = {"All Users", "Default User", "LocalService",
                                                "NetworkService"};

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

// The folder holding SYSTEM.DAT and USER.DAT at the top of `tree`, WINDOWS first.
std::string FindWindows9xFolder(const FileTree& tree) {
    const auto holdsRegistry = [&](const std::string& folder) {
        return !folder.empty() && !tree.Find(folder, "SYSTEM.DAT", false).empty() &&
               !tree.Find(folder, "USER.DAT", false).empty();
    };
    if (const std::string windows = tree.Find("", "WINDOWS", true); holdsRegistry(windows)) {
        return windows;
    }
    for (const FileTree::Entry& entry : tree.List("")) {
        if (entry.Folder && holdsRegistry(entry.Name)) {
            return entry.Name;
        }
    }
    return {};
}

// Profile folders of `profiles` holding `hive`, sorted, without the system's own.
std::vector<std::string> ProfileNames(const FileTree& tree, const std::string& profiles,
                                      std::string_view hive) {
    std::vector<std::string> names;
    for (const FileTree::Entry& entry : profiles.empty() ? std::vector<FileTree::Entry>{} : tree.List(profiles)) {
        if (entry.Folder && !IsSystemProfile(entry.Name) &&
            !tree.Find(profiles + "/" + entry.Name, hive, false).empty()) {
            names.push_back(entry.Name);
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

bool FindWindows9xInstallation(const FileTree& tree, const std::string& user,
                               WindowsInstallation& found, std::string& error) {
    const std::string windows = FindWindows9xFolder(tree);
    if (windows.empty()) {
        error = tree.Shown("") + " : aucune installation de Windows trouvée (WINDOWS/system32/config/"
                                 "software, WINNT/system32/config/software, ou SYSTEM.DAT et "
                                 "USER.DAT de Windows 95/98/Me)";
        return false;
    }
    found.SystemDat = tree.Find(windows, "SYSTEM.DAT", false);
    found.UserDat = tree.Find(windows, "USER.DAT", false);
    const std::string profiles = tree.Find(windows, "Profiles", true);
    found.Profiles = ProfileNames(tree, profiles, "USER.DAT");
    if (user.empty()) {
        return true;
    }
    const auto chosen = ChosenProfile(found.Profiles, user);
    if (chosen == found.Profiles.end()) {
        error = tree.Shown("") + " : pas de profil « " + user + " » (profils : " +
                (found.Profiles.empty() ? std::string("aucun") : Joined(found.Profiles)) + ")";
        return false;
    }
    found.UserName = *chosen;
    found.UserHive = tree.Find(profiles + "/" + *chosen, "USER.DAT", false);
    return true;
}

// The system folder of a Windows 2000/XP/2003 installation (WINDOWS or WINNT) holding
// system32/config/software; "" when there is none.
std::string FindNtSystemFolder(const FileTree& tree) {
    for (const char* name : {"WINDOWS", "WINNT"}) {
        const std::string folder = tree.Find("", name, true);
        if (!folder.empty() && !tree.FindPath(folder, {"system32", "config", "software"}, false).empty()) {
            return folder;
        }
    }
    return {};
}

// True when `tree` holds a Windows installation of either kind.
bool HoldsWindows(const FileTree& tree) {
    return !FindNtSystemFolder(tree).empty() || !FindWindows9xFolder(tree).empty();
}

// The file system of an image's volume that holds a Windows installation.
struct ImageVolumeTree {
    DiskImage::Volume Volume;
    std::unique_ptr<FileTree> Tree; // nullptr when none was chosen
};

// The volume of `image` numbered `partition` (1, 2 ...), or when `partition` is 0 the only one
// holding Windows; Tree is nullptr, with a French `error`, when there is none, or several.
ImageVolumeTree FindImageInstallation(DiskImage& image, int partition, std::string& error) {
    ImageVolumeTree chosen;
    std::vector<std::string> found;
    std::vector<std::string> seen;
    for (const DiskImage::Volume& volume : image.Volumes()) {
        if (partition != 0 && volume.Number != partition) {
            continue;
        }
        std::string why;
        std::unique_ptr<FileTree> tree = image.OpenFileSystem(volume, why);
        if (!tree && (partition != 0 || volume.Number == 0)) {
            error = why;
            return {};
        }
        seen.push_back(tree ? image.Shown(volume) + " : pas de Windows" : why);
        if (tree && HoldsWindows(*tree)) {
            found.push_back(image.Shown(volume));
            if (!chosen.Tree) {
                chosen = {volume, std::move(tree)};
            }
        }
    }
    if (partition != 0 && seen.empty()) {
        error = image.Path() + " : pas de partition " + std::to_string(partition) + " (" +
                std::to_string(image.Volumes().size()) + " partition(s) dans l'image)";
    } else if (found.empty()) {
        error = image.Path() + " : aucune installation de Windows trouvée dans l'image (" +
                (seen.empty() ? std::string("aucune partition") : Joined(seen)) + ")";
    } else if (found.size() > 1) {
        error = image.Path() + " : plusieurs installations de Windows (" + Joined(found) +
                ") ; choisissez-en une avec --partition N";
    } else {
        return chosen;
    }
    return {};
}


// Local paths of a tree's files for the readers, which open files by name: the files themselves
// in a folder of this machine, else copies in temporary files, deleted with this object. Each
// file is read once (a user's keys mounted twice are copied from the first mount).
class LocalCopies {
  public:
    explicit LocalCopies(const FileTree& tree) : tree_(tree) {}

    const FileTree& Tree() const { return tree_; }

    // "" with `error` set when the file cannot be read or copied.
    std::string PathOf(const std::string& file, std::string& error) {
        if (std::optional<std::string> local = tree_.LocalPath(file)) {
            return *local;
        }
        std::string bytes;
        FileError fileError;
        if (!tree_.Read(file, bytes, fileError)) {
            error = "Impossible de lire « " + tree_.Shown(file) + " » : " + fileError.Reason();
            return {};
        }
        std::optional<TemporaryFile> copy = TemporaryFile::Create(fileError);
        OutputFile out;
        if (!copy || !out.Open(copy->Path(), OutputFile::Mode::Create, fileError) ||
            (out.Write(bytes), !out.Close(fileError))) {
            error = "Impossible de copier « " + tree_.Shown(file) + " » dans « " + fileError.Path +
                    " » : " + fileError.Reason();
            return {};
        }
        return copies_.emplace(file, std::move(*copy)).first->second.Path();
    }

    // `text` naming the tree's files where it named their copies.
    std::string Shown(std::string text) const {
        for (const auto& [file, copy] : copies_) {
            text = ReplaceAll(text, copy.Path(), tree_.Shown(file));
        }
        return text;
    }

  private:
    const FileTree& tree_;
    std::map<std::string, TemporaryFile> copies_;
};

class Mounter {
  public:
    Mounter(MemoryStore& store, std::vector<std::string>& warnings, std::string& error,
            std::shared_ptr<const FileTree>* imageFiles)
        : store_(store), warnings_(warnings), error_(error), imageFiles_(imageFiles) {}

    bool Mount(const Mount& mount, const StoreOptions& options) {
        switch (mount.Source) {
        case Mount::Kind::WinePrefix: return MountWinePrefix(mount.Path);
        case Mount::Kind::Windows: return MountInstallation(LocalTree(mount.Path), options.User);
        case Mount::Kind::Image: return MountImage(mount.Path, options.Partition, options.User);
        case Mount::Kind::Hive: return MountFile(Utf8ToAnsi(mount.Key), mount.Path);
        case Mount::Kind::Reg: return MountRegFile(mount.Path);
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
                         : path + " : ni une ruche de registre (regf ou CREG) ni un fichier de registre de Wine";
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
        HiveReadReport report;
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
            error_ = folder + " n'est pas un préfixe Wine lisible : « " + user + " » : " +
                     fileError.Reason();
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
                warnings_.push_back(copies.Tree().Shown(windows.UserDat) + " : profils d'utilisateurs (" +
                                    Joined(windows.Profiles) +
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
    std::shared_ptr<const FileTree>* imageFiles_;
};

} // namespace

namespace {

// The users of the installation in `tree`, each with the options that open it from `mount`.
void ListUsers(const FileTree& tree, const std::string& where, const quillon::Mount& mount,
               int partition, std::vector<ListedInstallation>& found) {
    const bool nt = !FindNtSystemFolder(tree).empty();
    std::vector<std::string> users;
    if (nt) {
        users = ProfileNames(tree, tree.Find("", "Documents and Settings", true), "NTUSER.DAT");
    } else {
        const std::string windows = FindWindows9xFolder(tree);
        users = ProfileNames(tree, tree.Find(windows, "Profiles", true), "USER.DAT");
        users.insert(users.begin(), "");
    }
    for (const std::string& user : users) {
        StoreOptions options{{mount}, user};
        options.Partition = partition;
        found.push_back({where, nt ? "Windows 2000/XP/2003" : "Windows 95/98/Me",
                         user.empty() ? ".DEFAULT" : user, std::move(options)});
    }
}

} // namespace

bool ListInstallations(const StoreOptions& options, std::vector<ListedInstallation>& found,
                       std::string& error) {
    bool any = false;
    for (const quillon::Mount& mount : options.Mounts) {
        if (mount.Source == Mount::Kind::Windows) {
            any = true;
            const LocalTree tree(mount.Path);
            if (!HoldsWindows(tree)) {
                WindowsInstallation unused;
                return FindWindowsInstallation(tree, "", unused, error);
            }
            ListUsers(tree, mount.Path, mount, 0, found);
        } else if (mount.Source == Mount::Kind::Image) {
            any = true;
            std::shared_ptr<DiskImage> image = DiskImage::Open(mount.Path, error);
            if (!image) {
                return false;
            }
            for (const DiskImage::Volume& volume : image->Volumes()) {
                std::string why;
                std::unique_ptr<FileTree> tree = image->OpenFileSystem(volume, why);
                if (tree && HoldsWindows(*tree)) {
                    ListUsers(*tree, image->Shown(volume), mount, volume.Number, found);
                }
            }
            if (found.empty()) {
                return FindImageInstallation(*image, options.Partition, error).Tree != nullptr;
            }
        }
    }
    if (!any) {
        found.push_back({"registre donné", "", "", options});
    }
    return true;
}

bool FindWindowsInstallation(const FileTree& tree, const std::string& user,
                             WindowsInstallation& found, std::string& error) {
    const std::string windows = FindNtSystemFolder(tree);
    const std::string software =
        windows.empty() ? std::string() : tree.FindPath(windows, {"system32", "config", "software"}, false);
    if (software.empty()) {
        return FindWindows9xInstallation(tree, user, found, error);
    }
    found.Software = software;
    found.Default = tree.FindPath(windows, {"system32", "config", "default"}, false);

    const std::string profiles = tree.Find("", "Documents and Settings", true);
    const std::vector<std::string> names = ProfileNames(tree, profiles, "NTUSER.DAT");
    const std::string root = tree.Shown("");
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
    found.UserHive = tree.Find(profiles + "/" + *chosen, "NTUSER.DAT", false);
    return true;
}

bool MountAll(MemoryStore& store, const StoreOptions& options, std::vector<std::string>& warnings,
              std::string& error, std::shared_ptr<const FileTree>* imageFiles) {
    Mounter mounter(store, warnings, error, imageFiles);
    return std::all_of(options.Mounts.begin(), options.Mounts.end(),
                       [&](const Mount& mount) { return mounter.Mount(mount, options); });
}

} // namespace quillon
