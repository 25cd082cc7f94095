// Windows 95/98/Me registry files (CREG: SYSTEM.DAT, USER.DAT) read through libcreg.
#pragma once

#include "formats/read_report.h"
#include "stores/memory_store.h"

#include <string>

namespace quillon {

// True for the first bytes of a CREG file.
bool LooksLikeCreg(std::string_view firstBytes);

// Adds the keys and values of the file under `mount`. These systems store ANSI text: names and
// data are kept as stored, and a string stored without its terminating zero gets one, as their
// "A" functions return it. A key that cannot be read whole ends its own listing there and is
// counted. false, with a French `error` naming the file, when it cannot be opened.
bool ReadCregFile(const std::string& path, MemoryKey& mount, ReadReport& report,
                  std::string& error);

} // namespace quillon
