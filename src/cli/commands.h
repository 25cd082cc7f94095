// The commands of quillon-cli. Each returns the exit status: 0 done, 1 ended without result,
// 2 usage error.
#pragma once

#include "app/dialogue.h"
#include "options/store_options.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace quillon::cli {

inline constexpr int ExitDone = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

// export KEY FILE [--append]
int RunExport(Reg_access& registry, const std::vector<std::string>& args, std::ostream& err);

class CliUi;

// list [--details]: the installations and users that the store options reach, one line each
// (tab-separated: where, system, mail client version, user, identity, store folder); with
// --details, what a backup of each identity would carry, on tab-indented lines below it.
int RunList(const StoreOptions& options, const std::string& programFolder,
            const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// status: the boxes that the start-up filled.
int RunStatus(const Dialogue& dialogue, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err);
// save FILE [--only LIST] [--generate-accounts yes|no]: tab 1.
int RunSave(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args, std::ostream& err);
// lookup HIVE: tab 2's search.
int RunLookup(Dialogue& dialogue, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err);
// save-hive HIVE FILE [--identity ID] [--only LIST] [--generate-accounts yes|no]: tab 2.
int RunSaveHive(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args,
                std::ostream& err);
// adapt IN OUT [--identity OLD] [--folder DIR] [--address-book PATH]: tab 3.
int RunAdapt(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err);

} // namespace quillon::cli
