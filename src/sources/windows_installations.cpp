#include "sources/windows_installations.h"

#include "sources/older_copies.h"
#include "text/ansi_codepage.h"

#include <algorithm>

namespace quillon {
namespace {

constexpr const char* kNtSystems = "Windows 2000/XP/2003";
constexpr const char* k9xSystems = "Windows 95/98/Me";

// Profiles of the system itself, never the user whose settings are wanted.
constexpr std::string_view kSystemProfiles[] = {"All Users", "Default User", "LocalService",
                                                "NetworkService"};

bool IsSystemProfile(const std::string& name) {
    return std::any_of(std::begin(kSystemProfiles), std::end(kSystemProfiles),
                       [&](std::string_view p) { return EqualsIgnoringCase(name, p); });
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
    for (const FileTree::Entry& entry :
         profiles.empty() ? std::vector<FileTree::Entry>{} : tree.List(profiles)) {
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
        error = tree.Shown("") +
                " : aucune installation de Windows trouvée (WINDOWS/system32/config/"
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
                (found.Profiles.empty() ? std::string("aucun") : JoinNames(found.Profiles)) + ")";
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
        if (!folder.empty() &&
            !tree.FindPath(folder, {"system32", "config", "software"}, false).empty()) {
            return folder;
        }
    }
    return {};
}

// True when `tree` holds a Windows installation of either kind, or the older copies of the
// registry of one whose own is lost.
bool HoldsWindows(const FileTree& tree) {
    return !FindNtSystemFolder(tree).empty() || !FindWindows9xFolder(tree).empty() ||
           HasOlderCopies(tree);
}

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
    const auto add = [&](const std::string& place, const std::string& system,
                         const std::string& user, const std::string& copy) {
        StoreOptions options;
        options.Mounts = {mount};
        options.User = user;
        options.Partition = partition;
        options.RestorePoint = copy;
        found.push_back({place, system, user.empty() ? ".DEFAULT" : user, std::move(options)});
    };
    if (nt || !FindWindows9xFolder(tree).empty()) {
        for (const std::string& user : users) {
            add(where, nt ? kNtSystems : k9xSystems, user, "");
        }
    }
    // Each older copy under its installation: a restore point's users by their SID, which
    // the copy's own SOFTWARE hive names.
    for (const OlderCopy& copy : FindOlderCopies(tree)) {
        const std::string place = where + ", " + copy.Shown;
        if (copy.IsCab()) {
            add(place, k9xSystems, "", copy.Name);
        }
        for (const auto& [sid, hive] : copy.Users) {
            add(place, kNtSystems, sid, copy.Name);
        }
    }
}

} // namespace

bool MayHoldInstallation(const std::string& root) {
    const LocalTree tree(root);
    for (const char* name : {"WINDOWS", "WINNT", "Documents and Settings"}) {
        if (!tree.Find("", name, true).empty()) {
            return true;
        }
    }
    return false;
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

bool FindWindowsInstallation(const FileTree& tree, const std::string& user,
                             WindowsInstallation& found, std::string& error) {
    const std::string windows = FindNtSystemFolder(tree);
    const std::string software =
        windows.empty() ? std::string()
                        : tree.FindPath(windows, {"system32", "config", "software"}, false);
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
        error = root + " : plusieurs profils (" + JoinNames(names) +
                ") ; choisissez-en un avec "
                "--user NOM";
        return false;
    }
    const auto chosen = user.empty() ? names.begin() : ChosenProfile(names, user);
    if (chosen == names.end()) {
        error = root + " : pas de profil « " + user + " » (profils : " + JoinNames(names) + ")";
        return false;
    }
    found.UserName = *chosen;
    found.UserHive = tree.Find(profiles + "/" + *chosen, "NTUSER.DAT", false);
    return true;
}

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
            // The whole image's own message already says why nothing could be read.
            error = volume.Number == 0 ? why : why + image.ReadFailure();
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
                (seen.empty() ? std::string("aucune partition") : JoinNames(seen)) + ")" +
                image.ReadFailure();
    } else if (found.size() > 1) {
        error = image.Path() + " : plusieurs installations de Windows (" + JoinNames(found) +
                ") ; choisissez-en une avec --partition N";
    } else {
        return chosen;
    }
    return {};
}

bool ListInstallations(const StoreOptions& options, std::vector<ListedInstallation>& found,
                       std::string& error, const StepReport& report, OpenedImages* images) {
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
            if (report && report("Ouverture de " + mount.Path)) {
                error = kReadingStopped;
                return false;
            }
            std::shared_ptr<DiskImage> image = OpenImage(images, mount.Path, error);
            if (!image) {
                return false;
            }
            for (const DiskImage::Volume& volume : image->Volumes()) {
                if (report && report("Recherche de Windows dans " + image->Shown(volume))) {
                    error = kReadingStopped;
                    return false;
                }
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

} // namespace quillon
