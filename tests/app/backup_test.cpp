// The backup commands of tabs 1 and 2 through the fake Ui: whole files, and the sequences of
// messages that tell the user what was found.
#include "app/dialogue.h"
#include "backup/backup_files.h"
#include "fake_ui.h"
#include "files/temp_file.h"
#include "test_support.h"

namespace quillon {
namespace {

using test::FakeUi;
using Messages = std::vector<std::string>;

constexpr const char* kId = "{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}";
const std::string kOe =
    std::string("Identities\\") + kId + "\\Software\\Microsoft\\Outlook Express\\5.0";

class BackupTest : public ::testing::Test {
  protected:
    void Start(std::string_view reg) {
        store = test::StoreFromReg(reg);
        Launch();
    }
    // The sample installation as Windows would load it: its user's keys also under
    // HKEY_USERS\<SID>.
    void StartSample() {
        std::string error;
        for (const char* part : {"ntuser", "default", "software"}) {
            ASSERT_TRUE(ReadRegFile(std::string(QUILLON_EXAMPLES "/sample-xp/") + part + ".reg",
                                    store, error))
                << error;
        }
        LoadSampleUserAt("HKEY_USERS\\S-1-5-21-1111111111-2222222222-3333333333-1003");
        Launch();
    }
    // The sample user's own keys, loaded a second time below `root`.
    void LoadSampleUserAt(const std::string& root) {
        const std::string user = test::ReadBytes(QUILLON_EXAMPLES "/sample-xp/ntuser.reg");
        std::string error;
        ASSERT_TRUE(ReadRegText(ReplaceAll(user, "[HKEY_CURRENT_USER", "[" + root), "ntuser.reg",
                                store, error))
            << error;
    }
    void Launch() {
        dialogue.emplace(registry, ui, ".");
        dialogue->TodayText = [] { return std::string("2026 12 05"); };
        dialogue->Form_Load();
        ASSERT_FALSE(dialogue->Ended());
        ui.messages.clear();
    }
    // Ticks exactly these boxes of tab 1.
    void Only(std::initializer_list<CheckBox*> boxes) {
        Dialogue& d = *dialogue;
        for (CheckBox* box :
             {&d.Check1_9, &d.Check1_1, &d.Check1_2, &d.Check1_11, &d.Check1_12, &d.Check1_21,
              &d.Check1_22, &d.Check1_23, &d.Check1_3, &d.Check1_4, &d.Check1_5, &d.Check1_6}) {
            box->SetValue(0);
        }
        for (CheckBox* box : boxes) {
            box->SetValue(1);
        }
    }
    Messages Texts() const { return ui.Texts(); }
    std::string Save(bool tab1 = true) {
        ui.files.push_back(out);
        tab1 ? dialogue->BoutonSauvegarder1_Click() : dialogue->BoutonSauvegarder2_Click();
        return test::ReadBytes(out);
    }
    std::vector<std::string> KeyLines(const std::string& text) {
        std::vector<std::string> keys;
        for (const std::string& line : SplitLines(text)) {
            if (line.starts_with("[")) {
                keys.push_back(line);
            }
        }
        return keys;
    }

    test::ScratchFolder folder;
    test::ScratchFolder temp{"-temp"};
    // Every temporary file of the program goes to a folder of this test's own.
    test::ScopedTempFolder tempFolder{temp.Path().string() +
                                      std::string(1, std::filesystem::path::preferred_separator)};
    std::string out = folder.File("backup.reg");
    MemoryStore store;
    Reg_access registry{store};
    FakeUi ui;
    std::optional<Dialogue> dialogue;
};

TEST_F(BackupTest, EveryBoxOfTabOneWritesTheReviewedFile) {
    StartSample();
    ui.answers.push_back(Answer::Yes);
    const std::string written = Save();
    EXPECT_EQ(written, test::ReadBytes(QUILLON_TEST_DATA "/sample-xp.save.expected.reg"));
    const FileDialogRequest& dialog = ui.dialogs.at(0);
    EXPECT_EQ(dialog.FileName, "Sauvegarde Quillon 2026 12 05");
    EXPECT_EQ(AnsiToUtf8(dialog.Title), "Choix du fichier de sauvegarde des paramètres");
    EXPECT_EQ(AnsiToUtf8(dialog.Filter),
              "Mise à jour de base de registre (.reg)|*.reg|texte (.txt)|*.txt");
    EXPECT_EQ(dialog.FilterIndex, 2);
    EXPECT_EQ(dialog.DefaultExtension, "reg");
    EXPECT_EQ(dialog.InitialFolder, dialogue->RepertoireCourant.Text());
    EXPECT_TRUE(dialog.OverwritePrompt);
    const auto lines = SplitLines(written).size();
    EXPECT_EQ(Texts(),
              (Messages{"Recherche des comptes IE dans le registre | Comptes non trouvés "
                        "pour cette identité, les générer ? ",
                        "Sauvegarde des paramètres Outlook Express | Sauvegarde effectuée "
                        "pour " +
                            std::to_string(lines) + " lignes \n dans le fichier \n" + out}));
    EXPECT_EQ(dialogue->NbSauvegarde, static_cast<std::int32_t>(lines));
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path())); // the accounts' temporary file is gone
}

