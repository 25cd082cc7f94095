#include "app/source_chooser.h"

#include "sources/windows_installations.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <filesystem>

namespace quillon {
namespace {

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// "NTUSER.DAT → HKEY_CURRENT_USER, notes.reg"
std::string DescribeFiles(const StoreOptions& files) {
    std::string text;
    for (const Mount& mount : files.Mounts) {
        text += (text.empty() ? "" : ", ") + FileName(mount.Path) +
                (mount.Key.empty() ? "" : " → " + AnsiToUtf8(mount.Key));
    }
    return text;
}

} // namespace

const char* const SourceChooser::Caption = "Quillon - Registre à lire";
const char* const SourceChooser::Prompt =
    "Quillon lit le registre d'un Windows sans le démarrer, et n'y écrit rien. Choisissez ce "
    "qu'il doit lire, puis l'utilisateur dont les paramètres d'Outlook Express sont à sauver.";
const char* const SourceChooser::OpenCaption = "Ouvrir";
const char* const SourceChooser::QuitCaption = "Quitter";
const char* const SourceChooser::ReadingCaption = "Quillon - Lecture du registre";
const char* const SourceChooser::StopCaption = "Annuler";

const std::vector<std::string>& SourceChooser::Columns() {
    static const std::vector<std::string> kColumns = {"Emplacement", "Système",       "Utilisateur",
                                                      "Version OE",  "Répertoire OE", "Identité"};
    return kColumns;
}

std::string SourceChooser::SourceCaption(Source source) {
    switch (source) {
    case Source::WindowsFolder:
        return "Dossier d'un Windows...";
    case Source::DiskImage:
        return "Image disque...";
    case Source::WinePrefix:
        return "Préfixe Wine...";
    case Source::RegistryFile:
        return "Ruche ou fichier .reg...";
    }
    return "";
}

std::string SourceChooser::SourceTooltip(Source source) {
    switch (source) {
    case Source::WindowsFolder:
        return "Le disque d'un ancien ordinateur, monté : le dossier qui était C:\\ (il contient "
               "WINDOWS ou WINNT)";
    case Source::DiskImage:
        return "Une image de disque ou de partition (brute, découpée en .001, .002..., EnCase "
               ".E01) ou le disque d'une machine virtuelle (VMware .vmdk, Virtual PC .vhd, "
               "Hyper-V .vhdx, VirtualBox .vdi, QEMU .qcow2), lue sans la monter";
    case Source::WinePrefix:
        return "Un dossier de Wine contenant system.reg et user.reg";
    case Source::RegistryFile:
        return "Une ruche (NTUSER.DAT, SOFTWARE, DEFAULT ; USER.DAT, SYSTEM.DAT de Windows "
               "95/98/Me), un fichier de registre de Wine ou un fichier .reg ; chaque fichier "
               "choisi s'ajoute aux précédents";
    }
    return "";
}

SourceChooser::PathRequest SourceChooser::RequestFor(Source source) {
    switch (source) {
    case Source::WindowsFolder:
        return {PathRequest::Form::Folder, "Dossier d'un Windows (l'ancien C:\\)", ""};
    case Source::DiskImage:
        return {PathRequest::Form::File, "Image disque",
                "Images disque (*.dd, *.img, *.raw, *.001, *.E01, *.vmdk, *.vhd, *.vhdx, *.vdi, "
                "*.qcow2, *.qcow)|*.dd;*.img;*.raw;*.001;*.e01;*.E01;*.vmdk;*.VMDK;*.vhd;*.VHD;"
                "*.vhdx;*.VHDX;*.vdi;*.VDI;*.qcow2;*.qcow|Tous les fichiers (*)|*"};
    case Source::WinePrefix:
        return {PathRequest::Form::Folder, "Préfixe Wine", ""};
    case Source::RegistryFile:
        return {PathRequest::Form::File, "Ruche ou fichier .reg",
                "Tous les fichiers (*)|*|Fichiers .reg (*.reg)|*.reg"};
    }
    return {};
}

SourceChooser::SourceChooser(StoreOpener open, FileAdder addFile, std::string programFolder)
    : open_(std::move(open)), addFile_(std::move(addFile)),
      programFolder_(std::move(programFolder)) {}

bool SourceChooser::MustAsk(const StoreOptions& given, RegistryStore* opened) {
    if (!given.Empty() || (opened != nullptr && WindowStartsOn(*opened, programFolder_))) {
        return false;
    }
#ifdef _WIN32
    status_ = "Outlook Express 5 ou 6 n'est pas sur ce système : choisissez un ancien disque "
              "branché, le dossier d'un Windows, une ruche ou un fichier .reg.";
#else
    status_ = "Aucun registre n'a été donné, et le préfixe Wine par défaut ($WINEPREFIX ou "
              "~/.wine) n'existe pas ou ne contient pas Outlook Express 5 ou 6.";
#endif
    return true;
}

void SourceChooser::Read(Source source, const std::string& path, const StepReport& report) {
    const bool file = source == Source::RegistryFile;
    StoreOptions options = file ? files_ : StoreOptions{};
    std::string error;
    if (file) {
        if (!addFile_(path, options, error)) {
            status_ = error;
            return;
        }
    } else {
        static constexpr Mount::Kind kKinds[] = {Mount::Kind::Windows, Mount::Kind::Image,
                                                 Mount::Kind::WinePrefix};
        options.Mounts.push_back({kKinds[static_cast<int>(source)], "", path});
    }
    // What cannot be read leaves what was read before as it was.
    std::vector<InstallationRow> found;
    if (!ListInstallationRows(options, open_, programFolder_, false, found, error, report)) {
        status_ = error == kReadingStopped
                      ? std::string(kReadingStopped) + " : la liste est restée comme avant."
                      : error;
        return;
    }
    if (file && found.size() == 1 && !found.front().Unreadable.empty()) {
        status_ = "« " + path + " » n'est pas lu : " + found.front().Unreadable;
        return;
    }
    rows_ = std::move(found);
    files_ = file ? options : StoreOptions{};
    const std::string where = file ? DescribeFiles(files_) : path;
    static const char* const kWhat[] = {
        "Dossier d'un Windows : ", "Image disque : ", "Préfixe Wine : ", "Fichiers de registre : "};
    reading_ = kWhat[static_cast<int>(source)] + where;
    if (source == Source::WinePrefix || file) { // listed as one registry given whole
        for (InstallationRow& row : rows_) {
            row.Where = where;
            row.System = file ? "" : "Wine";
        }
    }
    ShowListed();
}

void SourceChooser::ReadDrives(const std::vector<std::string>& drives, const StepReport& report) {
    std::vector<InstallationRow> found;
    std::string listed;
    for (const std::string& drive : drives) {
        if (!MayHoldInstallation(drive)) {
            continue;
        }
        StoreOptions options;
        options.Mounts.push_back({Mount::Kind::Windows, "", drive});
        std::vector<InstallationRow> rows;
        std::string error;
        if (!ListInstallationRows(options, open_, programFolder_, false, rows, error, report)) {
            if (error == kReadingStopped) {
                status_ = std::string(kReadingStopped) + " : choisissez ce qu'il faut lire.";
                return;
            }
            InstallationRow unreadable;
            unreadable.Where = drive;
            unreadable.Unreadable = error;
            unreadable.Options = options;
            rows.push_back(std::move(unreadable));
        }
        found.insert(found.end(), rows.begin(), rows.end());
        listed += (listed.empty() ? "" : ", ") + NativeToUtf8(drive);
    }
    if (found.empty()) {
        return; // the status says what to choose
    }
    rows_ = std::move(found);
    files_ = {};
    reading_ = "Disques de cet ordinateur : " + listed;
    ShowListed();
}

// Selects the only row that opens, or says why none does.
void SourceChooser::ShowListed() {
    std::vector<int> openable;
    for (int row = 0; row < RowCount(); ++row) {
        if (CanOpen(row)) {
            openable.push_back(row);
        }
    }
    selected_ = -1;
    if (openable.size() == 1) {
        Select(openable.front());
    } else if (rows_.empty()) {
        status_.clear();
    } else if (openable.empty()) {
        status_ = rows_.size() == 1 ? "Ce registre ne contient pas Outlook Express 5 ou 6."
                                    : "Aucun des utilisateurs trouvés n'a Outlook Express 5 ou 6.";
    } else {
        status_ = "Choisissez l'utilisateur dont les paramètres sont à lire.";
    }
}

std::vector<std::string> SourceChooser::Cells(int row) const {
    const InstallationRow& shown = rows_.at(row);
    const std::string version = !shown.Unreadable.empty() ? "(illisible)"
                                : shown.Version.empty()   ? "(absente)"
                                                          : AnsiToUtf8(shown.Version);
    return {NativeToUtf8(shown.Where), shown.System, shown.User, version, AnsiToUtf8(shown.Folder),
            AnsiToUtf8(shown.Identity)};
}

bool SourceChooser::CanOpen(int row) const {
    return rows_.at(row).WindowOpens;
}

void SourceChooser::Select(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    selected_ = row;
    const InstallationRow& chosen = rows_[row];
    if (!chosen.Unreadable.empty()) {
        status_ = "Le registre de cet utilisateur est illisible : " + chosen.Unreadable;
    } else if (chosen.Version.empty()) {
        status_ = "Outlook Express 5 ou 6 est introuvable dans ce registre.";
    } else if (!chosen.WindowOpens) {
        status_ = "Version d'Outlook Express non prise en charge : " + AnsiToUtf8(chosen.Version);
    } else {
        status_ = std::string("« ") + OpenCaption + " » ouvre les paramètres de " +
                  (chosen.User.empty() ? "ce registre" : chosen.User) + ".";
    }
}

} // namespace quillon
