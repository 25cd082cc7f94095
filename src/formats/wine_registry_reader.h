// Wine's registry files (system.reg, user.reg, userdef.reg: "WINE REGISTRY Version 2"), whose
// key names are relative to the key they are mounted at.
#pragma once

#include "stores/memory_store.h"

#include <string>

namespace quillon {

bool LooksLikeWineRegistry(std::string_view bytes);

// Adds the keys and values of a Wine registry file below `mount`, names and strings in ANSI as
// the "A" functions would give them. On a line it cannot read, stops and describes it in
// `error` (French, naming `displayName` and the line number).
bool ReadWineRegistryText(std::string_view text, const std::string& displayName, MemoryKey& mount,
                          std::string& error);

// The user's security identifier that user.reg names in its ";; All keys relative to
// \\User\\S-1-5-…" line; empty when it names none.
std::string WineRegistryUser(std::string_view text);

} // namespace quillon
