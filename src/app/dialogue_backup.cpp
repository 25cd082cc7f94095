// The backup commands: tab 1 saves the active settings, tab 2 those of another registry hive,
// and the lookup of tab 2 finds the identity and store folder in that hive.
#include "app/dialogue.h"
#include "backup/backup_files.h"
#include "export/key_export.h"
#include "files/input_file.h"
#include "files/temp_file.h"
#include "files/text_lines.h"
#include "registry/mail_client_keys.h"
#include "text/native_text.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

namespace quillon {
namespace {

constexpr const char* kBackupTitle = "Sauvegarde des paramètres Outlook Express";
constexpr const char* kIdentityTitle = "Recherche de l'identité dans le registre";
constexpr const char* kSignaturesTitle = "Recherche de signatures dans le registre";
constexpr const char* kPasswordStores[] = {
    "Software\\Microsoft\\Protected Storage System Provider",
    "Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW"};

std::string LocalDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[16];
    std::strftime(text, sizeof text, "%Y %m %d", &local);
    return text;
}

} // namespace

// What differs between the two tabs' backups: where the keys are, which groups are asked for,
// and which sections exist.
struct Dialogue::BackupTab {
    const char* Root;     // every section's root
    std::string Prefix;   // before every key path: the hive name and "\" on tab 2
    std::string Identity; // ID
    SettingsGroups Groups;
    bool ActiveUser; // tab 1: password stores, the users' dial-up keys, the address book

    bool Has(SettingsGroup group) const { return Groups.Has(group); }
    std::string OutlookExpressKey() const { return OutlookExpressKeyOf(Prefix, Identity); }
};

SettingsGroups Dialogue::GroupsTicked(int tab) const {
    const bool first = tab == 1;
    const std::pair<const CheckBox&, SettingsGroup> boxes[] = {
        {first ? Check1_9 : Check2_9, SettingsGroup::All},
        {first ? Check1_1 : Check2_1, SettingsGroup::BlockedSenders},
        {first ? Check1_11 : Check2_11, SettingsGroup::BlockedMail},
        {first ? Check1_12 : Check2_12, SettingsGroup::BlockedNews},
        {first ? Check1_2 : Check2_2, SettingsGroup::Rules},
        {first ? Check1_21 : Check2_21, SettingsGroup::RulesMail},
        {first ? Check1_22 : Check2_22, SettingsGroup::Filters},
        {first ? Check1_23 : Check2_23, SettingsGroup::RulesNews},
        {first ? Check1_3 : Check2_3, SettingsGroup::Signatures},
        {first ? Check1_4 : Check2_4, SettingsGroup::Accounts},
        {first ? Check1_5 : Check2_5, SettingsGroup::DialUp},
    };
    SettingsGroups groups;
    for (const auto& [box, group] : boxes) {
        if (box.Value() == 1) {
            groups.Add(group);
        }
    }
    if (first && Check1_6.Value() == 1) {
        groups.Add(SettingsGroup::AddressBook);
    }
    return groups;
}

void Dialogue::BoutonSauvegarder1_Click() {
    const BackupSource source{false, "", IdentiteBdRActif};
    if (const auto file = ChooseBackupFile("Sauvegarde Quillon ");
        file && SaveBackup(source, GroupsTicked(1), *file).State == BackupOutcome::Status::Done &&
        CourrierAvec1.Value() == 1) {
        CopierCourrier(source, CourrierOuvert1.Value() == 1 ? MailConversion::OpenFormats
                                                            : MailConversion::None);
    }
}

void Dialogue::BoutonSauvegarder2_Click() {
    const BackupSource source{true, NomAutre.Text(), IdentiteAutre.Text()};
    if (const auto file = ChooseBackupFile("Sauvegarde Quillon Autre Base ");
        file && SaveBackup(source, GroupsTicked(2), *file).State == BackupOutcome::Status::Done &&
        CourrierAvec2.Value() == 1) {
        CopierCourrier(source, CourrierOuvert2.Value() == 1 ? MailConversion::OpenFormats
                                                            : MailConversion::None);
    }
}

