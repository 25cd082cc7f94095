// The commands of quillon-cli. Each returns the exit status: 0 done, 1 ended without result,
// 2 usage error.
#pragma once

#include "registry/reg_access.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace quillon::cli {

inline constexpr int ExitDone = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

// export KEY FILE [--append]
int RunExport(Reg_access& registry, const std::vector<std::string>& args, std::ostream& err);

// status: the start-up of the window, its messages, then the boxes it filled.
int RunStatus(Reg_access& registry, const std::string& programFolder,
              const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace quillon::cli
