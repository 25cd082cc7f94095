#include "app/registry_commands.h"

#include "app/dialogue.h"
#include "export/export_to_file.h"
#include "files/temp_file.h"
#ifndef _WIN32
#include "sources/windows_installations.h"
#endif

namespace quillon {
namespace {

// One installation as the window's start-up finds it.
InstallationRow RowOf(const ListedInstallation& entry, const StoreOpener& open, Ui& quiet,
                      const std::string& programFolder, bool details) {
    InstallationRow row;
    row.Where = entry.Where;
    row.System = entry.System;
    row.User = entry.User;
    row.Options = entry.Options;
    std::unique_ptr<RegistryStore> store = open(entry.Options, row.Unreadable);
    if (!store) {
        return row;
    }
    Reg_access registry(*store);
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
    return row;
}

} // namespace

ExportResult ExportKeyIntoUserFile(Reg_access& registry, std::string_view keyName,
                                   const std::string& fileName, bool append) {
    return ExportKeyToFile(registry, keyName, fileName, append);
}

void DeleteTemporaryFilesOnInterrupt() {
    Temp_file::RemoveOnInterrupt();
}

bool ListInstallationRows(const StoreOptions& options, const StoreOpener& open, Ui& quiet,
                          const std::string& programFolder, bool details,
                          std::vector<InstallationRow>& rows, std::string& error) {
    std::vector<ListedInstallation> found;
#ifdef _WIN32
    // On Windows the registry read is the system's own: one installation, the user logged on.
    (void)error;
    found.push_back({"registre de ce système", "Windows", "", options});
#else
    if (!ListInstallations(options, found, error)) {
        return false;
    }
#endif
    for (const ListedInstallation& entry : found) {
        rows.push_back(RowOf(entry, open, quiet, programFolder, details));
    }
    return true;
}

} // namespace quillon