void Dialogue::StartBackupRun() {
    PremiereOuverture = 0;
    NbSauvegarde = 0;
}

// The backup file, asked for in the store folder, where the user can write (with this system's
// variables expanded, since the dialog takes no %UserProfile%); nothing, said, when none is given.
std::optional<std::string> Dialogue::ChooseBackupFile(const char* proposedName) {
    StartBackupRun();
    FileDialogRequest request = BackupFileRequest(
        FileDialogRequest::Form::Save, Ansi("Choix du fichier de sauvegarde des paramètres"), 2);
    request.InitialFolder = SystemFolder(RepertoireCourant.Text());
    request.FileName = proposedName + (TodayText ? TodayText() : LocalDate());
    request.OverwritePrompt = true;
    FichierExport3 = ui_.FileDialog(request).value_or("");
    if (FichierExport3.empty()) {
        ui_.MessageBox(Ansi("Sauvegarde non effectuée, pas de fichier indiqué"),
                       MessageIcon::Exclamation, MessageButtons::Ok, Ansi(kBackupTitle));
        return std::nullopt;
    }
    return FichierExport3;
}

// The backup is built in a file of its own beside the chosen one, and put in its place only when
// complete: a run that fails half-way or writes no key leaves the chosen file as it was.
BackupOutcome Dialogue::SaveBackup(const BackupSource& source, const SettingsGroups& groups,
                                   const std::string& file) {
    StartBackupRun();
    FichierExport3 = file;
    const BackupTab tab =
        source.OtherHive
            ? BackupTab{"HKEY_LOCAL_MACHINE", source.Hive + "\\", source.Identity, groups, false}
            : BackupTab{"HKEY_CURRENT_USER", "", source.Identity, groups, true};
    backupOutcome_ = BackupOutcome{};
    backupOutcome_.File = file;
    FileError error;
    auto work = TemporaryFile::CreateBeside(FichierExport3, error);
    if (!work) {
        error.Path = FichierExport3;
        BackupFileFailed(error);
        return backupOutcome_;
    }
    backupWork_ = work->Path();
    if (tab.ActiveUser) {
        MdpSauvé = false;
    }
    RegFile out;
    if (!out.OpenNew(*work, false, error)) {
        backupWork_.clear();
        BackupFileFailed(error);
        return backupOutcome_;
    }
    const bool completed = SaveSections(tab, out) && FinishBackup(tab, out, *work);
    backupWork_.clear();
    if (completed) {
        backupOutcome_.Lines = NbSauvegarde;
        ui_.MessageBox(Ansi("Sauvegarde effectuée pour ") + std::to_string(NbSauvegarde) +
                           " lignes \n dans le fichier \n" + NativeToAnsi(FichierExport3),
                       MessageIcon::Information, MessageButtons::Ok, Ansi(kBackupTitle));
    }
    return backupOutcome_;
}

// Counts the lines (tab 2: after rewriting the key names) and puts the backup in place; false,
// after saying why, when it wrote no key or a file failed.
bool Dialogue::FinishBackup(const BackupTab& tab, RegFile& out, TemporaryFile& work) {
    std::vector<std::string> lines;
    FileError error;
    if (!out.Close(error) || !ReadLines(backupWork_, lines, error)) {
        BackupFileFailed(error);
        return false;
    }
    if (std::none_of(lines.begin(), lines.end(),
                     [](const std::string& line) { return line.starts_with("["); })) {
        backupOutcome_.State = BackupOutcome::Status::NoKey;
        ui_.MessageBox(Ansi("Sauvegarde non effectuée, aucune clef à copier"), MessageIcon::Stop,
                       MessageButtons::Ok, Ansi(kBackupTitle));
        return false;
    }
    NbSauvegarde = static_cast<std::int32_t>(lines.size());
    if ((!tab.ActiveUser && !RewriteForCurrentUser(work, tab.Prefix, NbSauvegarde, error)) ||
        !work.RenameTo(FichierExport3, error)) {
        BackupFileFailed(error);
        return false;
    }
    return true;
}

