// Reads .reg files (REGEDIT4 in ANSI, "Windows Registry Editor Version 5.00" in UTF-16LE)
// into a memory store, at the full key names they carry.
#pragma once

#include "stores/memory_store.h"

#include <string>

namespace quillon {

// Adds the keys and values of `text` (the file's bytes) to `store`, and removes what its
// "[-key]" and "name"=- lines remove. On a line it cannot read, stops and describes it in
// `error` (French, UTF-8, naming `displayName` and the line number).
bool ReadRegText(std::string_view text, const std::string& displayName, MemoryStore& store,
                 std::string& error);
// The same for a file, read once (it may be a pipe); a file that cannot be read is described in
// `error` too. When its header is refused, its first bytes go to `refusedHead`, so that the
// caller can say what the file is instead.
bool ReadRegFile(const std::string& path, MemoryStore& store, std::string& error,
                 std::string* refusedHead = nullptr);

// True when `bytes` begin as a .reg file does (after an optional byte-order mark).
bool LooksLikeRegFile(std::string_view bytes);

} // namespace quillon
