// Registry hive files (regf: NTUSER.DAT, SOFTWARE, DEFAULT ...) opened as key trees that read
// each key only when it is asked for.
#pragma once

#include "formats/read_report.h"
#include "stores/key_tree.h"

#include <memory>
#include <string>

namespace quillon {

// True for the first bytes of a regf hive.
bool LooksLikeHive(std::string_view firstBytes);

// Opens the hive at `path`: names and string data in ANSI as the "A" functions give them, other
// data byte for byte, in the hive's own order. A key, value or name that cannot be read is left
// out where it is asked for and counted; the tree's warnings name the file as `shown`. A damaged
// hive is opened leniently (report.Unsafe) and read as far as it can be. nullptr, with a French
// `error` naming `path`, when it cannot be opened at all. The file may be removed once opened.
// A hive known to be cut short is opened leniently at once (`cutShort`): its lists name cells
// that lay beyond the cut.
std::shared_ptr<KeyTree> OpenHive(const std::string& path, const std::string& shown,
                                  ReadReport& report, std::string& error, bool cutShort = false);

} // namespace quillon