// The sections in their order. False when the command ends here: no settings of the identity
// while "Tous les paramètres OE" is ticked, or a file that cannot be written.
bool Dialogue::SaveSections(const BackupTab& tab, RegFile& out) {
    const std::string oe = tab.OutlookExpressKey();
    if (tab.Has(SettingsGroup::All)) {
        ++NbSauvegarde;
        SousClef = oe;
        if (!Present({tab.Root, SousClef})) {
            backupOutcome_.State = BackupOutcome::Status::NoSettings;
            ui_.MessageBox(Ansi("Pas de paramètres OE !"), MessageIcon::Stop, MessageButtons::Ok,
                           Ansi(kIdentityTitle));
            return false;
        }
        if (!Export({tab.Root, SousClef}, out)) {
            return false;
        }
    } else {
        struct Row {
            bool Selected;
            const char* Tail;
            const char* Message;
            const char* Title;
        };
        const bool blocked = tab.Has(SettingsGroup::BlockedSenders);
        const bool rules = tab.Has(SettingsGroup::Rules);
        const Row rows[] = {
            {blocked, "\\Block Senders", "Pas d'émetteurs bloqués", kIdentityTitle},
            {!blocked && tab.Has(SettingsGroup::BlockedMail), "\\Block Senders\\Mail",
             "Pas d'émetteur bloqué pour le courrier", "Recherche des émetteurs bloqués "},
            {!blocked && tab.Has(SettingsGroup::BlockedNews), "\\Block Senders\\News",
             "Pas d'émetteur bloqué dans les forums", kIdentityTitle},
            {rules, "\\Rules", "Pas de règles définies ", kIdentityTitle},
            {!rules && tab.Has(SettingsGroup::RulesMail), "\\Rules\\Mail",
             "Pas de règles pour le courrier", kIdentityTitle},
            {!rules && tab.Has(SettingsGroup::Filters), "\\Rules\\Filter", "Pas de filtre défini.",
             kIdentityTitle},
            {!rules && tab.Has(SettingsGroup::RulesNews), "\\Rules\\News",
             "Pas de règles pour les forums", kIdentityTitle},
            {tab.Has(SettingsGroup::Signatures), "\\Signatures", "Pas de signature définie",
             kSignaturesTitle},
        };
        for (const Row& row : rows) {
            if (row.Selected && !SaveSection(tab, out, oe + row.Tail, row.Message, row.Title)) {
                return false;
            }
        }
    }
    const bool all = tab.Has(SettingsGroup::All);
    if ((tab.Has(SettingsGroup::Accounts) || all) && !SaveAccounts(tab, out)) {
        return false;
    }
    if (tab.Has(SettingsGroup::DialUp) || all) {
        if (!tab.ActiveUser) {
            return SaveSection(tab, out, tab.Prefix + "RemoteAccess", "Pas de Compte FAI défini",
                               kSignaturesTitle);
        }
        if (!SaveDialUp(tab, out)) {
            return false;
        }
    }
    if (tab.ActiveUser && (tab.Has(SettingsGroup::AddressBook) || all)) {
        return SaveSection(tab, out, "Software\\Microsoft\\WAB\\WAB4",
                           all ? nullptr : "Pas d'emplacement du carnet",
                           "Recherche de l'adresse dans le registre");
    }
    return true;
}

// One section: counted, then exported when its key is there, else its message if it has one.
bool Dialogue::SaveSection(const BackupTab& tab, RegFile& out, const std::string& path,
                           const char* missingMessage, const char* missingTitle) {
    ++NbSauvegarde;
    SousClef = path;
    if (const KeyPath key{tab.Root, SousClef}; Present(key)) {
        return Export(key, out);
    }
    if (missingMessage != nullptr) {
        ui_.MessageBox(Ansi(missingMessage), MessageIcon::Information, MessageButtons::Ok,
                       Ansi(missingTitle));
    }
    return true;
}

