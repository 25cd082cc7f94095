#include "app/dialogue.h"

#include "text/native_text.h"

namespace quillon {
namespace {

constexpr const char* kSaveCaption = "Sauvegarder les paramètres sélectionnés dans le fichier ...";
constexpr const char* kFaqToolTip = "N'oubliez pas de consulter la faq Outlook Express";
constexpr const char* kNoAccountsLabel =
    "Vous avez un message d'avertissement concernant l'absence de comptes, cliquez là :";
constexpr const char* kHowToLabel = "Pour savoir comment procéder à la sauvegarde et ce qu'il "
                                    "faire en complément de ce programme, cliquer là :";
constexpr const char* kAllSettingsToolTip = "Conseillé : sauvegarde tous les paramètres, y "
                                            "compris ceux qui ne sont pas listés ci-dessous";
constexpr const char* kMailCopyCaption = "Copier aussi le courrier et le carnet d'adresses";
constexpr const char* kMailCopyToolTip =
    "Après la sauvegarde, copie les fichiers du dossier du courrier (.dbx) et le carnet "
    "d'adresses (.wab) dans un dossier vide que vous choisissez";
constexpr const char* kOpenFormatsCaption =
    "Et l'écrire pour Thunderbird et les autres clients (mbox, .eml, Comptes.txt)";
constexpr const char* kOpenFormatsToolTip =
    "Après la copie, écrit aussi le courrier en mbox et en fichiers .eml, le carnet d'adresses "
    "en vCard et en CSV, et les comptes, signatures et règles dans Comptes.txt, dans le dossier "
    "« Formats ouverts » de la copie";
constexpr const char* kProfileCaption = "Profil Thunderbird...";
constexpr const char* kProfileToolTip =
    "Écrit l'identité en profil Thunderbird (dossier et .zip) : comptes, signature, courrier, "
    "carnet d'adresses et émetteurs bloqués, à importer ou à ouvrir dans Thunderbird";
constexpr const char* kFolderChosenToolTip =
    "Répertoire choisi en cliquant sur le bouton de choix ou rempli à la main";
constexpr const char* kFolderReadToolTip = "Répertoire des fichiers OE figurant dans le fichier "
                                           "paramètre (donc nom du système de départ)";

} // namespace

FileDialogRequest BackupFileRequest(FileDialogRequest::Form kind, std::string title,
                                    int filterIndex) {
    FileDialogRequest request;
    request.Kind = kind;
    request.Title = std::move(title);
    request.Filter = Ansi("Mise à jour de base de registre (.reg)|*.reg|texte (.txt)|*.txt");
    request.FilterIndex = filterIndex;
    request.DefaultExtension = "reg";
    return request;
}

const std::string Dialogue::Caption = "Quillon 2.5       ";
const std::string Dialogue::ApplicationTitle = "Quillon";

Dialogue::Dialogue(Reg_access& registry, Ui& ui, std::string programFolder)
    : Onglets(*this, "Onglets",
              {{Ansi("Sauver les paramètres actifs"),
                Ansi("Pour créer un fichier de sauvegarde du paramétrage OE")},
               {Ansi("Récupérer des paramètres"),
                Ansi("Récupérer des paramètres OE d'une autre base de registre")},
               {Ansi("    Adapter le fichier de sauvegarde        "),
                Ansi("Pour préparer l'injection des paramètres dans un nouveau windows")}}),
      IdentiteCourante(*this, "IdentiteCourante", Ansi("Identité active"),
                       Ansi("Identité d'Outlook Express utilisée en dernier sur ce système")),
      RepertoireCourant(*this, "RepertoireCourant", Ansi("Répertoire actif"),
                        Ansi("Répertoire où OE range les messages de courrier et de forums en "
                             "format .dbx")),
      BoutonAide9000(*this, "BoutonAide9000", Ansi("Présentation ..."),
                     Ansi("Présentation générale des fonctionnalités du programme.")),
      BoutonAide9100(*this, "BoutonAide9100", Ansi("En pratique ..."),
                     Ansi("Présentation de l'enchaînement des tâches à effectuer.")),
      Label5(*this, "Label5", Ansi("Utiliser les boutons d'aide sans modération -->")),
      FiniButton(*this, "FiniButton", Ansi("Terminé")),

