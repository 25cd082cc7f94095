// The file work of the backup commands: copying the accounts through their temporary file,
// rewriting a foreign hive's key names for the current user, counting lines.
#pragma once

#include "export/reg_file.h"
#include "files/file_error.h"
#include "files/temp_file.h"

#include <optional>

namespace quillon {

// Generating an identity's accounts from the global ones: key paths from -> to.
struct AccountsRewrite {
    std::string From;
    std::string To;
};

// Copies the lines of `temporary` into `out`, after its header if it has none yet, leaving out
// those that begin with "REGEDIT" (the header the temporary file may have): unchanged, or with
// `rewrite`'s key paths rewritten. Then a line of five spaces, unless the last line read begins
// with eight spaces.
bool CopyAccountLines(const std::string& temporary, RegFile& out,
                      const std::optional<AccountsRewrite>& rewrite, FileError& error);

// Rewrites, in every line of the backup being built in `file`, each "HKEY_LOCAL_MACHINE\" +
// prefix into "HKEY_CURRENT_USER\", in place. `lines` receives the number of lines written.
bool RewriteForCurrentUser(const TemporaryFile& file, const std::string& prefix,
                           std::int32_t& lines, FileError& error);

} // namespace quillon
