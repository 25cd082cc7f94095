// save, lookup and save-hive: tabs 1 and 2 of the window, driven from the command line; and
// thunderbird-profile, which moves the identity of either into a Thunderbird profile.
#include "app/dialogue.h"
#include "app/thunderbird_settings.h"
#include "cli/cli_ui.h"
#include "cli/command_args.h"
#include "cli/commands.h"
#include "cli/console_text.h"
#include "text/native_text.h"

#include <map>
#include <ostream>
#include <sstream>

namespace quillon::cli {
namespace {

// The settings groups by the names of --only; the address book is tab 1's only.
std::optional<SettingsGroup> GroupNamed(const std::string& name, int tab) {
    static const std::map<std::string, SettingsGroup, std::less<>> kGroups = {
        {"all", SettingsGroup::All},
        {"blocked-senders", SettingsGroup::BlockedSenders},
        {"blocked-mail", SettingsGroup::BlockedMail},
        {"blocked-news", SettingsGroup::BlockedNews},
        {"rules", SettingsGroup::Rules},
        {"rules-mail", SettingsGroup::RulesMail},
        {"filters", SettingsGroup::Filters},
        {"rules-news", SettingsGroup::RulesNews},
        {"signatures", SettingsGroup::Signatures},
        {"accounts", SettingsGroup::Accounts},
        {"dialup", SettingsGroup::DialUp},
        {"address-book", SettingsGroup::AddressBook}};
    const auto found = kGroups.find(name);
    if (found == kGroups.end() || (tab != 1 && found->second == SettingsGroup::AddressBook)) {
        return std::nullopt;
    }
    return found->second;
}

// The groups --only names, all of them without it; nothing (said) for a name of no box.
std::optional<SettingsGroups> GroupsAsked(int tab, const std::optional<std::string>& only,
                                          std::ostream& err) {
    if (!only) {
        return SettingsGroups{SettingsGroup::All};
    }
    SettingsGroups groups;
    std::stringstream list(*only);
    for (std::string name; std::getline(list, name, ',');) {
        const std::optional<SettingsGroup> group = GroupNamed(name, tab);
        if (!group) {
            err << "quillon-cli: --only : « " << name << " » n'est pas une case de l'onglet " << tab
                << "\n";
            return std::nullopt;
        }
        groups.Add(*group);
    }
    return groups;
}

// The backup, then with --mail the mail copied after it (and, with --eml or --open-formats, written
// in those formats): done when each was.
int BackUp(Dialogue& dialogue, const BackupSource& source, const SettingsGroups& groups,
           const BackupArgs& args) {
    const BackupOutcome backup = dialogue.SaveBackup(source, groups, args.Positional.back());
    if (backup.State != BackupOutcome::Status::Done) {
        return ExitFailed;
    }
    if (!args.Mail) {
        return ExitDone;
    }
    const MailOutcome mail = dialogue.CopyMail(source, *args.Mail, args.Conversion);
    return mail.State == MailOutcome::Status::Done ? ExitDone : ExitFailed;
}

} // namespace

int RunSave(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args,
            std::ostream& err) {
    const auto parsed = ParseBackupArgs(args, false, err);
    const auto groups = parsed ? GroupsAsked(1, parsed->Only, err) : std::nullopt;
    if (!groups) {
        return ExitUsage;
    }
    ui.QuestionAnswer = parsed->Generate;
    return BackUp(dialogue, {false, "", dialogue.IdentiteBdRActif}, *groups, *parsed);
}

int RunLookup(Dialogue& dialogue, const std::vector<std::string>& args, std::ostream& out) {
    const LookupOutcome found = dialogue.LookUpHive(NativeToAnsi(args[0]));
    out << "IdentiteAutre: " << ForConsole(dialogue.IdentiteAutre.Text()) << "\n"
        << "RepertoireAutre: " << ForConsole(dialogue.RepertoireAutre.Text()) << "\n";
    return found.State == LookupOutcome::Status::Found ? ExitDone : ExitFailed;
}

int RunSaveHive(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args,
                std::ostream& err) {
    const auto parsed = ParseBackupArgs(args, true, err);
    const auto groups = parsed ? GroupsAsked(2, parsed->Only, err) : std::nullopt;
    if (!groups) {
        return ExitUsage;
    }
    BackupSource source{true, NativeToAnsi(parsed->Positional[0]), {}};
    // Without --identity, the one the search finds (none when it finds none).
    source.Identity = parsed->Identity ? NativeToAnsi(*parsed->Identity)
                                       : dialogue.LookUpHive(source.Hive).Identity;
    ui.QuestionAnswer = parsed->Generate;
    return BackUp(dialogue, source, *groups, *parsed);
}

int RunThunderbirdProfile(CommandContext& context, const std::vector<std::string>& args) {
    const auto parsed = ParseProfileArgs(args, context.Err);
    if (!parsed) {
        return ExitUsage;
    }
    if (context.Window == nullptr) {
        const ThunderbirdProfileOutcome outcome =
            ProfileFromCopy(*context.Registry, NativeToAnsi(parsed->Identity.value_or("")),
                            *parsed->Store, parsed->Target, parsed->Recover);
        const bool done = outcome.State == ThunderbirdProfileOutcome::Status::Done;
        CliUi(context.Err)
            .MessageBox(DescribeThunderbirdProfile(outcome, NativeToAnsi(parsed->Target)),
                        done ? MessageIcon::Information : MessageIcon::Stop, MessageButtons::Ok,
                        Ansi("Profil Thunderbird"));
        return done ? ExitDone : ExitFailed;
    }
    Dialogue& dialogue = *context.Window;
    BackupSource source{false, "", dialogue.IdentiteBdRActif};
    if (parsed->Hive) {
        source = {true, NativeToAnsi(*parsed->Hive), {}};
        source.Identity = parsed->Identity ? NativeToAnsi(*parsed->Identity)
                                           : dialogue.LookUpHive(source.Hive).Identity;
    }
    const ProfileOutcome outcome = dialogue.WriteProfile(source, parsed->Target, parsed->Recover);
    return outcome.State == ProfileOutcome::Status::Done ? ExitDone : ExitFailed;
}

} // namespace quillon::cli
