// The mail carried with the settings: after a backup of tab 1 or 2 the store folder and the
// address book are copied out of the registry's installation, and after tab 3 writes an adapted
// backup such a copy is put where that backup says the mail is.
#include "app/dialogue.h"
#include "app/thunderbird_settings.h"
#include "backup/identity_summary.h"
#include "mail/export_tree.h"
#include "mail/mail_copy.h"
#include "mail/private_folder.h"
#include "registry/mail_client_keys.h"
#include "registry/profile_list.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <utility>

namespace quillon {
namespace {

constexpr const char* kCopyTitle = "Copie du courrier et du carnet d'adresses";
constexpr const char* kPlaceTitle = "Mise en place du courrier et du carnet d'adresses";
constexpr const char* kConvertTitle = "Courrier pour les clients de messagerie d'aujourd'hui";
constexpr const char* kProfileTitle = "Profil Thunderbird";
constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kAddressBookKey = "Software\\Microsoft\\WAB\\WAB4\\Wab File Name";

// The folder that holds a native path.
std::string FolderOfFile(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

const char* RootOf(const BackupSource& source) {
    return source.OtherHive ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// Where the keys of the user of `source` are below its root: "" for the active user's.
std::string UserKeysOf(const BackupSource& source) {
    return source.OtherHive ? source.Hive + "\\" : std::string();
}

} // namespace

ProfileOutcome Dialogue::WriteProfile(const BackupSource& source, const std::string& target,
                                      bool recover) {
    const auto progress = [this](std::uint64_t done, std::uint64_t total) {
        return ui_.Progress(Ansi(kProfileTitle), done, total);
    };
    ProfileOutcome outcome;
    PrivateFolder scratch;
    FileError error;
    MailReport report;
    const std::string copy = scratch.Make(error) ? scratch.Path() + kPathSeparator + "mail" : "";
    if (copy.empty()) {
        report.Error = Ansi("Impossible de créer un dossier de travail : ") + Ansi(error.Reason());
    } else {
        report = CopyMailOut(Installation, MailPathsOf(source), copy, progress);
    }
    std::vector<std::string> problems;
    std::error_code made;
    if (report.NoStoreFolder && std::filesystem::create_directory(copy, made)) {
        // No mail to move: the accounts, the signature and the blocked senders still are.
        problems.push_back(std::exchange(report.Error, {}));
    }
    if (!report.Done()) {
        ShowMailReport(report, NativeToAnsi(target), false, Ansi(kProfileTitle));
        outcome.State =
            report.Stopped ? ProfileOutcome::Status::Stopped : ProfileOutcome::Status::CopyFailed;
        return outcome;
    }
    scratch.TrackContents();
    ThunderbirdProfileRequest request;
    request.Store = copy;
    request.Target = target;
    request.IdentityName =
        IdentityNameOf(registry_, RootOf(source), UserKeysOf(source), source.Identity);
    problems.insert(problems.end(), report.Warnings.begin(), report.Warnings.end());
    request.Settings = ProfileSettingsOf(
        SummarizeIdentity(registry_, source.Identity, RootOf(source), UserKeysOf(source)),
        problems);
    request.Recover = recover;
    outcome.Profile = WriteThunderbirdProfile(request, progress);
    outcome.Profile->Mail.Problems.insert(outcome.Profile->Mail.Problems.begin(), problems.begin(),
                                          problems.end());
    ui_.Progress(Ansi(kProfileTitle), 1, 1);
    const bool done = outcome.Profile->State == ThunderbirdProfileOutcome::Status::Done;
    outcome.State = done ? ProfileOutcome::Status::Done
                    : outcome.Profile->State == ThunderbirdProfileOutcome::Status::Stopped
                        ? ProfileOutcome::Status::Stopped
                        : ProfileOutcome::Status::ProfileFailed;
    ui_.MessageBox(DescribeThunderbirdProfile(*outcome.Profile, NativeToAnsi(target)),
                   done ? MessageIcon::Information : MessageIcon::Stop, MessageButtons::Ok,
                   Ansi(kProfileTitle));
    return outcome;
}

std::string Dialogue::SystemFolderOf(std::string_view stored, const std::string& userKeys) {
    // Another user's hive: that user's profile, from the hive's own shell folders, as the
    // mail client reads them when that user logs on.
    std::map<std::string, std::string> user;
    const auto shellFolder = [&](const char* value) -> std::string {
        return userKeys.empty()
                   ? std::string()
                   : UpToTerminatingZero(ReadValue("HKEY_LOCAL_MACHINE",
                                                   userKeys + std::string(kShellFolders), value)
                                             .value_or(""));
    };
    if (const std::string appData = shellFolder("AppData"); !appData.empty()) {
        user[FoldCase("AppData")] = appData;
        user[FoldCase("UserProfile")] = appData.substr(0, appData.find_last_of('\\'));
    }
    if (const std::string local = shellFolder("Local AppData"); !local.empty()) {
        user[FoldCase("LocalAppData")] = local;
    }
    return ExpandFolder(stored, [&](std::string_view name) -> std::optional<std::string> {
        if (const auto found = user.find(FoldCase(name)); found != user.end()) {
            return found->second;
        }
        return Installation != nullptr ? Installation->Variable(name) : SystemVariable(name);
    });
}

void Dialogue::CopierCourrier(const BackupSource& source, MailConversion conversion) {
    const auto destination =
        ui_.FolderDialog(Ansi("Dossier vide où copier le courrier et le carnet d'adresses"),
                         FolderOfFile(FichierExport3));
    if (!destination || destination->empty()) {
        ui_.MessageBox(Ansi("Courrier non copié : aucun dossier choisi."), MessageIcon::Exclamation,
                       MessageButtons::Ok, Ansi(kCopyTitle));
        return;
    }
    CopyMail(source, *destination, conversion);
}

MailPaths Dialogue::MailPathsOf(const BackupSource& source) {
    const char* root = RootOf(source);
    const std::string userKeys = UserKeysOf(source);
    const std::string stored =
        ReadValue(root, OutlookExpressKeyOf(userKeys, source.Identity), "Store Root")
            .value_or(source.OtherHive ? RepertoireAutre.Text() : CheminOEactif);
    MailPaths paths;
    paths.StoreFolder = SystemFolderOf(stored, userKeys);
    paths.AddressBook = SystemFolderOf(
        ReadValue(root, userKeys + std::string(kAddressBookKey), "").value_or(""), userKeys);
    return paths;
}

void Dialogue::BoutonProfil_Click(int tab) {
    const BackupSource source = tab == 1
                                    ? BackupSource{false, "", IdentiteBdRActif}
                                    : BackupSource{true, NomAutre.Text(), IdentiteAutre.Text()};
    const auto target = ui_.FolderDialog(Ansi("Dossier nouveau ou vide pour le profil Thunderbird"),
                                         FolderOfFile(FichierExport3));
    if (!target || target->empty()) {
        ui_.MessageBox(Ansi("Profil non écrit : aucun dossier choisi."), MessageIcon::Exclamation,
                       MessageButtons::Ok, Ansi(kProfileTitle));
        return;
    }
    WriteProfile(source, *target);
}

MailOutcome Dialogue::CopyMail(const BackupSource& source, const std::string& destination,
                               MailConversion conversion) {
    const char* root = RootOf(source);
    const std::string userKeys = UserKeysOf(source);
    const MailPaths paths = MailPathsOf(source);
    const MailReport report = CopyMailOut(Installation, paths, destination,
                                          [this](std::uint64_t done, std::uint64_t total) {
                                              return ui_.Progress(Ansi(kCopyTitle), done, total);
                                          });
    MailOutcome outcome =
        ShowMailReport(report, NativeToAnsi(destination), false, Ansi(kCopyTitle));
    if (outcome.State == MailOutcome::Status::Done && conversion != MailConversion::None) {
        ConvertCopy(destination, conversion,
                    SummarizeIdentity(registry_, source.Identity, root, userKeys), outcome);
    }
    return outcome;
}

// The copy's messages written as asked, in a folder inside it, with the settings told beside
// them in the open formats. Their report is shown, and any failure; the .eml files alone are
// said only when they fail, as --eml always did.
void Dialogue::ConvertCopy(const std::string& copy, MailConversion conversion,
                           const IdentitySummary& settings, MailOutcome& outcome) {
    const bool open = conversion == MailConversion::OpenFormats;
    outcome.Converted = WriteCopyForTodaysClients(
        copy, conversion, open ? SettingsSummaryText(settings) : std::string(), !open);
    if (outcome.Converted->State != MailExportOutcome::Status::Done) {
        outcome.State = MailOutcome::Status::ConversionFailed;
    }
}

MailExportOutcome Dialogue::WriteCopyForTodaysClients(const std::string& copy,
                                                      MailConversion conversion,
                                                      const std::string& settingsText,
                                                      bool onlyFailures) {
    const bool open = conversion == MailConversion::OpenFormats;
    MailExportRequest request;
    request.Store = copy;
    request.Target =
        copy + kPathSeparator + AnsiToNative(Ansi(open ? kOpenFormatsFolder : kEmlOnlyFolder));
    request.Written =
        open ? MailExportRequest::Formats::MboxAndEml : MailExportRequest::Formats::EmlOnly;
    request.SettingsText = settingsText;
    const MailExportOutcome outcome =
        ExportMail(request, [this](std::uint64_t done, std::uint64_t total) {
            return ui_.Progress(Ansi(kConvertTitle), done, total);
        });
    ui_.Progress(Ansi(kConvertTitle), 1, 1);
    const bool done = outcome.State == MailExportOutcome::Status::Done;
    if (!onlyFailures || !done) {
        ui_.MessageBox(DescribeMailExport(outcome, NativeToAnsi(request.Target)),
                       done ? MessageIcon::Information : MessageIcon::Stop, MessageButtons::Ok,
                       Ansi(kConvertTitle));
    }
    return outcome;
}

void Dialogue::BoutonConvertir3_Click() {
    const auto copy = ui_.FolderDialog(Ansi("Dossier de la copie du courrier à écrire pour les "
                                            "clients de messagerie d'aujourd'hui"),
                                       FolderOfFile(FichierExport4));
    if (!copy || copy->empty()) {
        ui_.MessageBox(Ansi("Courrier non écrit : aucun dossier choisi."), MessageIcon::Exclamation,
                       MessageButtons::Ok, Ansi(kConvertTitle));
        return;
    }
    WriteCopyForTodaysClients(*copy, MailConversion::OpenFormats, "", false);
}

void Dialogue::PlacerCourrier() {
    const auto copy = ui_.FolderDialog(Ansi("Dossier de la copie du courrier à placer"),
                                       FolderOfFile(FichierExport4));
    if (!copy || copy->empty()) {
        ui_.MessageBox(Ansi("Courrier non placé : aucun dossier choisi."), MessageIcon::Exclamation,
                       MessageButtons::Ok, Ansi(kPlaceTitle));
        return;
    }
    PlaceMailCopy(*copy);
}

MailOutcome Dialogue::PlaceMailCopy(const std::string& copy) {
    MailPaths paths;
    paths.StoreFolder = SystemFolderOf(RepertoireChoisi.Text(), "");
    paths.AddressBook = SystemFolderOf(CheminCarnetNouveau, "");
    const MailReport report = PlaceMail(
        copy, Installation, paths,
        [this](const std::string& question) {
            return ui_.MessageBox(question, MessageIcon::Exclamation, MessageButtons::YesNo,
                                  Ansi(kPlaceTitle)) == Answer::Yes;
        },
        [this](std::uint64_t done, std::uint64_t total) {
            return ui_.Progress(Ansi(kPlaceTitle), done, total);
        });
    return ShowMailReport(report, NativeToAnsi(copy), true, Ansi(kPlaceTitle));
}

MailOutcome Dialogue::ShowMailReport(const MailReport& report, const std::string& copyShown,
                                     bool placed, const std::string& title) {
    ui_.Progress(title, 1, 1);
    ui_.MessageBox(DescribeMailReport(report, copyShown, placed),
                   report.Done() ? MessageIcon::Information : MessageIcon::Stop, MessageButtons::Ok,
                   title);
    MailOutcome outcome;
    outcome.State = report.Done()    ? MailOutcome::Status::Done
                    : report.Stopped ? MailOutcome::Status::Stopped
                                     : MailOutcome::Status::Failed;
    outcome.StoreFiles = report.StoreFiles.size();
    outcome.AddressBook = report.AddressBook.has_value();
    outcome.Warnings = report.Warnings.size();
    return outcome;
}

} // namespace quillon
