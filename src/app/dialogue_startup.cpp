// Start-up: the mail client's version, the active identity, its store folder and the user's
// group identifier, read once before the window is shown.
#include "app/dialogue.h"
#include "registry/mail_client_keys.h"
#include "text/native_text.h"

namespace quillon {
namespace {

constexpr const char* kIdentities = "Identities";
constexpr const char* kGroupMembership =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\GroupMembership";

} // namespace

std::optional<std::string> Dialogue::ReadValue(const char* root, const std::string& path,
                                               const char* value) {
    std::int32_t error = 0;
    const std::uint32_t key = registry_.OpenKey(root, path, KeyRead, error);
    if (key == 0) {
        return std::nullopt;
    }
    std::uint32_t type = 0;
    std::string text = AsText(registry_.QueryValue(key, value, type));
    registry_.CloseKey(key);
    return text;
}

void Dialogue::Form_Load() {
    const auto stop = [this](const char* text, const char* title) {
        ui_.MessageBox(Ansi(text), MessageIcon::Stop, MessageButtons::Ok, Ansi(title));
    };

    const auto version =
        ReadValue("HKEY_LOCAL_MACHINE", "Software\\Microsoft\\Internet Explorer", "Version");
    if (!version) {
        stop("Version OE non trouvée", "Recherche de la version OE dans le registre (1)");
        EndProgram();
        return;
    }
    VersionOE = *version;
    CommentOnglet1.SetText(VersionOE);
    CommentOnglet2.SetText(VersionOE);
    if (VersionOE.empty() || (VersionOE[0] != '5' && VersionOE[0] != '6')) {
        ui_.MessageBox(Ansi("Version OE inconnue : ") + VersionOE.substr(0, 1), MessageIcon::Stop,
                       MessageButtons::Ok, Ansi("Recherche de la version OE dans le registre (2)"));
        EndProgram();
        return;
    }

    if (const auto identity = ReadValue("HKEY_CURRENT_USER", kIdentities, "Last User ID")) {
        IdentiteBdRActif = *identity;
    } else {
        stop("Identité non trouvée dans la base de registre (OE 5/6)",
             "Recherche de l'identité courante dans le registre");
    }
    IdentiteCourante.SetText(IdentiteBdRActif);

    SousClef = OutlookExpressKeyOf("", IdentiteBdRActif);
    if (const auto folder = ReadValue("HKEY_CURRENT_USER", SousClef, "Store Root")) {
        CheminOEactif = *folder;
    } else {
        stop("Répertoire des fichiers OE non trouvé dans la base de registre",
             "Recherche de l'identité dans le registre");
    }
    RepertoireCourant.SetText(CheminOEactif);

    RepertoireLu.SetText("");
    RepertoireChoisi.SetText("");
    RepertoireAutre.SetText("");
    NomAutre.SetText("");
    IdentiteAutre.SetText("");
    TexteGroupeActif.SetText(" ");
    MdpSauvé = false;

    // The group of the user's keys under HKEY_USERS.
    SousClef = kGroupMembership;
    const auto group = ReadValue("HKEY_CURRENT_USER", SousClef, "Group0");
    if (const auto userGroup = group ? UserKeysGroupOf(*group) : std::nullopt) {
        GroupeActif = *userGroup;
        TexteGroupeActif.SetText(GroupeActif);
    }

    OngletActif = 1;
    Onglets_Click();
    Check1_9.SetValue(1);
    IdentiteFichier.SetText("");
}

} // namespace quillon
