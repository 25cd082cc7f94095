// Registry hive files (regf: NTUSER.DAT, SOFTWARE, DEFAULT ...) read through libhivex.
#pragma once

#include "formats/read_report.h"
#include "stores/memory_store.h"

#include <string>

namespace quillon {

// True for the first bytes of a regf hive.
bool LooksLikeHive(std::string_view firstBytes);

// Adds the keys and values of the hive below `mount`, names and string data in ANSI as the "A"
// functions give them, other data byte for byte, in the hive's own order. A key that cannot be
// read whole ends its own listing there and is counted. A damaged hive is read as far as it
// can be. false, with a French `error` naming the file, when it cannot be opened at all.
bool ReadHiveFile(const std::string& path, MemoryKey& mount, ReadReport& report,
                  std::string& error);

} // namespace quillon