TEST_F(BackupTest, MissingKeysAreReportedRowByRow) {
    Start(test::OeRegistry(kId));
    Dialogue& d = *dialogue;
    Only({&d.Check1_11, &d.Check1_12, &d.Check1_21, &d.Check1_22, &d.Check1_23, &d.Check1_3,
          &d.Check1_5, &d.Check1_6});
    Save();
    EXPECT_EQ(
        Texts(),
        (Messages{
            "Recherche des émetteurs bloqués  | Pas d'émetteur bloqué pour le courrier",
            "Recherche de l'identité dans le registre | Pas d'émetteur bloqué dans les forums",
            "Recherche de l'identité dans le registre | Pas de règles pour le courrier",
            "Recherche de l'identité dans le registre | Pas de filtre défini.",
            "Recherche de l'identité dans le registre | Pas de règles pour les forums",
            "Recherche de signatures dans le registre | Pas de signature définie",
            "Recherche de signatures dans le registre | Pas de Compte FAI défini",
            "Recherche de l'adresse dans le registre | Pas d'emplacement du carnet",
            "Sauvegarde des paramètres Outlook Express | Sauvegarde non effectuée, aucune clef à "
            "copier"}));
    EXPECT_EQ(ui.messages.back().Icon, MessageIcon::Stop);
    EXPECT_FALSE(std::filesystem::exists(out)); // no key, no file

    ui.messages.clear();
    Only({&d.Check1_1, &d.Check1_11, &d.Check1_12, &d.Check1_2});
    Save();
    EXPECT_EQ(Texts(),
              (Messages{"Recherche de l'identité dans le registre | Pas d'émetteurs bloqués",
                        "Recherche de l'identité dans le registre | Pas de règles définies ",
                        "Sauvegarde des paramètres Outlook Express | Sauvegarde non effectuée, "
                        "aucune clef à copier"}));
}

