// The window as a model: start-up, option boxes, tabs, help and closing, through a fake Ui.
#include "app/dialogue.h"
#include "fake_ui.h"
#include "test_support.h"

namespace quillon {
namespace {

using test::FakeUi;

constexpr const char* kIdentity = "{11111111-2222-3333-4444-555555555555}";
#ifdef _WIN32
const std::string kHelp = "/opt/quillon\\Quillon.chm";
#else
const std::string kHelp = "/opt/quillon/help";
#endif

std::string Registry(std::string_view version, std::string_view group = "S-1-5-21-11-22-33-513") {
    return test::OeRegistry(kIdentity, version, group);
}

class DialogueTest : public ::testing::Test {
  protected:
    void Start(const std::string& reg) {
        store = test::StoreFromReg(reg);
        dialogue.emplace(registry, ui, "/opt/quillon");
        dialogue->Form_Load();
    }
    std::vector<int> Values(std::initializer_list<const CheckBox*> boxes) {
        std::vector<int> values;
        for (const CheckBox* box : boxes) {
            values.push_back(box->Value());
        }
        return values;
    }
    std::vector<int> Tab1() {
        const Dialogue& d = *dialogue;
        return Values({&d.Check1_9, &d.Check1_1, &d.Check1_11, &d.Check1_12, &d.Check1_2,
                       &d.Check1_21, &d.Check1_22, &d.Check1_23, &d.Check1_3, &d.Check1_4,
                       &d.Check1_5, &d.Check1_6});
    }
    std::vector<int> Tab2() {
        const Dialogue& d = *dialogue;
        return Values({&d.Check2_9, &d.Check2_1, &d.Check2_11, &d.Check2_12, &d.Check2_2,
                       &d.Check2_21, &d.Check2_22, &d.Check2_23, &d.Check2_3, &d.Check2_4,
                       &d.Check2_5});
    }

    MemoryStore store;
    Reg_access registry{store};
    FakeUi ui;
    std::optional<Dialogue> dialogue;
};

TEST_F(DialogueTest, VersionsFiveAndSixStartAndFillTheBoxes) {
    for (const char* version : {"6.0.2900.2180", "5.50.4807.2300"}) {
        ui = FakeUi{};
        Start(Registry(version));
        EXPECT_TRUE(ui.calls.empty()) << version;
        EXPECT_FALSE(dialogue->Ended());
        EXPECT_EQ(dialogue->CommentOnglet1.Text(), version);
        EXPECT_EQ(dialogue->CommentOnglet2.Text(), version);
    }
    const Dialogue& d = *dialogue;
    EXPECT_EQ(d.IdentiteCourante.Text(), kIdentity);
    EXPECT_EQ(d.RepertoireCourant.Text(), std::string("C:\\OE\0", 6)); // kept as stored
    EXPECT_EQ(d.GroupeActif, "S-1-5-21-11-22-33-1003");
    EXPECT_EQ(d.TexteGroupeActif.Text(), "S-1-5-21-11-22-33-1003");
    for (const TextBox* box : {&d.NomAutre, &d.IdentiteAutre, &d.RepertoireAutre, &d.RepertoireLu,
                               &d.RepertoireChoisi, &d.IdentiteFichier}) {
        EXPECT_EQ(box->Text(), "") << box->Name();
    }
    EXPECT_EQ(Tab1(), std::vector<int>(12, 1));
    EXPECT_EQ(Tab2(), std::vector<int>(11, 0));
    EXPECT_EQ(d.OngletActif, 1);
    EXPECT_TRUE(d.Onglet1.Visible());
    EXPECT_FALSE(d.Onglet2.Visible());
    EXPECT_FALSE(d.Onglet3.Visible());
    EXPECT_EQ(d.HelpFile, kHelp);
}

TEST_F(DialogueTest, AnUnknownOrMissingVersionEndsTheProgram) {
    const struct {
        std::string reg;
        std::string message;
        std::string title;
    } cases[] = {
        {Registry("4.72.3110.0"), "Version OE inconnue : 4",
         "Recherche de la version OE dans le registre (2)"},
        {Registry(""), "Version OE inconnue : ", "Recherche de la version OE dans le registre (2)"},
        {"[HKEY_CURRENT_USER\\Identities]\r\n", "Version OE non trouvée",
         "Recherche de la version OE dans le registre (1)"},
    };
    for (const auto& c : cases) {
        ui = FakeUi{};
        Start(c.reg);
        ASSERT_EQ(ui.messages.size(), 1u) << c.message;
        EXPECT_EQ(ui.messages[0].Text, c.message);
        EXPECT_EQ(ui.messages[0].Title, c.title);
        EXPECT_EQ(ui.messages[0].Icon, MessageIcon::Stop);
        EXPECT_EQ(ui.calls.back(), "end");
        EXPECT_TRUE(dialogue->Ended());
        EXPECT_EQ(dialogue->Check1_9.Value(), 0); // the window was never set up
    }
}

TEST_F(DialogueTest, KeysThatMayBeReadButNotWrittenAreFound) {
    store = test::StoreFromReg(Registry("6.0.2900.5512"));
    store.FindKey("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer")->Access =
        KeyAccess::ReadOnly;
    store.FindKey("HKEY_CURRENT_USER\\Identities")->Access = KeyAccess::ReadOnly;
    dialogue.emplace(registry, ui, "/opt/quillon");
    dialogue->Form_Load();
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_EQ(dialogue->IdentiteBdRActif, kIdentity);
}

TEST_F(DialogueTest, WithoutIdentitiesTwoMessagesComeInTurn) {
    Start("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer]\r\n\"Version\"=\"6.0\"\r\n");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].Text, "Identité non trouvée dans la base de registre (OE 5/6)");
    EXPECT_EQ(ui.messages[0].Title, "Recherche de l'identité courante dans le registre");
    EXPECT_EQ(ui.messages[1].Text, "Répertoire des fichiers OE non trouvé dans la base de registre");
    EXPECT_EQ(ui.messages[1].Title, "Recherche de l'identité dans le registre");
    EXPECT_FALSE(dialogue->Ended());
    EXPECT_EQ(dialogue->IdentiteCourante.Text(), "");
    EXPECT_EQ(dialogue->RepertoireCourant.Text(), "");
    EXPECT_EQ(dialogue->TexteGroupeActif.Text(), " ");
}

