// Dialogue, the main window as a presentation model: the window state that the commands share,
// the state of every control, and one member function per event. The faces (the Qt window,
// the command line) draw the controls and forward events; everything modal goes through the Ui.
#pragma once

#include "adapt/backup_adaptation.h"
#include "app/controls.h"
#include "app/operations.h"
#include "app/ui_port.h"
#include "backup/identity_summary.h"
#include "export/reg_file.h"
#include "files/temp_file.h"
#include "registry/key_path.h"
#include "registry/reg_access.h"
#include "sources/installation_paths.h"

#include <map>
#include <optional>

namespace quillon {

struct MailReport;

// The FAQ of the mail client, opened from two labels.
inline constexpr const char* FaqAddress = "https://www.insideoe.com/faq/";

class Dialogue : private ControlObserver {
  public:
    Dialogue(Reg_access& registry, Ui& ui, std::string programFolder);
    Dialogue(const Dialogue&) = delete;
    Dialogue& operator=(const Dialogue&) = delete;

    // The window's caption, and the title of messages that name no step.
    static const std::string Caption;
    static const std::string ApplicationTitle;

    // Views: called with each control whose state changed.
    void Subscribe(std::function<void(const Control&)> view) { views_.push_back(std::move(view)); }
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* Find(std::string_view name) const;
    // Runs the click handler of the button or label of that name; false when it has none.
    bool Click(std::string_view name) { return RunHandler(clicks_, name); }
    // True when the control of that name has a click handler (a button, or a label that acts
    // as a link).
    bool Clickable(std::string_view name) const { return clicks_.contains(name); }
    // Runs the handler of the focus leaving the text box of that name for another control of
    // the window; false when it has none.
    bool LostFocus(std::string_view name) { return RunHandler(lostFocus_, name); }
    // True when tab 3 holds lines that begin as a backup does.
    bool HoldsABackup() const { return iTbImport > 0 && IsBackupHeader(TbImport[0]); }
    // Set, tab 3 reads a file past its first bytes only when it begins as a backup does: the
    // command line adapts nothing else, and a large file of anything else costs nothing.
    bool ReadsBackupsOnly = false;
    // True once a command ended the program.
    bool Ended() const { return ended_; }

    // Events.
    void Form_Load();
    void Onglets_Click();
    void Check1_1_Click();
    void Check1_2_Click();
    void Check1_9_Click();
    void Check2_1_Click();
    void Check2_2_Click();
    void Check2_9_Click();
    void Aide(std::optional<std::int32_t> ContextID = std::nullopt);
    void Label12_Click();
    void Label10_Click();
    void FiniButton_Click();
    void BoutonSauvegarder1_Click();
    void BoutonSauvegarder2_Click();
    void BoutonRechercherAutre_Click();
    void OuvrirSauvegarde_Click();
    void ChoixRepertoireSauvegarde_Click();
    void BoutonChangerF_Click();
    void BoutonEnregistrerSauvegarde_Click();
    // After a backup, or an adapted backup, when its box is ticked: the mail copied out (into a
    // folder asked for), or a copy of it put in place.
    void CopierCourrier(const BackupSource& source, MailConversion conversion);
    // The identity of tab 1 or 2 moved into a Thunderbird profile, in a folder asked for.
    void BoutonProfil_Click(int tab);
    void PlacerCourrier();
    // Tab 3: a copy of the mail made earlier (with its address book) written in the open
    // formats inside it, for today's mail clients.
    void BoutonConvertir3_Click();