TEST_F(BackupTest, NoSettingsOfTheIdentityEndsTheRunWithoutReport) {
    Start("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer]\r\n\"Version\"=\"6.0\"\r\n"
          "[HKEY_CURRENT_USER\\Identities]\r\n\"Last User ID\"=\"{X}\"\r\n"
          "[HKEY_CURRENT_USER\\RemoteAccess]\r\n\"Default\"=\"FAI\"\r\n");
    ui.messages.clear();
    Save();
    EXPECT_EQ(Texts(),
              (Messages{"Recherche de l'identité dans le registre | Pas de paramètres OE !"}));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(BackupTest, MastersSkipTheirDetailRows) {
    StartSample();
    Dialogue& d = *dialogue;
    Only({&d.Check1_1}); // ticks both detail boxes too
    ASSERT_EQ(d.Check1_11.Value(), 1);
    std::vector<std::string> keys = KeyLines(Save());
    EXPECT_EQ(keys.front(), "[HKEY_CURRENT_USER\\" + kOe + "\\Block Senders]");
    EXPECT_EQ(std::count(keys.begin(), keys.end(),
                         "[HKEY_CURRENT_USER\\" + kOe + "\\Block Senders\\Mail]"),
              1);

    Only({&d.Check1_12, &d.Check1_11});
    keys = KeyLines(Save());
    EXPECT_EQ(keys.front(), "[HKEY_CURRENT_USER\\" + kOe + "\\Block Senders\\Mail]");
    EXPECT_NE(std::find(keys.begin(), keys.end(),
                        "[HKEY_CURRENT_USER\\" + kOe + "\\Block Senders\\News]"),
              keys.end());
}

TEST_F(BackupTest, PasswordStoresAreWrittenOnceAfterTheAccounts) {
    StartSample();
    Dialogue& d = *dialogue;
    Only({&d.Check1_4, &d.Check1_5});
    ui.answers.push_back(Answer::No);
    const std::vector<std::string> keys = KeyLines(Save());
    const auto count = [&](const std::string& key) {
        return std::count(keys.begin(), keys.end(), "[HKEY_CURRENT_USER\\" + key + "]");
    };
    EXPECT_EQ(count("Software\\Microsoft\\Protected Storage System Provider"), 1);
    EXPECT_EQ(count("Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW"), 1);
    EXPECT_EQ(keys.front(),
              "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts]");
    // Answered No: no accounts under the identity.
    EXPECT_EQ(std::count_if(
                  keys.begin(), keys.end(),
                  [](const std::string& k) { return k.find("Identities") != std::string::npos; }),
              0);
    const auto stores =
        std::find(keys.begin(), keys.end(),
                  "[HKEY_CURRENT_USER\\Software\\Microsoft\\Protected Storage System Provider]");
    EXPECT_LT(stores - keys.begin(),
              std::find(keys.begin(), keys.end(), "[HKEY_CURRENT_USER\\RemoteAccess]") -
                  keys.begin());
}

TEST_F(BackupTest, CancelledDialogsAndExistingFiles) {
    StartSample();
    dialogue->BoutonSauvegarder1_Click(); // no file from the dialog: cancelled
    EXPECT_EQ(Texts(), (Messages{"Sauvegarde des paramètres Outlook Express | Sauvegarde non "
                                 "effectuée, pas de fichier indiqué"}));
    EXPECT_EQ(ui.messages[0].Icon, MessageIcon::Exclamation);

    // A run that writes no key says so and leaves the existing file alone; one that does
    // replaces it.
    test::WriteBytes(out, "one\r\ntwo\r\n");
    ui.messages.clear();
    Dialogue& d = *dialogue;
    store.FindKey("HKEY_CURRENT_USER\\" + kOe)->RemoveSubkey("Signatures");
    Only({&d.Check1_3});
    EXPECT_EQ(Save(), "one\r\ntwo\r\n");
    EXPECT_EQ(ui.messages.back().Text, "Sauvegarde non effectuée, aucune clef à copier");
    Only({&d.Check1_6});
    EXPECT_EQ(Save().substr(0, 10), "REGEDIT4\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

// Generated accounts as the first section still give a file that begins with its header.
TEST_F(BackupTest, ABackupBeginsWithItsHeaderWhateverItsFirstSection) {
    StartSample();
    for (const std::string& accounts :
         {std::string("HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts"),
          "HKEY_CURRENT_USER\\Identities\\" + std::string(kId) +
              "\\Software\\Microsoft\\Internet Account Manager\\Accounts"}) {
        store.DeleteKey(accounts);
    }
    Only({&dialogue->Check1_4});
    ui.answers.push_back(Answer::Yes);
    const std::string written = Save();
    EXPECT_EQ(written.substr(0, 10), "REGEDIT4\r\n");
    EXPECT_NE(written.find("[HKEY_CURRENT_USER\\Software\\Microsoft\\Protected Storage"),
              std::string::npos);
}

// A run that fails half-way (here: no temporary folder for the accounts) leaves the chosen
// file as it was, and nothing else beside it.
TEST_F(BackupTest, ARunThatFailsHalfWayLeavesTheChosenFileAsItWas) {
    StartSample();
    test::WriteBytes(out, "old\r\n");
    test::ScopedTempFolder nowhere{folder.File("no-such-folder") + "/"};
    ui.answers.push_back(Answer::Yes);
    EXPECT_EQ(Save(), "old\r\n");
    EXPECT_EQ(ui.messages.back().Icon, MessageIcon::Stop);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST_F(BackupTest, AnUnwritableFileEndsTheRunWithItsReasonAndNoTemporaryFile) {
    StartSample();
    out = folder.File("missing/backup.reg");
    ui.answers.push_back(Answer::Yes);
    Save();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].Icon, MessageIcon::Stop);
    EXPECT_EQ(ui.messages[0].Title, "Sauvegarde des paramètres Outlook Express");
    EXPECT_NE(ui.messages[0].Text.find(out), std::string::npos);
    EXPECT_NE(ui.messages[0].Text.find("n'existe pas"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
}

TEST_F(BackupTest, TheLookupFindsTheIdentityOfTheLoadedHive) {
    StartSample();
    Dialogue& d = *dialogue;
    d.BoutonRechercherAutre_Click();
    EXPECT_EQ(Texts(), (Messages{"Bouton Rechercher | Il n'y a pas de nom de ruche indiqué, "
                                 "regardez l'aide."}));
    ui.messages.clear();
    MemoryKey& autre = *store.CreateKey("HKEY_LOCAL_MACHINE\\AUTRE");
    autre.AddSubkey("Identities").SetValue("Last User ID", RegType::String, {'{', 'Z', '}', 0});
    d.NomAutre.SetText("autre"); // the registry ignores case
    d.BoutonRechercherAutre_Click();
    EXPECT_EQ(d.IdentiteAutre.Text(), "{Z}");
    EXPECT_EQ(d.RepertoireAutre.Text(), "       ");
    EXPECT_EQ(Texts(), (Messages{"Recherche des répertoires dans un autre registre | Répertoire "
                                 "des fichiers OE non trouvé dans l'autre base de registre"}));
    ui.messages.clear();
    d.NomAutre.SetText("NOWHERE");
    d.BoutonRechercherAutre_Click();
    EXPECT_EQ(d.IdentiteAutre.Text(), "{Z}"); // results of the earlier search stay
    EXPECT_EQ(Texts(), (Messages{"Recherche de l'identité dans un autre registre | Identité non "
                                 "trouvée dans l'autre base de registre (OE 5/6)"}));
}

// An empty hive name names no hive: the machine's own keys are not saved as the user's.
TEST_F(BackupTest, TabTwoWithNoHiveNameSavesNothingOfTheMachine) {
    StartSample();
    store
        .CreateKey("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Account Manager\\Accounts\\"
                   "Bigfoot")
        ->SetValue("Account Name", RegType::String, {'B', 0});
    dialogue->Check2_4.SetValue(1);
    ui.answers.push_back(Answer::Yes);
    const std::string written = Save(false);
    EXPECT_EQ(written.find("HKEY_LOCAL_MACHINE"), std::string::npos);
    EXPECT_EQ(written.find("Bigfoot"), std::string::npos);
}

TEST_F(BackupTest, TabTwoWritesTheHiveAsTheCurrentUsers) {
    StartSample();
    LoadSampleUserAt("HKEY_LOCAL_MACHINE\\AUTRE");
    store.FindKey("HKEY_LOCAL_MACHINE\\AUTRE")->RemoveSubkey("RemoteAccess");

    Dialogue& d = *dialogue;
    d.NomAutre.SetText("AUTRE");
    d.BoutonRechercherAutre_Click();
    d.Check2_9.SetValue(1);
    ui.answers.push_back(Answer::Yes);
    test::WriteBytes(out, "old\r\n");
    std::filesystem::permissions(out, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_write);
    const std::string written = Save(false);
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(out).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.Text.find("~~TempQuillon"), std::string::npos) << message.Text;
    }
    EXPECT_EQ(ui.dialogs.back().FileName, "Sauvegarde Quillon Autre Base 2026 12 05");
    EXPECT_EQ(written.find("HKEY_LOCAL_MACHINE\\AUTRE\\"), std::string::npos);
    const auto keys = KeyLines(written);
    EXPECT_EQ(keys.front(), "[HKEY_CURRENT_USER\\" + kOe + "]");
    EXPECT_NE(std::find(keys.begin(), keys.end(),
                        std::string("[HKEY_CURRENT_USER\\Identities\\") + kId +
                            "\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001]"),
              keys.end());
    EXPECT_EQ(std::count_if(keys.begin(), keys.end(),
                            [](const std::string& k) {
                                return k.find("Protected Storage") != std::string::npos ||
                                       k.find("WAB") != std::string::npos;
                            }),
              0);
    // The dial-up message comes even though every box is ticked.
    EXPECT_EQ(ui.messages[ui.messages.size() - 2].Text, "Pas de Compte FAI défini");
    EXPECT_EQ(ui.messages.back().Text, "Sauvegarde effectuée pour " +
                                           std::to_string(SplitLines(written).size()) +
                                           " lignes \n dans le fichier \n" + out);
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
    // Only the output is left beside it: the rewrite's own file was renamed into place.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

} // namespace
} // namespace quillon
