// The sources for registry files that the window's user picks one at a time, each placed by
// what it is: a .reg file under its own key names, a hive or a Wine registry file at the key
// that its name or its content tells.
#pragma once

#include "sources/registry_sources.h"

#include <string>

namespace quillon {

// Adds `path` to the sources of `options`: a .reg file as itself; a Wine registry file at the
// root its ";; All keys relative to" line names; a regf hive named SOFTWARE, SYSTEM, SAM,
// SECURITY or DEFAULT below HKEY_LOCAL_MACHINE (DEFAULT at HKEY_USERS\.DEFAULT), any other
// (NTUSER.DAT, a renamed copy) at HKEY_CURRENT_USER; a Windows 95/98/Me SYSTEM.DAT at
// HKEY_LOCAL_MACHINE, any other (USER.DAT) at HKEY_USERS. false with a French `error` when the
// file cannot be read or is none of these.
bool AddRegistryFile(const std::string& path, StoreOptions& options, std::string& error);

} // namespace quillon
