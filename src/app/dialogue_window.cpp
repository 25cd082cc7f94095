// The window's own behaviour: the option boxes, the tabs, help, web links and closing.
#include "app/dialogue.h"
#include "text/native_text.h"

namespace quillon {

namespace {

// The rule of the masters: their boxes take the master's value, in order.
void SetAll(std::initializer_list<CheckBox*> boxes, int value) {
    for (CheckBox* box : boxes) {
        box->SetValue(value);
    }
}

} // namespace

void Dialogue::Check1_1_Click() {
    SetAll({&Check1_11, &Check1_12}, Check1_1.Value());
}

void Dialogue::Check1_2_Click() {
    SetAll({&Check1_21, &Check1_22, &Check1_23}, Check1_2.Value());
}

// "Tous les paramètres OE" ticks the first-level boxes; clearing it changes nothing else.
void Dialogue::Check1_9_Click() {
    if (Check1_9.Value() == 1) {
        SetAll({&Check1_1, &Check1_2, &Check1_3, &Check1_4, &Check1_5, &Check1_6}, 1);
    }
}

void Dialogue::Check2_1_Click() {
    SetAll({&Check2_11, &Check2_12}, Check2_1.Value());
}

void Dialogue::Check2_2_Click() {
    SetAll({&Check2_21, &Check2_22, &Check2_23}, Check2_2.Value());
}

void Dialogue::Check2_9_Click() {
    if (Check2_9.Value() == 1) {
        SetAll({&Check2_1, &Check2_2, &Check2_3, &Check2_4, &Check2_5}, 1);
    }
}

// The save button of the page shown also becomes the window's default button, so that Enter
// starts the page's main command.
void Dialogue::ShowTab(int tab) {
    Onglets.Select(tab);
    Onglets_Click();
}

void Dialogue::Onglets_Click() {
    OngletActif = static_cast<std::int16_t>(Onglets.SelectedIndex());
    switch (OngletActif) {
    case 1:
    case 2: {
        Onglet1.SetVisible(OngletActif == 1);
        Onglet2.SetVisible(OngletActif == 2);
        Onglet3.SetVisible(false);
        Button& save = OngletActif == 1 ? BoutonSauvegarder1 : BoutonSauvegarder2;
        Button& other = OngletActif == 1 ? BoutonSauvegarder2 : BoutonSauvegarder1;
        save.SetEnabled(true);
        other.SetDefault(false);
        save.SetDefault(true);
        break;
    }
    case 3:
        Onglet3.SetVisible(true);
        Onglet1.SetVisible(false);
        Onglet2.SetVisible(false);
        BoutonSauvegarder1.SetDefault(false);
        BoutonSauvegarder2.SetDefault(false);
        if (iTbImport < 2) {
            TexteGroupeLu.SetText(" ");
            IdentiteFichier.SetText(" ");
            RepertoireLu.SetText(" ");
            BoutonChangerF.SetEnabled(false);
        } else {
            BoutonChangerF.SetEnabled(true);
        }
        BoutonEnregistrerSauvegarde.SetEnabled(false);
        break;
    default:
        break;
    }
}

void Dialogue::Aide(std::optional<std::int32_t> ContextID) {
    if (HelpFile.empty()) {
        ui_.MessageBox(
            Ansi("Impossible d'afficher l'Aide. Aucune Aide n'est associée à ce projet."),
            MessageIcon::Information, MessageButtons::Ok, Caption);
        return;
    }
    if (ContextID == -1) {
        ui_.HtmlHelp(true, HelpFile, HelpCommand::CloseAll, 0);
        return;
    }
    const bool shown = !ContextID
                           ? ui_.HtmlHelp(false, HelpFile, HelpCommand::DisplayTopic, 0)
                           : ui_.HtmlHelp(true, HelpFile, HelpCommand::HelpContext, *ContextID) ||
                                 ui_.HtmlHelp(true, HelpFile, HelpCommand::HelpContext, 0);
    // Without a help viewer (no hhctrl.ocx, no xdg-open) a "?" would otherwise do nothing.
    if (!shown) {
        ui_.MessageBox(Ansi("Impossible d'afficher l'aide ") + HelpFile +
                           Ansi(" : aucun visualiseur d'aide n'a pu être lancé."),
                       MessageIcon::Exclamation, MessageButtons::Ok, ApplicationTitle);
    }
}

void Dialogue::OpenFaq() {
    if (!ui_.OpenWebAddress(FaqAddress)) {
        ui_.MessageBox(std::string("Impossible d'ouvrir ") + FaqAddress +
                           Ansi(" : aucun navigateur n'a pu être lancé."),
                       MessageIcon::Exclamation, MessageButtons::Ok, ApplicationTitle);
    }
}

void Dialogue::Label12_Click() {
    OpenFaq();
}

void Dialogue::Label10_Click() {
    OpenFaq();
}

// Closing must end the program whatever happens to the help windows on the way.
void Dialogue::FiniButton_Click() {
    try {
        Aide(-1);
    } catch (...) {
    }
    EndProgram();
}

} // namespace quillon