// The global accounts go through a temporary file, copied into the backup as they are; when
// the identity has no accounts of its own, they may be copied once more as the identity's. The
// temporary file continues the backup: it gets a header only when the backup has none yet.
bool Dialogue::SaveAccounts(const BackupTab& tab, RegFile& out) {
    ++NbSauvegarde;
    FileError error;
    auto temporary = TemporaryFile::Create(error);
    if (!temporary) {
        BackupFileFailed(error);
        return false;
    }
    const KeyPath sharedAccounts{tab.Root, tab.Prefix + std::string(kAccountsKey)};
    if (Present(sharedAccounts)) {
        RegFile accounts;
        if (!accounts.OpenNew(*temporary, out.HeaderWritten(), error)) {
            BackupFileFailed(error);
            return false;
        }
        if (!Export(sharedAccounts, accounts)) {
            return false;
        }
        if (!accounts.Close(error) ||
            !CopyAccountLines(temporary->Path(), out, std::nullopt, error)) {
            BackupFileFailed(error);
            return false;
        }
    }
    SousClef = IdentityAccountsKeyOf(tab.Prefix, tab.Identity);
    if (const KeyPath identityAccounts{tab.Root, SousClef}; Present(identityAccounts)) {
        if (!Export(identityAccounts, out)) {
            return false;
        }
    } else if (ui_.MessageBox(Ansi("Comptes non trouvés pour cette identité, les générer ? "),
                              MessageIcon::Information, MessageButtons::YesNo,
                              Ansi("Recherche des comptes IE dans le registre")) == Answer::Yes) {
        if (!CopyAccountLines(temporary->Path(), out,
                              AccountsRewrite{sharedAccounts.Path, SousClef}, error)) {
            BackupFileFailed(error);
            return false;
        }
        PremiereOuverture = 1;
    }
    return !tab.ActiveUser || SauvegarderMdp(out);
}

// The dial-up keys of the user, of the default user and of the user's keys under HKEY_USERS,
// then the password stores.
bool Dialogue::SaveDialUp(const BackupTab& tab, RegFile& out) {
    ++NbSauvegarde;
    SousClef = "RemoteAccess";
    if (const KeyPath own{"HKEY_CURRENT_USER", SousClef}; Present(own)) {
        if (!Export(own, out)) {
            return false;
        }
    } else if (!tab.Has(SettingsGroup::All)) {
        ui_.MessageBox(Ansi("Pas de Compte FAI défini"), MessageIcon::Information,
                       MessageButtons::Ok, Ansi(kSignaturesTitle));
    }
    ++NbSauvegarde;
    SousClef = ".DEFAULT\\RemoteAccess";
    if (const KeyPath byDefault{"HKEY_USERS", SousClef};
        Present(byDefault) && !Export(byDefault, out)) {
        return false;
    }
    const auto group = ReadValue("HKEY_CURRENT_USER",
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\"
                                 "GroupMembership",
                                 "Group0");
    if (const auto userGroup = group ? UserKeysGroupOf(*group) : std::nullopt) {
        SousClef = *userGroup + "\\RemoteAccess";
        if (const KeyPath users{"HKEY_USERS", SousClef}; Present(users) && !Export(users, out)) {
            return false;
        }
    }
    return SauvegarderMdp(out);
}

// The two password stores, at most once per backup run, without a message.
bool Dialogue::SauvegarderMdp(RegFile& out) {
    if (MdpSauvé) {
        return true;
    }
    for (const char* store : kPasswordStores) {
        ++NbSauvegarde;
        SousClef = store;
        if (const KeyPath key{"HKEY_CURRENT_USER", SousClef}; Present(key)) {
            if (!Export(key, out)) {
                return false;
            }
            MdpSauvé = true;
        }
    }
    return true;
}

