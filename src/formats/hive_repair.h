// regf hives made ready to read as Windows would load them: a hive left dirty has its
// transaction logs (.LOG, .LOG1, .LOG2, old and new formats) applied, and damage outside the keys
// (the header's checksum, a hive bin's size) is worked around, on the caller's copy of the bytes.
#pragma once

#include "formats/regf_layout.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// A transaction log found beside a hive: its file name and its bytes.
struct HiveLog {
    std::string Name;
    std::string Bytes;
};

struct HiveRepair {
    enum class Logs {
        NotNeeded,  // the hive was closed cleanly
        Applied,    // the hive was dirty, and logs brought it to its last state
        NotApplied, // the hive was dirty; its logs are damaged, stale or another hive's
        None,       // the hive was dirty, and no log lies beside it
    };
    Logs State = Logs::NotNeeded;
    std::vector<std::string> LogsApplied; // their names, in the order applied
    std::vector<std::string> LogsRefused; // non-empty logs damaged or not the hive's
    std::vector<std::string> LogsStale;   // whole logs older than the hive's last save, not applied
    std::vector<std::string> DamageWorkedAround; // in French: what was wrong, and where
    bool Changed = false;  // the bytes differ from the file's: the copy must be read
    bool CutShort = false; // the file ended inside its bins: its lists name cells beyond the cut
};

// The size of a hive's header, which says whether the rest must be looked at.
inline constexpr std::size_t kHiveBaseBlockSize = regf::kBaseBlockSize;

// True when the first bytes of a hive (its 4096-byte base block) say it must be looked at
// whole: left dirty, or its header damaged.
bool HiveNeedsRepair(std::string_view baseBlock);

// Brings `hive` (a whole regf file) to the state Windows would load, with `logs` (those of its
// logs that exist, empty ones included).
HiveRepair RepairHive(std::string& hive, const std::vector<HiveLog>& logs);

// The names a hive's logs may have beside it: NAME.LOG1, NAME.LOG2, NAME.LOG, in the order
// they are tried.
std::vector<std::string> HiveLogNames(const std::string& hiveName);

} // namespace quillon
