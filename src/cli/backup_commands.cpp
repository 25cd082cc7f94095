// save, lookup and save-hive: tabs 1 and 2 of the window, driven from the command line.
#include "app/dialogue.h"
#include "cli/cli_ui.h"
#include "cli/command_args.h"
#include "cli/commands.h"
#include "cli/console_text.h"
#include "cli/eml_writer.h"
#include "text/native_text.h"

#include <map>
#include <ostream>
#include <sstream>

namespace quillon::cli {
namespace {

constexpr std::string_view kDone = "Sauvegarde effectuée pour ";
constexpr std::string_view kMailCopied = "Courrier copié dans ";

// The boxes of a tab by the names of --only, masters first so that their rules run.
std::map<std::string, CheckBox*> TabBoxes(Dialogue& d, int tab) {
    if (tab == 1) {
        return {{"all", &d.Check1_9},           {"blocked-senders", &d.Check1_1},
                {"blocked-mail", &d.Check1_11}, {"blocked-news", &d.Check1_12},
                {"rules", &d.Check1_2},         {"rules-mail", &d.Check1_21},
                {"filters", &d.Check1_22},      {"rules-news", &d.Check1_23},
                {"signatures", &d.Check1_3},    {"accounts", &d.Check1_4},
                {"dialup", &d.Check1_5},        {"address-book", &d.Check1_6}};
    }
    return {{"all", &d.Check2_9},           {"blocked-senders", &d.Check2_1},
            {"blocked-mail", &d.Check2_11}, {"blocked-news", &d.Check2_12},
            {"rules", &d.Check2_2},         {"rules-mail", &d.Check2_21},
            {"filters", &d.Check2_22},      {"rules-news", &d.Check2_23},
            {"signatures", &d.Check2_3},    {"accounts", &d.Check2_4},
            {"dialup", &d.Check2_5}};
}

// Ticks the boxes that --only names (every box without it), as clicks would.
bool SelectBoxes(Dialogue& dialogue, int tab, const std::optional<std::string>& only,
                 std::ostream& err) {
    auto boxes = TabBoxes(dialogue, tab);
    if (!only) {
        boxes.at("all")->SetValue(0);
        boxes.at("all")->SetValue(1);
        return true;
    }
    for (auto& [name, box] : boxes) {
        box->SetValue(0);
    }
    std::stringstream list(*only);
    for (std::string name; std::getline(list, name, ',');) {
        const auto found = boxes.find(name);
        if (found == boxes.end()) {
            err << "quillon-cli: --only : « " << name << " » n'est pas une case de l'onglet " << tab
                << "\n";
            return false;
        }
        found->second->SetValue(1);
    }
    return true;
}

// Done when the backup was made and, with --mail, the mail copied after it (and, with --eml,
// written as messages).
int Outcome(const CliUi& ui, const BackupArgs& args, std::ostream& err) {
    if (!args.Mail) {
        return ui.LastMessage().starts_with(Ansi(kDone)) ? ExitDone : ExitFailed;
    }
    if (!ui.LastMessage().starts_with(Ansi(kMailCopied))) {
        return ExitFailed;
    }
    std::string error;
    if (args.Eml && !WriteMessagesAsEml(*args.Mail, error)) {
        err << "quillon-cli: --eml : " << error << "\n";
        return ExitFailed;
    }
    return ExitDone;
}

// Asks the window's steps for the mail copy when --mail is given; false (said) when --eml
// cannot be honoured, before anything is written.
bool AskForMail(CheckBox& box, CliUi& ui, const BackupArgs& args, std::ostream& err) {
    if (args.Eml) {
        if (const std::string missing = EmlWriterMissing(); !missing.empty()) {
            err << "quillon-cli: --eml : " << missing << "\n";
            return false;
        }
    }
    box.SetValue(args.Mail ? 1 : 0);
    ui.DialogFolder = args.Mail;
    return true;
}

} // namespace

int RunSave(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args,
            std::ostream& err) {
    const auto parsed = ParseBackupArgs(args, false, err);
    if (!parsed || !SelectBoxes(dialogue, 1, parsed->Only, err)) {
        return ExitUsage;
    }
    if (!AskForMail(dialogue.CourrierAvec1, ui, *parsed, err)) {
        return ExitFailed;
    }
    ui.DialogFile = parsed->Positional[0];
    ui.QuestionAnswer = parsed->Generate;
    dialogue.BoutonSauvegarder1_Click();
    return Outcome(ui, *parsed, err);
}

int RunLookup(Dialogue& dialogue, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
    if (!WindowArgsValid("lookup", args, err)) {
        return ExitUsage;
    }
    dialogue.NomAutre.SetText(NativeToAnsi(args[0]));
    dialogue.BoutonRechercherAutre_Click();
    out << "IdentiteAutre: " << ForConsole(dialogue.IdentiteAutre.Text()) << "\n"
        << "RepertoireAutre: " << ForConsole(dialogue.RepertoireAutre.Text()) << "\n";
    // Found when both fields were filled, whatever the start-up said before.
    const bool found = !dialogue.IdentiteAutre.Text().empty() &&
                       dialogue.RepertoireAutre.Text().find_first_not_of(' ') != std::string::npos;
    return found ? ExitDone : ExitFailed;
}

int RunSaveHive(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args,
                std::ostream& err) {
    const auto parsed = ParseBackupArgs(args, true, err);
    if (!parsed || !SelectBoxes(dialogue, 2, parsed->Only, err)) {
        return ExitUsage;
    }
    dialogue.NomAutre.SetText(NativeToAnsi(parsed->Positional[0]));
    if (parsed->Identity) {
        dialogue.IdentiteAutre.SetText(NativeToAnsi(*parsed->Identity));
    } else {
        dialogue.BoutonRechercherAutre_Click();
    }
    if (!AskForMail(dialogue.CourrierAvec2, ui, *parsed, err)) {
        return ExitFailed;
    }
    ui.DialogFile = parsed->Positional[1];
    ui.QuestionAnswer = parsed->Generate;
    dialogue.BoutonSauvegarder2_Click();
    return Outcome(ui, *parsed, err);
}

} // namespace quillon::cli