    // Operations: the work of the commands, their inputs given as values, their outcome given
    // back as data; each says what it does through the Ui as the window does. The handlers above
    // gather the window's state and call them; the command line calls them directly.
    // The boxes of tab 1 or 2 that are ticked.
    SettingsGroups GroupsTicked(int tab) const;
    // Tabs 1 and 2: a backup of `groups` of the settings of `source` into `file`.
    BackupOutcome SaveBackup(const BackupSource& source, const SettingsGroups& groups,
                             const std::string& file);
    // After a backup of `source`: its mail and address book copied into `destination`, then
    // written as `conversion` asks inside the copy.
    MailOutcome CopyMail(const BackupSource& source, const std::string& destination,
                         MailConversion conversion = MailConversion::None);
    // The identity of `source` moved into the Thunderbird profile `target` (a folder, and the
    // same as `target`.zip): its accounts, signature, mail, address book and blocked senders.
    ProfileOutcome WriteProfile(const BackupSource& source, const std::string& target,
                                bool recover = false);
    // A copy of the mail written as `conversion` asks in a folder inside it, with
    // `settingsText` beside it (none when empty); its report shown, or only a failure's.
    MailExportOutcome WriteCopyForTodaysClients(const std::string& copy, MailConversion conversion,
                                                const std::string& settingsText, bool onlyFailures);
    // Tab 2's search: the identity and store folder of the hive loaded under
    // HKEY_LOCAL_MACHINE\hive, shown in the tab's fields.
    LookupOutcome LookUpHive(const std::string& hive);
    // Shows tab `tab` (1, 2 or 3), as choosing it in the window does.
    void ShowTab(int tab);
    // Tab 3: the backup `file` read into the tab (its identity, folders, group and address
    // book shown), then adapted to this system, then written into `file`.
    ReadBackupOutcome ReadBackup(const std::string& file);
    AdaptOutcome AdaptBackup(const AdaptRequest& request);
    WriteOutcome WriteAdaptedBackup(const std::string& file);
    // After the adapted backup is written: the copy of the mail at `copy` put where it says.
    MailOutcome PlaceMailCopy(const std::string& copy);
    // Says when `folder`, as the registry read stores it, is not there.
    void CheckFolderExists(const std::string& folder);
    void RepertoireChoisi_LostFocus();
    void RepertoireCourant_LostFocus();
    void RepertoireLu_LostFocus();

    // Today's date as "yyyy mm dd", for the proposed backup file names.
    std::function<std::string()> TodayText;

    // Window state.
    std::string IdentiteBdRActif;
    std::string VersionOE;
    std::string CheminOEactif;
    std::string GroupeActif;
    std::string SousClef;
    bool MdpSauvé = false;
    std::int16_t OngletActif = 0;
    std::int16_t PremiereOuverture = 0;
    std::int32_t NbSauvegarde = 0;
    std::string FichierExport3;
    std::int32_t iTbImport = 0;
    std::string CheminCarnetNouveau;
    std::string FichierExport4;
    std::string R;
    std::string HelpFile; // the application's help file
    HeldLines TbImport;   // the lines of the backup file read on tab 3
    std::int32_t iLigneCarnet = 0;
    // The drives (or mount points) that the directory chooser offers.
    std::function<std::vector<std::string>()> ChooserDrives;
    // Offline: the installation the registry was read from, in which folders are looked up
    // and chosen. Unset, folders are this machine's (the live registry of Windows).
    const InstallationPaths* Installation = nullptr;

    // Outside the tabs.
    TabStrip Onglets;
    TextBox IdentiteCourante;
    TextBox RepertoireCourant;
    Button BoutonAide9000;
    Button BoutonAide9100;
    Label Label5;
    Button FiniButton;

    // Tab 1.
    Frame Onglet1;
    TextBox CommentOnglet1;
    CheckBox Check1_9, Check1_1, Check1_11, Check1_12, Check1_2, Check1_21, Check1_22, Check1_23,
        Check1_3, Check1_4, Check1_5, Check1_6;
    Button BoutonSauvegarder1;
    CheckBox CourrierAvec1, CourrierOuvert1;
    Button BoutonProfil1;
    Button BoutonAide1100, BoutonAide1200, BoutonAide1500, BoutonAide1600;
    Label Label9, Label7, Label12;