      Onglet1(*this, "Onglet1", Ansi("Choix des paramètres à sauvegarder")),
      CommentOnglet1(*this, "CommentOnglet1", Ansi("Version d'Outlook Express"),
                     Ansi("Version d'Internet Explorer et d'Outlook Express de ce système")),
      Check1_9(*this, "Check1_9", Ansi("Tous les paramètres OE"), Ansi(kAllSettingsToolTip)),
      Check1_1(*this, "Check1_1", Ansi("Émetteurs bloqués")),
      Check1_11(*this, "Check1_11", Ansi("Émetteurs courrier")),
      Check1_12(*this, "Check1_12", Ansi("Émetteurs forums")),
      Check1_2(*this, "Check1_2", Ansi("Règles")),
      Check1_21(*this, "Check1_21", Ansi("Règles des messages")),
      Check1_22(*this, "Check1_22", Ansi("Filtres")),
      Check1_23(*this, "Check1_23", Ansi("Règles des forums")),
      Check1_3(*this, "Check1_3", Ansi("Signatures")),
      Check1_4(*this, "Check1_4", Ansi("Comptes OE"),
               Ansi("Comptes paramétrés dans Outlook Express")),
      Check1_5(*this, "Check1_5", Ansi("Accès aux fournisseurs internet"),
               Ansi("Accès et mots de passe")),
      Check1_6(*this, "Check1_6", Ansi("Emplacement du carnet d'adresse")),
      BoutonSauvegarder1(*this, "BoutonSauvegarder1", Ansi(kSaveCaption)),
      CourrierAvec1(*this, "CourrierAvec1", Ansi(kMailCopyCaption), Ansi(kMailCopyToolTip)),
      CourrierOuvert1(*this, "CourrierOuvert1", Ansi(kOpenFormatsCaption),
                      Ansi(kOpenFormatsToolTip)),
      BoutonProfil1(*this, "BoutonProfil1", Ansi(kProfileCaption), Ansi(kProfileToolTip)),
      BoutonAide1100(*this, "BoutonAide1100", "?"), BoutonAide1200(*this, "BoutonAide1200", "? "),
      BoutonAide1500(*this, "BoutonAide1500", "? "), BoutonAide1600(*this, "BoutonAide1600", "?"),
      Label9(*this, "Label9", Ansi(kNoAccountsLabel)), Label7(*this, "Label7", Ansi(kHowToLabel)),
      Label12(*this, "Label12", FaqAddress, Ansi(kFaqToolTip)),

