// The arguments of the window's commands, read before the registry is opened, so that a usage
// error says so at once, before any start-up message.
#pragma once

#include "app/operations.h"
#include "app/ui_port.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace quillon::cli {

// save FILE / save-hive HIVE FILE, with --only LIST, --generate-accounts yes|no, --mail DIR,
// --eml (with --mail) and (save-hive) --identity ID.
struct BackupArgs {
    std::vector<std::string> Positional;
    std::optional<std::string> Only;
    std::optional<std::string> Identity;
    std::optional<std::string> Mail;
    MailConversion Conversion = MailConversion::None; // --eml, --open-formats
    Answer Generate = Answer::Yes;
};
std::optional<BackupArgs> ParseBackupArgs(const std::vector<std::string>& args, bool saveHive,
                                          std::ostream& err);

// adapt IN OUT [--identity OLD] [--folder DIR] [--address-book PATH] [--mail COPY
// [--replace-mail]]
struct ProfileArgs {
    std::string Target;
    std::optional<std::string> Hive, Identity;
    std::optional<std::string> Store; // a copy of the mail, with a backup read as the registry
    bool Recover = false;
};
std::optional<ProfileArgs> ParseProfileArgs(const std::vector<std::string>& args,
                                            std::ostream& err);

struct AdaptArgs {
    std::string Input, Output;
    std::optional<std::string> Identity, Folder, AddressBook, Mail;
    bool ReplaceMail = false; // "Oui" to replacing the mail already on the new system
};
std::optional<AdaptArgs> ParseAdaptArgs(const std::vector<std::string>& args, std::ostream& err);

// Whether `args` are `count` arguments and no option, for a command whose usage is `usage`;
// when not, the reason is written to `err`.
bool PositionalOnly(const char* usage, std::size_t count, const std::vector<std::string>& args,
                    std::ostream& err);

} // namespace quillon::cli
