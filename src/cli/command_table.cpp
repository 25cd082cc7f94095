// The table of quillon-cli's commands.
#include "cli/command_args.h"
#include "cli/commands.h"

#include <algorithm>
#include <array>

namespace quillon::cli {
namespace {

bool BackupArgumentsValid(const std::vector<std::string>& args, std::ostream& err) {
    return ParseBackupArgs(args, false, err).has_value();
}
bool HiveBackupArgumentsValid(const std::vector<std::string>& args, std::ostream& err) {
    return ParseBackupArgs(args, true, err).has_value();
}
bool AdaptArgumentsValid(const std::vector<std::string>& args, std::ostream& err) {
    return ParseAdaptArgs(args, err).has_value();
}
bool ProfileArgumentsValid(const std::vector<std::string>& args, std::ostream& err) {
    return ParseProfileArgs(args, err).has_value();
}
bool ProfileFromCopyAsked(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--store") != args.end();
}
bool StatusArgumentsValid(const std::vector<std::string>& args, std::ostream& err) {
    return PositionalOnly("status", 0, args, err);
}
bool LookupArgumentsValid(const std::vector<std::string>& args, std::ostream& err) {
    return PositionalOnly("lookup RUCHE", 1, args, err);
}

const std::array kCommands = {
    Command{"export",
            "  export CLÉ FICHIER [--append]\n"
            "      écrit la clé CLÉ (nom complet, racine comprise), ses valeurs et ses sous-clés\n"
            "      dans FICHIER au format REGEDIT4 ; avec --append, ajoute à la fin de FICHIER.\n",
            Command::Needs::Registry, nullptr,
            [](CommandContext& c, const std::vector<std::string>& args) {
                return RunExport(*c.Registry, args, c.Err);
            }},
    Command{
        "export-mail",
        "  export-mail DOSSIER_OE SORTIE [--recover] [--address-book CARNET.wab]\n"
        "      écrit le courrier des fichiers .dbx de DOSSIER_OE (une copie faite avec --mail,\n"
        "      ou le dossier d'OE lui-même) dans le nouveau dossier SORTIE, pour les clients\n"
        "      de messagerie d'aujourd'hui : un fichier mbox par dossier (SORTIE/mbox, rangé\n"
        "      comme les Dossiers locaux de Thunderbird) et un fichier .eml par message\n"
        "      (SORTIE/eml) ; avec --recover, aussi les messages retrouvés hors de l'index\n"
        "      (effacés ou index endommagé), écrits à part. Le carnet d'adresses (CARNET.wab,\n"
        "      ou celui de la copie) est écrit en vCard et en CSV (SORTIE/Carnet d'adresses).\n",
        Command::Needs::Options, nullptr,
        [](CommandContext& c, const std::vector<std::string>& args) {
            return RunExportMail(args, c.Out, c.Err);
        }},
    Command{
        "list",
        "  list [--details]\n"
        "      les installations de Windows et les utilisateurs que le registre donné contient\n"
        "      (partitions d'une image, profils, copies plus anciennes du registre à lire avec\n"
        "      --restore-point) : une ligne chacun, séparée par des tabulations :\n"
        "      emplacement, système, version d'OE, utilisateur, identité, répertoire OE ; avec\n"
        "      --details, ce qu'une sauvegarde emporterait : comptes (sans mot de passe),\n"
        "      signatures, nombre de règles et d'émetteurs bloqués.\n",
        Command::Needs::Options, nullptr,
        [](CommandContext& c, const std::vector<std::string>& args) {
            return RunList(c.Options, c.ProgramFolder, args, c.Out, c.Err);
        }},
    Command{"status",
            "  status\n"
            "      le démarrage de la fenêtre : version d'OE, identité active, répertoire des\n"
            "      fichiers OE, groupe de l'utilisateur (et les messages du démarrage).\n",
            Command::Needs::Window, StatusArgumentsValid,
            [](CommandContext& c, const std::vector<std::string>&) {
                return RunStatus(*c.Window, c.Out);
            }},
    Command{"save",
            "  save FICHIER [--only LISTE] [--generate-accounts yes|no]\n"
            "       [--mail DOSSIER [--eml|--open-formats]]\n"
            "      onglet 1 : sauvegarde les paramètres de l'identité active dans FICHIER.\n",
            Command::Needs::Window, BackupArgumentsValid,
            [](CommandContext& c, const std::vector<std::string>& args) {
                return RunSave(*c.Window, *c.Ui, args, c.Err);
            }},
    Command{"lookup",
            "  lookup RUCHE\n"
            "      onglet 2, Rechercher : l'identité et le répertoire OE de la ruche chargée sous\n"
            "      HKEY_LOCAL_MACHINE\\RUCHE.\n",
            Command::Needs::Window, LookupArgumentsValid,
            [](CommandContext& c, const std::vector<std::string>& args) {
                return RunLookup(*c.Window, args, c.Out);
            }},
    Command{
        "save-hive",
        "  save-hive RUCHE FICHIER [--identity ID] [--only LISTE] [--generate-accounts yes|no]\n"
        "            [--mail DOSSIER [--eml|--open-formats]]\n"
        "      onglet 2 : sauvegarde les paramètres de cette ruche (de l'identité ID, sinon de\n"
        "      celle que Rechercher trouve), clés réécrites en HKEY_CURRENT_USER.\n",
        Command::Needs::Window, HiveBackupArgumentsValid,
        [](CommandContext& c, const std::vector<std::string>& args) {
            return RunSaveHive(*c.Window, *c.Ui, args, c.Err);
        }},
    Command{
        "thunderbird-profile",
        "  thunderbird-profile DOSSIER [--hive RUCHE [--identity ID] | --store COPIE\n"
        "                      [--identity ID]] [--recover]\n"
        "      écrit l'identité active (ou celle de la ruche RUCHE, comme l'onglet 2) en profil\n"
        "      Thunderbird : le dossier DOSSIER et l'archive DOSSIER.zip, que Thunderbird\n"
        "      importe (Outils > Importer > Importer depuis Thunderbird) ou ouvre (thunderbird\n"
        "      -profile DOSSIER) : comptes et serveurs (sans mot de passe), nom, adresse,\n"
        "      signature, courrier dans les Dossiers locaux au nom de l'identité, carnet\n"
        "      d'adresses, émetteurs bloqués en filtre ; avec --recover, aussi les messages\n"
        "      retrouvés hors de l'index. Avec --store, le courrier d'une copie faite avec\n"
        "      --mail, et les paramètres du registre lu (une sauvegarde lue par --reg).\n",
        Command::Needs::Window, ProfileArgumentsValid,
        [](CommandContext& c, const std::vector<std::string>& args) {
            return RunThunderbirdProfile(c, args);
        },
        ProfileFromCopyAsked},
    Command{
        "adapt",
        "  adapt ENTRÉE SORTIE [--identity ANCIENNE] [--folder DOSSIER] [--address-book CHEMIN]\n"
        "        [--mail COPIE [--replace-mail]]\n"
        "      onglet 3 : adapte la sauvegarde ENTRÉE à ce système (identité, groupe, répertoire\n"
        "      OE DOSSIER, carnet d'adresses CHEMIN, sinon celui de Windows) et écrit SORTIE.\n",
        Command::Needs::Window, AdaptArgumentsValid,
        [](CommandContext& c, const std::vector<std::string>& args) {
            return RunAdapt(*c.Window, *c.Ui, args, c.Out, c.Err);
        }},
};

} // namespace

std::span<const Command> Commands() {
    return kCommands;
}

const Command* FindCommand(std::string_view name) {
    const auto found =
        std::find_if(kCommands.begin(), kCommands.end(),
                     [name](const Command& command) { return command.Name == name; });
    return found == kCommands.end() ? nullptr : &*found;
}

} // namespace quillon::cli