bool Dialogue::Present(const KeyPath& key) {
    std::int32_t error = 0;
    const std::uint32_t handle = registry_.OpenKey(key.Root, key.Path, KeyRead, error);
    if (handle == 0) {
        return false;
    }
    registry_.CloseKey(handle);
    return true;
}

// Exports a key into the backup being written; false, after saying why, when it cannot be
// written. Once a key is written the file is started.
bool Dialogue::Export(const KeyPath& key, RegFile& out) {
    const ExportResult result = ExportKey(registry_, key, out);
    if (result.Status == ExportStatus::FileFailed) {
        BackupFileFailed(result.Error);
        return false;
    }
    PremiereOuverture = 1;
    if (!result.LeftOut.empty()) {
        std::string names;
        for (const std::string& name : result.LeftOut) {
            names += "\r\n" + name;
        }
        ui_.MessageBox(Ansi("Non sauvegardé, car son nom contient un saut de ligne ou un "
                            "caractère nul, qu'un fichier .reg ne peut pas porter :") +
                           names,
                       MessageIcon::Exclamation, MessageButtons::Ok, Ansi(kBackupTitle));
    }
    return true;
}

// A file of the backup being built is named as the user's file that it becomes.
void Dialogue::ReportFileError(const FileError& error, const char* title) {
    FileError shown = error;
    if (!backupWork_.empty() && std::filesystem::path(shown.Path).parent_path() ==
                                    std::filesystem::path(backupWork_).parent_path()) {
        shown.Path = FichierExport3;
    }
    ui_.MessageBox(Ansi("Impossible d'écrire ou de lire le fichier « ") + NativeToAnsi(shown.Path) +
                       Ansi(" » : ") + Ansi(shown.Reason()),
                   MessageIcon::Stop, MessageButtons::Ok, Ansi(title));
}

void Dialogue::BackupFileFailed(const FileError& error) {
    backupOutcome_.State = BackupOutcome::Status::FileFailed;
    backupOutcome_.Error = error;
    ReportFileError(error, kBackupTitle);
}

void Dialogue::BoutonRechercherAutre_Click() {
    LookUpHive(NomAutre.Text());
}

LookupOutcome Dialogue::LookUpHive(const std::string& hive) {
    LookupOutcome outcome;
    if (hive.empty()) {
        ui_.MessageBox(Ansi("Il n'y a pas de nom de ruche indiqué, regardez l'aide."),
                       MessageIcon::Exclamation, MessageButtons::Ok, "Bouton Rechercher");
        outcome.State = LookupOutcome::Status::NoHiveName;
        return outcome;
    }
    const auto identity = ReadValue("HKEY_LOCAL_MACHINE", hive + "\\Identities", "Last User ID");
    if (!identity) {
        ui_.MessageBox(Ansi("Identité non trouvée dans l'autre base de registre (OE 5/6)"),
                       MessageIcon::Stop, MessageButtons::Ok,
                       Ansi("Recherche de l'identité dans un autre registre"));
        outcome.State = LookupOutcome::Status::NoIdentity;
        return outcome;
    }
    outcome.Identity = *identity;
    IdentiteAutre.SetText(*identity);
    RepertoireAutre.SetText("       ");
    SousClef = OutlookExpressKeyOf(hive + "\\", IdentiteAutre.Text());
    if (const auto folder = ReadValue("HKEY_LOCAL_MACHINE", SousClef, "Store Root")) {
        RepertoireAutre.SetText(*folder);
        outcome.StoreFolder = *folder;
    } else {
        ui_.MessageBox(Ansi("Répertoire des fichiers OE non trouvé dans l'autre base de registre"),
                       MessageIcon::Stop, MessageButtons::Ok,
                       Ansi("Recherche des répertoires dans un autre registre"));
        outcome.State = LookupOutcome::Status::NoStoreFolder;
    }
    return outcome;
}

} // namespace quillon
