#include "app/registry_commands.h"

#include "app/dialogue.h"
#include "export/export_to_file.h"
#include "files/interruption.h"
#include "registry/profile_list.h"
#include "sources/opened_images.h"
#include "sources/windows_installations.h"

#include <algorithm>

namespace quillon {
namespace {

// The start-up's messages while a registry is looked at: a listing tells what matters itself.
class SilentUi : public Ui {
  public:
    Answer MessageBox(const std::string&, MessageIcon, MessageButtons buttons,
                      const std::string&) override {
        return buttons == MessageButtons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<std::string> FileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> FolderDialog(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool HtmlHelp(bool, const std::string&, std::uint32_t, std::int32_t) override { return false; }
    bool OpenWebAddress(const std::string&) override { return false; }
    void ShowDirectoryChooser(ChoixRepertSauve&) override {}
    void EndProgram() override {}
};

// What the window's start-up finds in `store`, into `row`.
void StartQuietly(RegistryStore& store, const std::string& programFolder, bool details,
                  InstallationRow& row) {
    SilentUi quiet;
    Reg_access registry(store);
    Dialogue dialogue(registry, quiet, programFolder);
    dialogue.Form_Load();
    row.Version = dialogue.VersionOE;
    row.Identity = dialogue.IdentiteBdRActif;
    row.Folder = dialogue.CheminOEactif;
    while (row.Folder.ends_with('\0')) {
        row.Folder.pop_back();
    }
    row.WindowOpens = !dialogue.Ended();
    if (details && !dialogue.Ended() && !row.Identity.empty()) {
        row.Details = SummarizeIdentity(registry, row.Identity);
    }
}

// The profile folder's name that the registry's ProfileList gives the user `sid`, or `sid`
// itself: a restore point keeps its users' hives by SID.
std::string ProfileNameOf(RegistryStore& store, const std::string& sid) {
    Reg_access registry(store);
    const std::string path = ProfileImagePath(registry, sid);
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    return name.empty() ? sid : name;
}

// One installation as the window's start-up finds it.
InstallationRow RowOf(const ListedInstallation& entry, const StoreOpener& open,
                      OpenedImages& images, const std::string& programFolder, bool details) {
    InstallationRow row;
    row.Where = entry.Where;
    row.System = entry.System;
    row.User = entry.User;
    row.Options = entry.Options;
    if (std::unique_ptr<RegistryStore> store = open(entry.Options, &images, row.Unreadable)) {
        if (!entry.Options.RestorePoint.empty() && !entry.Options.User.empty()) {
            row.User = ProfileNameOf(*store, entry.Options.User);
        }
        StartQuietly(*store, programFolder, details, row);
    }
    return row;
}

} // namespace

ExportResult ExportKeyIntoUserFile(Reg_access& registry, const KeyPath& key,
                                   const std::string& fileName, bool append) {
    return ExportKeyToFile(registry, key, fileName, append);
}

MailExportOutcome ExportMailInOpenFormats(const MailExportRequest& request,
                                          const MailProgress& progress) {
    return ExportMail(request, progress);
}

void CleanUpOnInterrupt() {
    interruption::UndoOnInterrupt();
}

bool WindowStartsOn(RegistryStore& store, const std::string& programFolder) {
    InstallationRow row;
    StartQuietly(store, programFolder, false, row);
    return row.WindowOpens;
}

bool ListInstallationRows(const StoreOptions& options, const StoreOpener& open,
                          const std::string& programFolder, bool details,
                          std::vector<InstallationRow>& rows, std::string& error,
                          const StepReport& report) {
    std::vector<ListedInstallation> found;
    // An image is opened once for the listing and each of its users.
    OpenedImages images;
    if (options.RunningSystem()) { // one installation, the user logged on
        found.push_back({"registre de ce système", "Windows", "", options});
    } else if (!ListInstallations(options, found, error, report, &images)) {
        return false;
    }
    for (std::size_t i = 0; i < found.size(); ++i) {
        const ListedInstallation& entry = found[i];
        if (report &&
            report("Lecture de " + entry.Where + (entry.User.empty() ? "" : ", " + entry.User) +
                   " (" + std::to_string(i + 1) + "/" + std::to_string(found.size()) + ")")) {
            error = kReadingStopped;
            return false;
        }
        rows.push_back(RowOf(entry, open, images, programFolder, details));
    }
    // Stopped while the last user was read: nothing of this reading is kept either.
    if (report && report("Lecture terminée")) {
        error = kReadingStopped;
        return false;
    }
    return true;
}

} // namespace quillon