      Onglet2(*this, "Onglet2", Ansi("Récupérer des paramètres d'une autre base")),
      CommentOnglet2(*this, "CommentOnglet2", Ansi("Version d'Outlook Express"),
                     Ansi("Version d'Internet Explorer et d'Outlook Express de ce système")),
      Check2_9(*this, "Check2_9", Ansi("Tous les paramètres OE"), Ansi(kAllSettingsToolTip)),
      Check2_1(*this, "Check2_1", Ansi("Émetteurs bloqués")),
      Check2_11(*this, "Check2_11", Ansi("Émetteurs courrier")),
      Check2_12(*this, "Check2_12", Ansi("Émetteurs forums")),
      Check2_2(*this, "Check2_2", Ansi("Règles")),
      Check2_21(*this, "Check2_21", Ansi("Règles des messages")),
      Check2_22(*this, "Check2_22", Ansi("Filtres")),
      Check2_23(*this, "Check2_23", Ansi("Règles des forums")),
      Check2_3(*this, "Check2_3", Ansi("Signatures")),
      Check2_4(*this, "Check2_4", Ansi("Comptes OE")),
      Check2_5(*this, "Check2_5", Ansi("Accès aux fournisseurs internet")),
      Frame2(*this, "Frame2",
             Ansi("Nom de ruche, identité et répertoire d'une autre base de registre ")),
      NomAutre(*this, "NomAutre", Ansi("Nom de la ruche"),
               Ansi("Nom donné à la ruche cahrgée à partir de l'autre base de registre")),
      IdentiteAutre(*this, "IdentiteAutre", Ansi("Identité de l'autre base"),
                    Ansi("Identité lue dans une autre base de registre")),
      RepertoireAutre(*this, "RepertoireAutre", Ansi("Répertoire de l'autre base"),
                      Ansi("Répertoire des fichiers OE lu dans une autre base de registre")),
      BoutonRechercherAutre(*this, "BoutonRechercherAutre", "Rechercher"),
      BoutonSauvegarder2(*this, "BoutonSauvegarder2", Ansi(kSaveCaption),
                         Ansi("Tout ce qui est choisi est copié dans le même fichier.")),
      CourrierAvec2(*this, "CourrierAvec2", Ansi(kMailCopyCaption), Ansi(kMailCopyToolTip)),
      CourrierOuvert2(*this, "CourrierOuvert2", Ansi(kOpenFormatsCaption),
                      Ansi(kOpenFormatsToolTip)),
      BoutonProfil2(*this, "BoutonProfil2", Ansi(kProfileCaption), Ansi(kProfileToolTip)),
      BoutonAide2000(*this, "BoutonAide2000", "Aide sur la sauvegarde",
                     Ansi("Aide pour sauvegarder une autre identité que celle en cours.")),
      BoutonAide2100(*this, "BoutonAide2100", "?"), BoutonAide2200(*this, "BoutonAide2200", "? "),
      BoutonAide2500(*this, "BoutonAide2500", "? "),
      Label6(*this, "Label6", Ansi(kNoAccountsLabel)), Label11(*this, "Label11", Ansi(kHowToLabel)),
      Label4(*this, "Label4", FaqAddress),

