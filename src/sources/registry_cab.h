// The cabinets in which Windows 98 and Me keep copies of their registry (ScanReg's
// WINDOWS/SYSBCKUP/RB000.CAB ..., Windows Me's restore points _RESTORE/ARCHIVE/RG*.CAB): the
// files each holds, SYSTEM.DAT and USER.DAT among them, read through libmspack.
#pragma once

#include <string>
#include <vector>

namespace quillon {

struct CabMember {
    std::string Name;
    std::string Date; // "2009-12-01 14:03", as the cabinet stores it (the system's local time)
};

// The files of the cabinet at `path`; false with a French `error` when it is not one that can
// be read.
bool ListCab(const std::string& path, std::vector<CabMember>& members, std::string& error);

// A member's file name without the folders a cabinet may store with it ("WINDOWS\\USER.DAT").
std::string CabMemberFileName(const std::string& member);

// Writes the file `name` of the cabinet at `path` (its file name, found without regard to case)
// into the file `into`; false with a French `error` when it is not there or cannot be read
// whole.
bool ExtractCabMember(const std::string& path, const std::string& name, const std::string& into,
                      std::string& error);

} // namespace quillon
