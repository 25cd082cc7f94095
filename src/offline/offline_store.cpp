#include "offline/offline_store.h"

#include "disks/disk_image.h"
#include "files/input_file.h"
#include "files/text_lines.h"
#include "formats/creg_reader.h"
#include "formats/hive_reader.h"
#include "formats/hive_repair.h"
#include "formats/reg_file_reader.h"
#include "formats/wine_registry_reader.h"
#include "registry/profile_list.h"
#include "sources/local_copies.h"
#include "sources/older_copies.h"
#include "sources/registry_cab.h"
#include "sources/windows_installations.h"
#include "text/ansi_codepage.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace quillon {
namespace {

// How much of a registry file's start tells its kind: regf, CREG, a Wine file's header, a .reg's.
constexpr std::size_t kSignatureBytes = 64;

namespace fs = std::filesystem;

class Mounter {
  public:
    Mounter(MemoryStore& store, std::vector<std::string>& warnings, std::string& error,
            std::shared_ptr<const FileTree>* imageFiles, OpenedHives* hives, OpenedImages* images)
        : store_(store), warnings_(warnings), error_(error), imageFiles_(imageFiles), hives_(hives),
          images_(images) {}

    bool Mount(const Mount& mount, const StoreOptions& options) {
        switch (mount.Source) {
        case Mount::Kind::WinePrefix:
            return MountWinePrefix(mount.Path);
        case Mount::Kind::Windows:
            return MountInstallation(LocalTree(mount.Path), options);
        case Mount::Kind::Image:
            return MountImage(mount.Path, options);
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
        if (ReadRegFile(path, store_, error_, &head, &warnings_)) {
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
    // bytes. A hive's transaction logs are looked for beside `treeFile` in `tree`, else beside
    // `path`.
    bool MountFile(const std::string& keyName, const std::string& path,
                   const FileTree* tree = nullptr, const std::string& treeFile = {},
                   const std::string& shown = {}) {
        // A Wine registry file is text, read whole in the same pass (it may be a pipe); the
        // others are read by their libraries.
        std::string bytes;
        FileError fileError;
        if (!ReadFileAfterHead(path, 64, LooksLikeWineRegistry, bytes, fileError)) {
            error_ = "Impossible de lire « " + path + " » : " + fileError.Reason();
            return false;
        }
        const std::string_view head = std::string_view(bytes).substr(0, kSignatureBytes);
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
        const std::string& named = shown.empty() ? path : shown;
        if (LooksLikeCreg(head) ? !ReadCreg(path, named, *mount, report)
                                : !ReadRegfHive(path, tree, treeFile, named, *mount, report)) {
            return false;
        }
        if (!report.WorkedAround.empty()) {
            WarnOfDamage(path + " : registre endommagé", "lu", report.WorkedAround);
        }
        if (report.Unsafe) {
            warnings_.push_back(path + " : ruche endommagée, lue autant qu'elle a pu l'être : "
                                       "des clés ou des valeurs peuvent manquer");
        }
        return true;
    }

    // A regf hive as Windows would load it: left dirty, with its logs applied; damaged outside
    // its keys, worked around; each time on a private copy, with a warning. A hive that reads
    // as it is costs no copy. Its keys are read when asked for; a private copy is removed once
    // open, which its mapping outlives.
    bool ReadRegfHive(const std::string& path, const FileTree* tree, const std::string& treeFile,
                      const std::string& shown, MemoryKey& mount, ReadReport& report) {
        std::string baseBlock;
        FileError fileError;
        if (!ReadWholeFile(path, baseBlock, fileError, kHiveBaseBlockSize)) {
            error_ = "Impossible de lire « " + path + " » : " + fileError.Reason();
            return false;
        }
        const bool dirty = HiveNeedsRepair(baseBlock);
        std::string firstError;
        if (!dirty) {
            if (std::shared_ptr<KeyTree> hive = OpenHive(path, shown, report, firstError)) {
                MountHive(mount, std::move(hive));
                return true;
            }
        }
        // Left dirty, or refused whole: read again once repaired, if anything can be.
        const fs::path parent = fs::path(path).parent_path();
        const LocalTree folder(parent.empty() ? "." : parent.string());
        const FileTree& logs = tree != nullptr ? *tree : folder;
        const std::string file = tree != nullptr ? treeFile : fs::path(path).filename().string();
        const std::size_t warningsBefore = warnings_.size();
        std::optional<TemporaryFile> copy;
        bool cutShort = false;
        if (!RepairedCopy(path, dirty ? &logs : nullptr, file, copy, cutShort)) {
            return false;
        }
        std::string copyError;
        if (std::shared_ptr<KeyTree> hive =
                OpenHive(copy ? copy->Path() : path, shown, report, copyError, cutShort)) {
            MountHive(mount, std::move(hive));
            return true;
        }
        // Nothing could be read: what was repaired does not matter, the file is named.
        warnings_.resize(warningsBefore);
        error_ = !firstError.empty() ? firstError
                 : copy              ? ReplaceAll(copyError, copy->Path(), path)
                                     : copyError;
        return false;
    }

    bool ReadCreg(const std::string& path, const std::string& shown, MemoryKey& mount,
                  ReadReport& report) {
        std::shared_ptr<KeyTree> registry = OpenCregFile(path, shown, report, error_);
        if (!registry) {
            return false;
        }
        MountHive(mount, std::move(registry));
        return true;
    }

    void MountHive(MemoryKey& mount, std::shared_ptr<KeyTree> hive) {
        store_.Mount(mount, hive, hive->Root());
        lastHive_ = std::move(hive);
    }

    // Reads the hive at `path` and its logs beside `file` in `tree`, repairs it, warns of what
    // was done; `copy` holds the repaired hive when it changed. false when a file cannot be
    // read or the copy written. `cutShort`: the file ended inside its bins.
    bool RepairedCopy(const std::string& path, const FileTree* tree, const std::string& file,
                      std::optional<TemporaryFile>& copy, bool& cutShort) {
        std::string bytes;
        FileError fileError;
        if (!ReadWholeFile(path, bytes, fileError)) {
            error_ = "Impossible de lire « " + path + " » : " + fileError.Reason();
            return false;
        }
        const HiveRepair repair =
            RepairHive(bytes, tree != nullptr ? LogsBeside(*tree, file) : std::vector<HiveLog>{});
        WarnOfRepair(path, repair);
        cutShort = repair.CutShort;
        if (!repair.Changed) {
            return true;
        }
        std::optional<TemporaryFile> made = PrivateCopyOf(bytes, fileError);
        if (!made) {
            error_ = "Impossible d'écrire la copie réparée de « " + path + " » dans « " +
                     fileError.Path + " » : " + fileError.Reason();
            return false;
        }
        copy.emplace(std::move(*made));
        return true;
    }

    // The transaction logs that lie beside `file` in `tree`, names found without regard to case.
    static std::vector<HiveLog> LogsBeside(const FileTree& tree, const std::string& file) {
        const fs::path at(file);
        const std::string folder = at.parent_path().string();
        std::vector<HiveLog> logs;
        for (const std::string& name : HiveLogNames(at.filename().string())) {
            const std::string found = tree.Find(folder, name, false);
            HiveLog log{fs::path(found).filename().string(), {}};
            FileError ignored;
            if (!found.empty() && tree.Read(found, log.Bytes, ignored)) {
                logs.push_back(std::move(log));
            }
        }
        return logs;
    }

    void WarnOfRepair(const std::string& path, const HiveRepair& repair) {
        const std::string lastSaved = " : ruche lue telle qu'enregistrée en dernier, ses "
                                      "dernières modifications peuvent manquer";
        switch (repair.State) {
        case HiveRepair::Logs::NotNeeded:
            break;
        case HiveRepair::Logs::Applied:
            warnings_.push_back(
                path + " : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; " +
                (repair.LogsApplied.size() == 1
                     ? "son journal « " + repair.LogsApplied.front() + " » a été appliqué"
                     : "ses journaux « " + JoinNames(repair.LogsApplied) + " » ont été appliqués") +
                " à une copie, comme Windows l'aurait fait");
            break;
        case HiveRepair::Logs::NotApplied:
            warnings_.push_back(
                path + " : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; " +
                WhyLogsNotApplied(repair) + lastSaved);
            break;
        case HiveRepair::Logs::None:
            warnings_.push_back(path +
                                " : ruche laissée ouverte par Windows (arrêt sans "
                                "fermeture propre), sans journal à côté d'elle" +
                                lastSaved);
            break;
        }
        if (!repair.DamageWorkedAround.empty()) {
            WarnOfDamage(path + " : ruche endommagée", "lue", repair.DamageWorkedAround);
        }
    }

    // Of logs that were not applied: those damaged or another hive's, then those left stale by
    // an earlier session.
    static std::string WhyLogsNotApplied(const HiveRepair& repair) {
        std::string why;
        const std::vector<std::string>& refused = repair.LogsRefused;
        const std::vector<std::string>& stale = repair.LogsStale;
        if (!refused.empty()) {
            why = refused.size() == 1
                      ? "son journal « " + refused.front() +
                            " » est endommagé ou n'est pas le sien, il n'a pas été appliqué"
                      : "ses journaux « " + JoinNames(refused) +
                            " » sont endommagés ou ne sont pas les siens, ils n'ont pas été "
                            "appliqués";
        }
        if (!stale.empty()) {
            why += (why.empty() ? "" : " ; ") +
                   (stale.size() == 1
                        ? "son journal « " + stale.front() +
                              " » est périmé (plus ancien que le dernier enregistrement de la "
                              "ruche), il n'a pas été appliqué"
                        : "ses journaux « " + JoinNames(stale) +
                              " » sont périmés (plus anciens que le dernier enregistrement de la "
                              "ruche), ils n'ont pas été appliqués");
        }
        return why;
    }

    // "FILE : ruche endommagée (what ; was ; wrong), lue sur une copie corrigée ...".
    void WarnOfDamage(const std::string& damaged, const std::string& read,
                      const std::vector<std::string>& parts) {
        std::string damage;
        for (const std::string& part : parts) {
            damage += (damage.empty() ? "" : " ; ") + part;
        }
        warnings_.push_back(damaged + " (" + damage + "), " + read +
                            " sur une copie corrigée ; le fichier n'a pas été modifié");
    }

    // A user's keys go to two places (HKEY_CURRENT_USER and HKEY_USERS\<SID>): the second is a
    // copy of the key `from` mounted just before, so that the file is read once, and what it
    // said about damage is said once.
    bool MountCopy(const std::string& keyName, const std::string& from) {
        MemoryKey* mount = Claim(keyName);
        return mount != nullptr && store_.MountCopyOf(*mount, from);
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
    bool MountImage(const std::string& path, const StoreOptions& options) {
        std::shared_ptr<DiskImage> image = OpenImage(images_, path, error_);
        if (!image) {
            return false;
        }
        warnings_.insert(warnings_.end(), image->Warnings().begin(), image->Warnings().end());
        std::string why;
        ImageVolumeTree found = FindImageInstallation(*image, options.Partition, why);
        if (!found.Tree) {
            error_ = why;
            return false;
        }
        if (!MountInstallation(*found.Tree, options)) {
            return false;
        }
        if (imageFiles_ != nullptr) {
            *imageFiles_ = std::move(found.Tree);
        }
        return true;
    }

    // The Windows installation found in `tree`, its hives where Windows would load them.
    bool MountInstallation(const FileTree& tree, const StoreOptions& options) {
        if (!options.RestorePoint.empty()) {
            return MountOlderCopy(tree, options.RestorePoint, options.User);
        }
        WindowsInstallation windows;
        if (!FindWindowsInstallation(tree, options.User, windows, error_)) {
            return false;
        }
        LocalCopies copies(tree);
        return windows.Is9x() ? MountWindows9x(copies, windows) : MountWindowsNt(copies, windows);
    }

    // The older copy of the registry named `name` ("RP12", "RB001") instead of the current one.
    bool MountOlderCopy(const FileTree& tree, const std::string& name, const std::string& user) {
        const std::vector<OlderCopy> copies = FindOlderCopies(tree);
        const auto copy = std::find_if(copies.begin(), copies.end(), [&](const OlderCopy& c) {
            return EqualsIgnoringCase(c.Name, Utf8ToAnsi(name));
        });
        if (copy == copies.end()) {
            std::vector<std::string> names;
            for (const OlderCopy& c : copies) {
                names.push_back(c.Name);
            }
            error_ = tree.Shown("") + " : pas de copie plus ancienne du registre nommée « " + name +
                     " » (" +
                     (names.empty() ? std::string("aucune") : "copies : " + JoinNames(names)) + ")";
            return false;
        }
        LocalCopies local(tree);
        return copy->IsCab() ? MountRegistryCab(local, *copy, user)
                             : MountRestorePoint(local, *copy, user);
    }

    // A Windows XP restore point: its SOFTWARE and DEFAULT hives, and the user's, chosen by
    // SID or by the profile name that the copy's own ProfileList gives it.
    bool MountRestorePoint(LocalCopies& copies, const OlderCopy& copy, const std::string& user) {
        if (!MountTreeFile(copies, "HKEY_LOCAL_MACHINE\\Software", copy.Software) ||
            (!copy.Default.empty() &&
             !MountTreeFile(copies, "HKEY_USERS\\.DEFAULT", copy.Default))) {
            return false;
        }
        std::vector<std::string> names;
        const std::pair<std::string, std::string>* chosen = nullptr;
        for (const auto& entry : copy.Users) {
            const std::string name = ProfileName(entry.first);
            names.push_back(name.empty() ? entry.first : name);
            if (EqualsIgnoringCase(entry.first, Utf8ToAnsi(user)) ||
                (!name.empty() && EqualsIgnoringCase(name, Utf8ToAnsi(user))) ||
                (user.empty() && copy.Users.size() == 1)) {
                chosen = &entry;
            }
        }
        const std::string where = copies.Tree().Shown("") + ", " + copy.Shown;
        if (chosen == nullptr) {
            error_ = where + " : " +
                     (names.empty()  ? std::string("aucune ruche d'utilisateur")
                      : user.empty() ? "plusieurs utilisateurs (" + JoinNames(names) +
                                           ") ; choisissez-en un avec --user NOM"
                                     : "pas d'utilisateur « " + user +
                                           " » (utilisateurs : " + JoinNames(names) + ")");
            return false;
        }
        return MountTreeFile(copies, "HKEY_CURRENT_USER", chosen->second) &&
               MountCopy("HKEY_USERS\\" + Utf8ToAnsi(chosen->first), "HKEY_CURRENT_USER");
    }

    // A Windows 98 registry backup: its SYSTEM.DAT and USER.DAT, taken out of the cabinet into
    // private copies; the user is .DEFAULT (the cabinet keeps no profile).
    bool MountRegistryCab(LocalCopies& copies, const OlderCopy& copy, const std::string& user) {
        const std::string where = copies.Tree().Shown(copy.Cab);
        if (!user.empty()) {
            error_ = where + " : une sauvegarde du registre de Windows 98 ne garde que "
                             "l'utilisateur .DEFAULT ; ne donnez pas --user";
            return false;
        }
        const std::string cab = copies.PathOf(copy.Cab, error_);
        if (cab.empty()) {
            return false;
        }
        for (const auto& [member, key] :
             {std::pair<const char*, const char*>{"SYSTEM.DAT", "HKEY_LOCAL_MACHINE"},
              {"USER.DAT", "HKEY_USERS"}}) {
            FileError fileError;
            std::optional<TemporaryFile> taken = PrivateCopyOf("", fileError);
            if (!taken) {
                error_ = "Impossible de créer « " + fileError.Path + " » : " + fileError.Reason();
                return false;
            }
            const std::size_t warningsBefore = warnings_.size();
            // The key tree names the member as the user knows it in the warnings it gives as
            // its keys are read; what is said on mounting names the copy, renamed below.
            const std::string shown = where + " : " + member;
            const bool mounted = ExtractCabMember(cab, member, taken->Path(), error_) &&
                                 MountFile(key, taken->Path(), nullptr, {}, shown);
            error_ = ReplaceAll(ReplaceAll(error_, taken->Path(), shown), cab, where);
            for (std::size_t i = warningsBefore; i < warnings_.size(); ++i) {
                warnings_[i] = ReplaceAll(warnings_[i], taken->Path(), shown);
            }
            if (!mounted) {
                return false;
            }
        }
        return MountCopy("HKEY_CURRENT_USER", "HKEY_USERS\\.DEFAULT");
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
            if (!store_.HasKey("HKEY_USERS\\.DEFAULT")) {
                error_ = "Impossible de lire le registre « " +
                         copies.Tree().Shown(windows.UserDat) + " » : pas de clé « .DEFAULT »";
                return false;
            }
            return MountCopy("HKEY_CURRENT_USER", "HKEY_USERS\\.DEFAULT");
        }
        return MountTreeFile(copies, "HKEY_CURRENT_USER", windows.UserHive) &&
               MountCopy("HKEY_USERS\\" + Utf8ToAnsi(windows.UserName), "HKEY_CURRENT_USER");
    }

    // A file of the tree, through its local copy; messages name the tree's file. A hive opened
    // before for another user is mounted again as it is.
    bool MountTreeFile(LocalCopies& copies, const std::string& keyName, const std::string& file) {
        const std::string shown = copies.Tree().Shown(file);
        if (std::shared_ptr<KeyTree> opened = hives_ != nullptr ? hives_->Find(shown) : nullptr) {
            MemoryKey* mount = Claim(keyName);
            if (mount != nullptr) {
                store_.Mount(*mount, opened, opened->Root());
            }
            return mount != nullptr;
        }
        lastHive_.reset();
        const std::string path = copies.PathOf(file, error_);
        const std::size_t warningsBefore = warnings_.size();
        const bool mounted =
            !path.empty() && MountFile(keyName, path, &copies.Tree(), file, copies.Shown(path));
        error_ = copies.Shown(error_);
        for (std::size_t i = warningsBefore; i < warnings_.size(); ++i) {
            warnings_[i] = copies.Shown(warnings_[i]);
        }
        if (mounted && hives_ != nullptr && lastHive_) {
            hives_->Keep(shown, lastHive_);
        }
        return mounted;
    }

    // The profile folder's name that the mounted ProfileList gives the user `sid`; "" when
    // none.
    std::string ProfileName(const std::string& sid) const {
        const std::string text = ProfilePath(sid);
        return text.substr(text.find_last_of('\\') + 1);
    }

    // The SID whose ProfileImagePath ends with the profile's folder name.
    std::string ProfileSid(const std::string& userName) const {
        // Built in two steps: GCC 12 sees a false overlap in "\\" + text (-Werror=restrict).
        std::string suffix(1, '\\');
        suffix += Utf8ToAnsi(userName);
        Reg_access registry(store_);
        for (const std::string& sid : ProfileSids(registry)) {
            const std::string text = ProfilePath(sid);
            if (text.size() >= suffix.size() &&
                EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix)) {
                return sid;
            }
        }
        return {};
    }

    // The user's ProfileImagePath up to its terminating zero; "" when there is none.
    std::string ProfilePath(const std::string& sid) const {
        Reg_access registry(store_);
        return ProfileImagePath(registry, sid);
    }

    MemoryStore& store_;
    std::vector<std::string>& warnings_;
    std::string& error_;
    std::shared_ptr<const FileTree>* imageFiles_;
    OpenedHives* hives_;
    OpenedImages* images_;
    std::shared_ptr<KeyTree> lastHive_; // the regf hive mounted last
};

} // namespace

std::shared_ptr<KeyTree> OpenedHives::Find(const std::string& shown) const {
    const auto found = hives_.find(shown);
    return found == hives_.end() ? nullptr : found->second;
}

void OpenedHives::Keep(const std::string& shown, std::shared_ptr<KeyTree> hive) {
    hives_.emplace(shown, std::move(hive));
}

bool MountAll(MemoryStore& store, const StoreOptions& options, std::vector<std::string>& warnings,
              std::string& error, std::shared_ptr<const FileTree>* imageFiles, OpenedHives* hives,
              OpenedImages* images) {
    Mounter mounter(store, warnings, error, imageFiles, hives, images);
    return std::all_of(options.Mounts.begin(), options.Mounts.end(),
                       [&](const Mount& mount) { return mounter.Mount(mount, options); });
}

} // namespace quillon