      Onglet3(*this, "Onglet3", Ansi("Changer les valeurs dans un fichier de sauvegarde")),
      OuvrirSauvegarde(*this, "OuvrirSauvegarde",
                       Ansi("1 -  Choisir le fichier de sauvegarde à modifier ..."),
                       Ansi("Ouvre le fichier créé en phase de sauvegarde sur l'ancien système")),
      Frame5(*this, "Frame5",
             Ansi("Eléments lus dans le fichier de sauvegarde à remplacer par les actuels.")),
      IdentiteFichier(*this, "IdentiteFichier", Ansi("Identité lue"),
                      Ansi("Code lu dans le fichier de sauvegarde à modifier")),
      TexteGroupeLu(*this, "TexteGroupeLu", "Groupe lu",
                    Ansi("Identifiant lu dans le fichier de sauvegarde")),
      RepertoireLu(*this, "RepertoireLu", Ansi("Répertoire actuel"), Ansi(kFolderReadToolTip)),
      Label3(*this, "Label3",
             Ansi("Répertoire à faire figurer dans les paramètres exportés pour les dossiers")),
      RepertoireChoisi(*this, "RepertoireChoisi", Ansi("Répertoire futur"),
                       Ansi(kFolderChosenToolTip)),
      ChoixRepertoireSauvegarde(
          *this, "ChoixRepertoireSauvegarde",
          Ansi("2 - Choisir un répertoire pour les fichiers OE ..."),
          Ansi("Permet de choisir un répertoire, mais aon peut aussi taper le chemin")),
      CarnetLu(*this, "CarnetLu", Ansi("Pas d'adresse de carnet dans le fichier de sauvegarde"),
               Ansi("Adresse du carnet d'adresses dans la sauvegarde (si c'est bien le cas).")),
      CarnetFutur(*this, "CarnetFutur", Ansi("Répertoire carnet d'adresse"),
                  Ansi("Ne rien mettre = valeur par défaut de windows.")),
      TexteGroupeActif(*this, "TexteGroupeActif", Ansi("Groupe actif"),
                       Ansi("Identifiant de l'utilisateur sur ce système, écrit dans le fichier "
                            "adapté")),
      BoutonChangerF(*this, "BoutonChangerF", Ansi("3 - Apporter les changements indiqués"),
                     Ansi("Remplace l'identité et le chemin lus par ceux qui figurent dans cette "
                          "fenêtre")),
      BoutonEnregistrerSauvegarde(*this, "BoutonEnregistrerSauvegarde",
                                  Ansi("4 - Créer un fichier de sauvegarde modifié ..."),
                                  Ansi("La base de registre reste inchangée")),
      CourrierPlace(*this, "CourrierPlace", Ansi("Placer aussi le courrier copié"),
                    Ansi("Après l'écriture de la sauvegarde modifiée, copie le courrier copié "
                         "avec la sauvegarde dans le répertoire choisi, et le carnet d'adresses à "
                         "son nouveau chemin")),
      CommentOnglet3(*this, "CommentOnglet3", Ansi("Information sur le déroulement")),
      BoutonAide3000(*this, "BoutonAide3000", "?"),
      Label10(*this, "Label10", FaqAddress, Ansi(kFaqToolTip)),
      BoutonConvertir3(*this, "BoutonConvertir3", Ansi("Copie du courrier pour Thunderbird..."),
                       Ansi("Écrit une copie du courrier faite plus tôt (avec son carnet "
                            "d'adresses) en mbox, .eml, vCard et CSV, dans le dossier « Formats "
                            "ouverts » de la copie")),
      registry_(registry), ui_(ui) {
#ifdef _WIN32
    HelpFile = programFolder + "\\Quillon.chm";
#else
    HelpFile = programFolder + "/help";
#endif
    Register(Onglets, IdentiteCourante, RepertoireCourant, BoutonAide9000, BoutonAide9100, Label5,
             FiniButton);
    Register(Onglet1, CommentOnglet1, Check1_9, Check1_1, Check1_11, Check1_12, Check1_2, Check1_21,
             Check1_22, Check1_23, Check1_3, Check1_4, Check1_5, Check1_6, BoutonSauvegarder1,
             BoutonAide1100, BoutonAide1200, BoutonAide1500, BoutonAide1600, Label9, Label7,
             Label12, CourrierAvec1, CourrierOuvert1, BoutonProfil1);
    Register(Onglet2, CommentOnglet2, Check2_9, Check2_1, Check2_11, Check2_12, Check2_2, Check2_21,
             Check2_22, Check2_23, Check2_3, Check2_4, Check2_5, Frame2, NomAutre, IdentiteAutre,
             RepertoireAutre, BoutonRechercherAutre, BoutonSauvegarder2, BoutonAide2000,
             BoutonAide2100, BoutonAide2200, BoutonAide2500, Label6, Label11, Label4, CourrierAvec2,
             CourrierOuvert2, BoutonProfil2);
    Register(Onglet3, OuvrirSauvegarde, Frame5, IdentiteFichier, TexteGroupeLu, RepertoireLu,
             Label3, RepertoireChoisi, ChoixRepertoireSauvegarde, CarnetLu, CarnetFutur,
             TexteGroupeActif, BoutonChangerF, BoutonEnregistrerSauvegarde, CommentOnglet3,
             BoutonAide3000, Label10, CourrierPlace, BoutonConvertir3);
    SetLegends();
    WireHandlers();
}

// The short labels beside the text boxes, the same in every window.
void Dialogue::SetLegends() {
    const std::pair<TextBox*, const char*> legends[] = {
        {&IdentiteCourante, "Identité active :"},
        {&RepertoireCourant, "Répertoire OE actif :"},
        {&CommentOnglet1, "Version :"},
        {&CommentOnglet2, "Version :"},
        {&NomAutre, "Nom de ruche :"},
        {&IdentiteAutre, "Identité :"},
        {&RepertoireAutre, "Répertoire :"},
        {&IdentiteFichier, "Identité lue :"},
        {&TexteGroupeLu, "Groupe lu :"},
        {&RepertoireLu, "Répertoire lu :"},
        {&TexteGroupeActif, "Groupe de ce système :"},
        {&CarnetLu, "Carnet lu :"},
        {&CarnetFutur, "Nouveau carnet :"}};
    for (const auto& [box, legend] : legends) {
        box->SetLegend(Ansi(legend));
    }
}

void Dialogue::WireHandlers() {
    Check1_1.OnClick([this] { Check1_1_Click(); });
    Check1_2.OnClick([this] { Check1_2_Click(); });
    Check1_9.OnClick([this] { Check1_9_Click(); });
    Check2_1.OnClick([this] { Check2_1_Click(); });
    Check2_2.OnClick([this] { Check2_2_Click(); });
    Check2_9.OnClick([this] { Check2_9_Click(); });

    // Help buttons open the context of their row, which is not always the number in their name.
    const std::pair<const char*, std::int32_t> helpButtons[] = {
        {"BoutonAide1100", 1100}, {"BoutonAide1200", 2000}, {"BoutonAide1500", 1500},
        {"BoutonAide1600", 1600}, {"BoutonAide2000", 2000}, {"BoutonAide2100", 1100},
        {"BoutonAide2200", 2200}, {"BoutonAide2500", 1500}, {"BoutonAide3000", 3000},
        {"BoutonAide9000", 9000}, {"BoutonAide9100", 9100}};
    for (const auto& [name, context] : helpButtons) {
        clicks_[name] = [this, context = context] { Aide(context); };
    }
    clicks_["Label12"] = [this] { Label12_Click(); };
    clicks_["Label10"] = [this] { Label10_Click(); };
    clicks_["FiniButton"] = [this] { FiniButton_Click(); };
    clicks_["Onglets"] = [this] { Onglets_Click(); };
    clicks_["BoutonSauvegarder1"] = [this] { BoutonSauvegarder1_Click(); };
    clicks_["BoutonSauvegarder2"] = [this] { BoutonSauvegarder2_Click(); };
    clicks_["BoutonRechercherAutre"] = [this] { BoutonRechercherAutre_Click(); };
    clicks_["BoutonProfil1"] = [this] { BoutonProfil_Click(1); };
    clicks_["BoutonConvertir3"] = [this] { BoutonConvertir3_Click(); };
    clicks_["BoutonProfil2"] = [this] { BoutonProfil_Click(2); };
    clicks_["OuvrirSauvegarde"] = [this] { OuvrirSauvegarde_Click(); };
    clicks_["ChoixRepertoireSauvegarde"] = [this] { ChoixRepertoireSauvegarde_Click(); };
    clicks_["BoutonChangerF"] = [this] { BoutonChangerF_Click(); };
    clicks_["BoutonEnregistrerSauvegarde"] = [this] { BoutonEnregistrerSauvegarde_Click(); };
    lostFocus_["RepertoireChoisi"] = [this] { RepertoireChoisi_LostFocus(); };
    lostFocus_["RepertoireCourant"] = [this] { RepertoireCourant_LostFocus(); };
    lostFocus_["RepertoireLu"] = [this] { RepertoireLu_LostFocus(); };
    CarnetFutur.OnChange([this] { CheminCarnetNouveau = CarnetFutur.Text(); });
}

void Dialogue::ControlChanged(const Control& control) {
    for (const auto& view : views_) {
        view(control);
    }
}

Control* Dialogue::Find(std::string_view name) const {
    for (Control* control : controls_) {
        if (control->Name() == name) {
            return control;
        }
    }
    return nullptr;
}

bool Dialogue::RunHandler(const Handlers& handlers, std::string_view name) {
    const auto handler = handlers.find(name);
    if (handler == handlers.end()) {
        return false;
    }
    handler->second();
    return true;
}

void Dialogue::EndProgram() {
    ended_ = true;
    ui_.EndProgram();
}

} // namespace quillon
