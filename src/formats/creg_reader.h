// Windows 95/98/Me registry files (CREG: SYSTEM.DAT, USER.DAT) read through libcreg.
#pragma once

#include "formats/read_report.h"
#include "stores/key_tree.h"

#include <memory>
#include <string>

namespace quillon {

// True for the first bytes of a CREG file.
bool LooksLikeCreg(std::string_view firstBytes);

// Opens the file, whose keys are read when they are asked for. These systems store ANSI text:
// names and data are kept as stored, and a string stored without its terminating zero gets one,
// as their "A" functions return it. A list that cannot be read on ends there, an entry that
// cannot be read is left out, each counted in the tree's warnings, which name the file as
// `shown`, with the links that loop, cut before reading. nullptr, with a
// French `error` naming `path`, when it cannot be opened. The file may be removed once opened.
std::shared_ptr<KeyTree> OpenCregFile(const std::string& path, const std::string& shown,
                                      ReadReport& report, std::string& error);

} // namespace quillon