    // Tab 2.
    Frame Onglet2;
    TextBox CommentOnglet2;
    CheckBox Check2_9, Check2_1, Check2_11, Check2_12, Check2_2, Check2_21, Check2_22, Check2_23,
        Check2_3, Check2_4, Check2_5;
    Frame Frame2;
    TextBox NomAutre, IdentiteAutre, RepertoireAutre;
    Button BoutonRechercherAutre;
    Button BoutonSauvegarder2;
    CheckBox CourrierAvec2, CourrierOuvert2;
    Button BoutonProfil2;
    Button BoutonAide2000, BoutonAide2100, BoutonAide2200, BoutonAide2500;
    Label Label6, Label11, Label4;

    // Tab 3.
    Frame Onglet3;
    Button OuvrirSauvegarde;
    Frame Frame5;
    TextBox IdentiteFichier, TexteGroupeLu, RepertoireLu;
    Label Label3;
    TextBox RepertoireChoisi;
    Button ChoixRepertoireSauvegarde;
    TextBox CarnetLu, CarnetFutur;
    TextBox TexteGroupeActif;
    Button BoutonChangerF;
    Button BoutonEnregistrerSauvegarde;
    CheckBox CourrierPlace;
    TextBox CommentOnglet3;
    Button BoutonAide3000;
    Label Label10;
    Button BoutonConvertir3;

  private:
    void ControlChanged(const Control& control) override;
    // Registers a control for lookups by name, in the order of the window.
    template <typename... C> void Register(C&... controls) {
        (controls_.push_back(&controls), ...);
    }
    void SetLegends();
    void WireHandlers();
    void EndProgram();
    // The value of a key below a root as text, or nothing when the key cannot be opened.
    std::optional<std::string> ReadValue(const char* root, const std::string& path,
                                         const char* value);
    void OpenFaq();

    // The backup commands of tabs 1 and 2 share their steps through this description of a tab.
    struct BackupTab;
    void StartBackupRun();
    std::optional<std::string> ChooseBackupFile(const char* proposedName);
    bool FinishBackup(const BackupTab& tab, RegFile& out, TemporaryFile& work);
    bool SaveSections(const BackupTab& tab, RegFile& out);
    bool SaveSection(const BackupTab& tab, RegFile& out, const std::string& path,
                     const char* missingMessage, const char* missingTitle);
    bool SaveAccounts(const BackupTab& tab, RegFile& out);
    bool SaveDialUp(const BackupTab& tab, RegFile& out);
    bool SauvegarderMdp(RegFile& out);
    bool Present(const KeyPath& key);
    bool Export(const KeyPath& key, RegFile& out);
    void ReportFileError(const FileError& error, const char* title);
    // A file of the backup failed: said, and noted in its outcome.
    void BackupFileFailed(const FileError& error);
    bool toldNoInstallation_ = false;
    void ReportAdaptation(const AdaptationCounts& counts);
    bool HoldsLinesToWrite();
    // A folder stored in the registry read, as its system opens it; `userKeys` is where the keys
    // of the user it belongs to are ("" for the active user's).
    std::string SystemFolderOf(std::string_view stored, const std::string& userKeys);
    void ConvertCopy(const std::string& copy, MailConversion conversion,
                     const IdentitySummary& settings, MailOutcome& outcome);
    // Where the store folder and the address book of `source` are, as its system opens them.
    MailPaths MailPathsOf(const BackupSource& source);
    // Closes the progress window, says what the copy or the placement did, and gives it back.
    MailOutcome ShowMailReport(const MailReport& report, const std::string& copyShown, bool placed,
                               const std::string& title);

    Reg_access& registry_;
    Ui& ui_;
    std::string backupWork_;      // the backup being built, beside FichierExport3
    BackupOutcome backupOutcome_; // of the backup being built
    bool ended_ = false;
    std::vector<Control*> controls_;
    using Handlers = std::map<std::string, std::function<void()>, std::less<>>;
    // Runs the handler of that name; false when there is none.
    static bool RunHandler(const Handlers& handlers, std::string_view name);
    Handlers clicks_;
    Handlers lostFocus_;
    std::vector<std::function<void(const Control&)>> views_;
};

} // namespace quillon
