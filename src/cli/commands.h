// The commands of quillon-cli, in one table: each one's name, its lines of --help, what it needs
// before it runs, the check of its arguments, and the function that runs it. Each returns the
// exit status: 0 done, 1 ended without result, 2 usage error.
#pragma once

#include "app/dialogue.h"
#include "options/store_options.h"

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

inline constexpr int ExitDone = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

class CliUi;

// What a command is given: the registry options, and what its needs made ready.
struct CommandContext {
    const StoreOptions& Options;
    std::string ProgramFolder;
    std::ostream& Out;
    std::ostream& Err;
    Reg_access* Registry = nullptr; // once the registry is open
    Dialogue* Window = nullptr;     // once the window's start-up has run over it
    CliUi* Ui = nullptr;            // the window's Ui
};

struct Command {
    enum class Needs {
        Options,  // reads the registry options itself
        Registry, // the registry opened
        Window,   // the registry opened, and the window started over it
    };
    std::string_view Name;
    std::string_view Help; // its lines in --help
    Needs Need;
    // Whether the arguments are well formed, checked before the registry is opened (said when
    // not); null when the command checks them itself.
    bool (*ArgumentsValid)(const std::vector<std::string>& args, std::ostream& err);
    int (*Run)(CommandContext& context, const std::vector<std::string>& args);
    // For a command that needs the window: whether these arguments make do with the registry
    // alone (a file read as one that the window could not start on); null when never.
    bool (*RegistryEnough)(const std::vector<std::string>& args) = nullptr;
};

// The commands, in the order --help lists them.
std::span<const Command> Commands();
// The command of that name; nullptr when there is none.
const Command* FindCommand(std::string_view name);

// export KEY FILE [--append]
int RunExport(Reg_access& registry, const std::vector<std::string>& args, std::ostream& err);

// export-mail STORE_FOLDER OUT [--recover]: the mail in open formats.
int RunExportMail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// list [--details]: the installations and users that the store options reach, one line each
// (tab-separated: where, system, mail client version, user, identity, store folder); with
// --details, what a backup of each identity would carry, on tab-indented lines below it.
int RunList(const StoreOptions& options, const std::string& programFolder,
            const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// status: the boxes that the start-up filled.
int RunStatus(const Dialogue& dialogue, std::ostream& out);
// save FILE [--only LIST] [--generate-accounts yes|no]: tab 1.
int RunSave(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args, std::ostream& err);
// lookup HIVE: tab 2's search.
int RunLookup(Dialogue& dialogue, const std::vector<std::string>& args, std::ostream& out);
// save-hive HIVE FILE [--identity ID] [--only LIST] [--generate-accounts yes|no]: tab 2.
// Runs in the window when the context has one, else from the registry and a copy of the mail.
int RunThunderbirdProfile(CommandContext& context, const std::vector<std::string>& args);
int RunSaveHive(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args,
                std::ostream& err);
// adapt IN OUT [--identity OLD] [--folder DIR] [--address-book PATH]: tab 3.
int RunAdapt(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err);

} // namespace quillon::cli
