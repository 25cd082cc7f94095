#include "options/store_options.h"

#include "offline/offline_store.h"
#include "text/native_text.h"

#ifdef _WIN32
#include "stores/windows_store.h"
#endif

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace quillon {

namespace {

#ifdef _WIN32
constexpr const char* kSystemSources =
    "Registre lu : par défaut celui de l'utilisateur connecté ; avec ces options, un registre\n"
    "hors ligne (options combinables, dans l'ordre donné) :\n"
    "  --windows DOSSIER       un Windows éteint (un ancien disque branché, E:\\) : 2000/XP/2003\n"
    "                          (ruches SOFTWARE, DEFAULT et NTUSER.DAT de l'utilisateur) ou\n"
    "                          95/98/Me (SYSTEM.DAT, USER.DAT)\n"
    "  --wine-prefix DOSSIER   un préfixe Wine copié : system.reg, user.reg, userdef.reg\n"
    "  --image FICHIER         une image disque : lue par Quillon sous Linux ; sous Windows,\n"
    "                          montez-la et donnez son lecteur avec --windows\n";
constexpr const char* kWithoutSources = "";
#else
constexpr const char* kSystemSources =
    "Registre lu (hors ligne ; options combinables, dans l'ordre donné) :\n"
    "  --wine-prefix DOSSIER   un préfixe Wine : system.reg, user.reg, userdef.reg\n"
    "  --windows DOSSIER       un Windows éteint (disque monté) : 2000/XP/2003 (ruches SOFTWARE,\n"
    "                          DEFAULT et NTUSER.DAT de l'utilisateur) ou 95/98/Me (SYSTEM.DAT,\n"
    "                          USER.DAT)\n"
    "  --image FICHIER         une image disque, lue sans la monter : brute, brute découpée,\n"
    "                          EnCase E01, ou disque de machine virtuelle (VMware VMDK,\n"
    "                          Virtual PC VHD, Hyper-V VHDX, VirtualBox VDI, QEMU QCOW2 et\n"
    "                          QCOW ; un instantané est lu sur ses parents) : le Windows\n"
    "                          qu'elle contient, comme --windows\n"
    "  --partition N           la partition de l'image à lire (s'il y a plusieurs Windows)\n";
constexpr const char* kWithoutSources =
    "Sans option : le préfixe Wine de $WINEPREFIX, sinon ~/.wine s'il existe, sinon un\n"
    "registre vide.\n";
#endif

// The sources that need no image library, read on every system.
constexpr const char* kFolderAndFileSources =
    "  --user NOM              le profil à lire avec --windows ou --image (s'il y en a plusieurs)\n"
    "  --restore-point NOM     avec --windows ou --image, une copie plus ancienne du registre,\n"
    "                          comme list la nomme : un point de restauration de Windows XP\n"
    "                          (RP12) ou Me (RG000003), une sauvegarde de Windows 98 ou Me\n"
    "                          (RB001)\n"
    "  --hive CLÉ=FICHIER      une ruche (regf, ou CREG de Windows 95/98/Me) ou un fichier de\n"
    "                          registre Wine, placé à CLÉ\n"
    "  --load NOM=FICHIER      une ruche chargée sous HKEY_LOCAL_MACHINE\\NOM (comme reg load)\n"
    "  --reg FICHIER           un fichier .reg (REGEDIT4 ou version 5.00), clés à leur nom "
    "complet\n";

} // namespace

const std::string StoreOptionsHelp =
    std::string(kSystemSources) + kFolderAndFileSources + kWithoutSources;

namespace {

// "KEY=FILE" split at its first "=".
bool SplitAssignment(const std::string& text, std::string& key, std::string& file) {
    const auto cut = text.find('=');
    if (cut == std::string::npos || cut == 0 || cut + 1 == text.size()) {
        return false;
    }
    key = text.substr(0, cut);
    file = text.substr(cut + 1);
    return true;
}

} // namespace

OptionParse ParseStoreOption(const std::vector<std::string>& args, std::size_t& index,
                             StoreOptions& options, std::string& error) {
    const std::string& option = args[index];
    static const std::vector<std::string> kOptions = {
        "--wine-prefix", "--windows", "--image", "--partition",    "--user",
        "--hive",        "--load",    "--reg",   "--restore-point"};
    if (std::find(kOptions.begin(), kOptions.end(), option) == kOptions.end()) {
        return OptionParse::NotAStoreOption;
    }
    if (index + 1 >= args.size()) {
        error = option + " demande un argument";
        return OptionParse::Error;
    }
    const std::string& argument = args[index + 1];
    index += 2;
    std::string key, file;
    if (option == "--wine-prefix") {
        options.Mounts.push_back({Mount::Kind::WinePrefix, "", argument});
    } else if (option == "--windows") {
        options.Mounts.push_back({Mount::Kind::Windows, "", argument});
    } else if (option == "--image") {
        options.Mounts.push_back({Mount::Kind::Image, "", argument});
    } else if (option == "--partition") {
        if (argument.empty() || argument.size() > 3 ||
            argument.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(argument) == 0) {
            error =
                "--partition attend le numéro d'une partition (1, 2 ...), pas « " + argument + " »";
            return OptionParse::Error;
        }
        options.Partition = std::stoi(argument);
    } else if (option == "--user") {
        options.User = argument;
    } else if (option == "--restore-point") {
        options.RestorePoint = argument;
    } else if (option == "--reg") {
        options.Mounts.push_back({Mount::Kind::Reg, "", argument});
    } else if (!SplitAssignment(argument, key, file)) {
        error = option + " attend " + (option == "--hive" ? "CLÉ=FICHIER" : "NOM=FICHIER");
        return OptionParse::Error;
    } else if (option == "--hive") {
        options.Mounts.push_back({Mount::Kind::Hive, key, file});
    } else if (key.find('\\') != std::string::npos) {
        error = "--load : le nom « " + key + " » ne doit pas contenir de « \\ »";
        return OptionParse::Error;
    } else {
        options.Mounts.push_back({Mount::Kind::Hive, "HKEY_LOCAL_MACHINE\\" + key, file});
    }
    return OptionParse::Taken;
}

std::unique_ptr<RegistryStore> OpenStoreOnly(const StoreOptions& options, std::string& error) {
    OpenedStore opened = OpenStore(options);
    error = opened.Error;
    return std::move(opened.Store);
}

std::string MisplacedChoice(const StoreOptions& options) {
    const auto given = [&](Mount::Kind kind) {
        return std::any_of(options.Mounts.begin(), options.Mounts.end(),
                           [&](const Mount& mount) { return mount.Source == kind; });
    };
    if (!options.User.empty() && !given(Mount::Kind::Windows) && !given(Mount::Kind::Image)) {
        return "--user choisit le profil d'une installation : donnez aussi --windows ou --image";
    }
    if (!options.RestorePoint.empty() && !given(Mount::Kind::Windows) &&
        !given(Mount::Kind::Image)) {
        return "--restore-point choisit une copie plus ancienne du registre d'une installation : "
               "donnez aussi --windows ou --image";
    }
    if (options.Partition != 0 && !given(Mount::Kind::Image)) {
        return "--partition choisit la partition d'une image : donnez aussi --image";
    }
    return "";
}

namespace {

#ifndef _WIN32
// $WINEPREFIX, else ~/.wine, when it holds a registry.
std::string DefaultWinePrefix() {
    const char* fromEnvironment = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    std::string prefix = fromEnvironment != nullptr && *fromEnvironment != '\0'
                             ? fromEnvironment
                             : (home != nullptr ? std::string(home) + "/.wine" : "");
    std::error_code ec;
    return !prefix.empty() && std::filesystem::exists(prefix + "/system.reg", ec) ? prefix : "";
}
#endif

// The drives of the installation that the sources come from: C: for a Windows disk, the
// dosdevices of a Wine prefix (or its drive_c when it has none).
InstallationPaths InstallationOf(const StoreOptions& options, MemoryStore& store,
                                 const std::shared_ptr<const FileTree>& imageFiles) {
    InstallationPaths paths;
    for (const Mount& mount : options.Mounts) {
        if (mount.Source == Mount::Kind::Windows) {
            paths.AddDrive('C', NativeToAnsi(mount.Path));
        } else if (mount.Source == Mount::Kind::Image && imageFiles) {
            paths.AddDrive('C', imageFiles);
        } else if (mount.Source == Mount::Kind::WinePrefix) {
            const std::filesystem::path devices = std::filesystem::path(mount.Path) / "dosdevices";
            std::error_code ec;
            for (std::filesystem::directory_iterator it(devices, ec), end; !ec && it != end;
                 it.increment(ec)) {
                const std::string name = it->path().filename().string();
                if (name.size() == 2 && name[1] == ':' &&
                    std::isalpha(static_cast<unsigned char>(name[0]))) {
                    paths.AddDrive(name[0], NativeToAnsi(it->path().string()));
                }
            }
            if (!paths.HasDrives()) {
                paths.AddDrive(
                    'C', NativeToAnsi((std::filesystem::path(mount.Path) / "drive_c").string()));
            }
        }
    }
    if (paths.HasDrives()) {
        paths.ReadVariables(store);
    }
    return paths;
}

OpenedStore OpenStoreSharing(const StoreOptions& options, OpenedHives* hives,
                             OpenedImages* images) {
    OpenedStore opened;
    if (opened.Error = MisplacedChoice(options); !opened.Error.empty()) {
        return opened;
    }
    StoreOptions effective = options;
#ifdef _WIN32
    if (effective.RunningSystem()) {
        opened.Store = std::make_unique<WindowsStore>();
        return opened;
    }
#else
    if (effective.Empty()) {
        if (std::string prefix = DefaultWinePrefix(); !prefix.empty()) {
            effective.Mounts.push_back({Mount::Kind::WinePrefix, "", prefix});
        }
    }
#endif
    auto store = std::make_unique<MemoryStore>();
    std::shared_ptr<const FileTree> imageFiles;
    if (MountAll(*store, effective, opened.Warnings, opened.Error, &imageFiles, hives, images)) {
        opened.Installation = InstallationOf(effective, *store, imageFiles);
        opened.TakeReadWarnings = [read = store.get()] { return read->TakeReadWarnings(); };
        opened.Store = std::move(store);
    }
    return opened;
}

} // namespace

OpenedStore OpenStore(const StoreOptions& options) {
    return OpenStoreSharing(options, nullptr, nullptr);
}

ListingOpener OpenStoresSharingHives() {
    auto hives = std::make_shared<OpenedHives>();
    return [hives](const StoreOptions& options, OpenedImages* images, std::string& error) {
        OpenedStore opened = OpenStoreSharing(options, hives.get(), images);
        error = opened.Error;
        return std::move(opened.Store);
    };
}

} // namespace quillon
