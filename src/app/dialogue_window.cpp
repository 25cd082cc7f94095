// The window's own behaviour: the option boxes, the tabs, help, web links and closing.
#include "app/ansi_text.h"
#include "app/dialogue.h"

namespace quillon {

void Dialogue::Check1_1_Click() {
    const int value = Check1_1.Value();
    Check1_11.SetValue(value);
    Check1_12.SetValue(value);
}

void Dialogue::Check1_2_Click() {
    const int value = Check1_2.Value();
    Check1_21.SetValue(value);
    Check1_22.SetValue(value);
    Check1_23.SetValue(value);
}

void Dialogue::Check1_9_Click() {
    if (Check1_9.Value() == 1) {
        for (CheckBox* box : {&Check1_1, &Check1_2, &Check1_3, &Check1_4, &Check1_5, &Check1_6}) {
            box->SetValue(1);
        }
    }
}

void Dialogue::Check2_1_Click() {
    const int value = Check2_1.Value();
    Check2_11.SetValue(value);
    Check2_12.SetValue(value);
}

void Dialogue::Check2_2_Click() {
    const int value = Check2_2.Value();
    Check2_21.SetValue(value);
    Check2_22.SetValue(value);
    Check2_23.SetValue(value);
}

void Dialogue::Check2_9_Click() {
    if (Check2_9.Value() == 1) {
        for (CheckBox* box : {&Check2_1, &Check2_2, &Check2_3, &Check2_4, &Check2_5}) {
            box->SetValue(1);
        }
    }
}

// The save button of the page shown also becomes the window's default button, so that Enter
// starts the page's main command.
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
    default: break;
    }
}

void Dialogue::Aide(std::optional<std::int32_t> ContextID) {
    if (HelpFile.empty()) {
        ui_.MessageBox(Ansi("Impossible d'afficher l'Aide. Aucune Aide n'est associée à ce projet."),
                       MessageIcon::Information, MessageButtons::Ok, Caption);
        return;
    }
    if (!ContextID) {
        ui_.HtmlHelp(false, HelpFile, HelpCommand::DisplayTopic, 0);
    } else if (*ContextID == -1) {
        ui_.HtmlHelp(true, HelpFile, HelpCommand::CloseAll, 0);
    } else if (!ui_.HtmlHelp(true, HelpFile, HelpCommand::HelpContext, *ContextID)) {
        ui_.HtmlHelp(true, HelpFile, HelpCommand::HelpContext, 0);
    }
}

void Dialogue::OpenFaq() {
    ui_.OpenWebAddress(FaqAddress);
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