TEST_F(DialogueTest, TheGroupRuleNeedsMoreThanTenCharacters) {
    Start(Registry("6.0", "S-1-5-21-1"));
    EXPECT_EQ(dialogue->GroupeActif, "");
    EXPECT_EQ(dialogue->TexteGroupeActif.Text(), " ");
    ui = FakeUi{};
    Start(Registry("6.0", "S-1-5-21-12"));
    EXPECT_EQ(dialogue->GroupeActif, "S-1-5-211003"); // the first 8 characters, then 1003
    EXPECT_EQ(dialogue->TexteGroupeActif.Text(), "S-1-5-211003");
}

TEST_F(DialogueTest, MastersTickTheirBoxesOnTheirOwnTabOnly) {
    Start(Registry("6.0"));
    Dialogue& d = *dialogue;
    d.Check1_9.SetValue(0); // clearing the master changes nothing else
    EXPECT_EQ(Tab1(), (std::vector<int>{0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    d.Check1_11.SetValue(0); // a detail box leaves its master ticked
    EXPECT_EQ(d.Check1_1.Value(), 1);
    d.Check1_1.SetValue(0);
    EXPECT_EQ(Values({&d.Check1_11, &d.Check1_12}), (std::vector<int>{0, 0}));
    d.Check1_1.SetValue(1);
    EXPECT_EQ(Values({&d.Check1_11, &d.Check1_12}), (std::vector<int>{1, 1}));
    d.Check1_2.SetValue(0);
    EXPECT_EQ(Values({&d.Check1_21, &d.Check1_22, &d.Check1_23}), (std::vector<int>{0, 0, 0}));
    d.Check1_21.SetValue(1);
    d.Check1_2.SetValue(0); // setting a master to the value it has changes nothing
    EXPECT_EQ(d.Check1_21.Value(), 1);
    EXPECT_EQ(Tab2(), std::vector<int>(11, 0));

    d.Check2_9.SetValue(1);
    EXPECT_EQ(Tab2(), std::vector<int>(11, 1));
    d.Check2_1.SetValue(0);
    d.Check2_2.SetValue(0);
    EXPECT_EQ(Tab2(), (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(d.Check1_6.Value(), 1); // tab 1 untouched
}

TEST_F(DialogueTest, TabsShowOneFrameAndGateTheSaveButtonsOfTabThree) {
    Start(Registry("6.0"));
    Dialogue& d = *dialogue;
    std::vector<std::string> changed;
    d.Subscribe([&](const Control& control) { changed.push_back(control.Name()); });
    d.Onglets.Select(3);
    d.Onglets_Click();
    EXPECT_TRUE(d.Onglet3.Visible());
    EXPECT_FALSE(d.Onglet1.Visible());
    EXPECT_EQ(d.OngletActif, 3);
    EXPECT_EQ(d.IdentiteFichier.Text(), " ");
    EXPECT_EQ(d.TexteGroupeLu.Text(), " ");
    EXPECT_EQ(d.RepertoireLu.Text(), " ");
    EXPECT_FALSE(d.BoutonChangerF.Enabled());
    EXPECT_FALSE(d.BoutonEnregistrerSauvegarde.Enabled());
    EXPECT_NE(std::find(changed.begin(), changed.end(), "Onglet3"), changed.end());

    d.iTbImport = 2;
    d.IdentiteFichier.SetText("{A}");
    d.BoutonEnregistrerSauvegarde.SetEnabled(true);
    d.Onglets.Select(1);
    d.Onglets_Click();
    EXPECT_TRUE(d.BoutonSauvegarder1.Enabled());
    EXPECT_TRUE(d.BoutonSauvegarder1.IsDefault());
    d.Onglets.Select(3);
    d.Onglets_Click();
    EXPECT_EQ(d.IdentiteFichier.Text(), "{A}");
    EXPECT_TRUE(d.BoutonChangerF.Enabled());
    EXPECT_FALSE(d.BoutonEnregistrerSauvegarde.Enabled());
    d.Onglets.Select(2);
    d.Onglets_Click();
    EXPECT_TRUE(d.Onglet2.Visible());
    EXPECT_TRUE(d.BoutonSauvegarder2.IsDefault());
    EXPECT_FALSE(d.BoutonSauvegarder1.IsDefault());
}

TEST_F(DialogueTest, HelpButtonsOpenTheContextOfTheirRow) {
    Start(Registry("6.0"));
    const std::pair<const char*, int> rows[] = {
        {"BoutonAide1100", 1100}, {"BoutonAide1200", 2000}, {"BoutonAide1500", 1500},
        {"BoutonAide1600", 1600}, {"BoutonAide2000", 2000}, {"BoutonAide2100", 1100},
        {"BoutonAide2200", 2200}, {"BoutonAide2500", 1500}, {"BoutonAide3000", 3000},
        {"BoutonAide9000", 9000}, {"BoutonAide9100", 9100}};
    for (const auto& [button, context] : rows) {
        ui.calls.clear();
        ASSERT_TRUE(dialogue->Click(button));
        EXPECT_EQ(ui.calls,
                  std::vector<std::string>{"help: owned " + kHelp + " 15 " + std::to_string(context)})
            << button;
    }
    ui.calls.clear();
    ui.helpShows = false; // no window for the context: the topic is asked for once more with 0
    dialogue->Aide(1500);
    dialogue->Aide();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"help: owned " + kHelp + " 15 1500",
                                                  "help: owned " + kHelp + " 15 0",
                                                  "help: no owner " + kHelp + " 0 0"}));

    ui.calls.clear();
    dialogue->HelpFile.clear();
    dialogue->Click("BoutonAide3000");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].Text,
              "Impossible d'afficher l'Aide. Aucune Aide n'est associée à ce projet.");
    EXPECT_EQ(ui.messages[0].Icon, MessageIcon::Information);
    EXPECT_EQ(ui.messages[0].Title, "Quillon 2.5       ");
}

TEST_F(DialogueTest, LinksOpenTheFaqAndTermineEndsEvenWhenHelpFails) {
    Start(Registry("6.0"));
    dialogue->Click("Label12");
    dialogue->Click("Label10");
    EXPECT_FALSE(dialogue->Click("Label4")); // shows the address, does nothing
    EXPECT_EQ(ui.calls, (std::vector<std::string>{std::string("web: ") + FaqAddress,
                                                  std::string("web: ") + FaqAddress}));
    ui.browserStarts = false;
    dialogue->Click("Label12");
    EXPECT_EQ(ui.Texts().back(), std::string("Quillon | Impossible d'ouvrir ") + FaqAddress +
                                     " : aucun navigateur n'a pu être lancé.");
    ui.calls.clear();
    ui.helpThrows = true;
    dialogue->Click("FiniButton");
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"help: owned " + kHelp + " 18 0", "end"}));
    EXPECT_TRUE(dialogue->Ended());
}

} // namespace
} // namespace quillon
