// Reads .reg files (REGEDIT4, "Windows Registry Editor Version 5.00", in ANSI or in UTF-16LE)
// into a memory store, at the full key names they carry, as Windows' regedit imports them.
#pragma once

#include "stores/memory_store.h"

#include <string>
#include <vector>

namespace quillon {

// Adds the keys and values of `text` (the file's bytes) to `store`, and removes what its
// "[-key]" and "name"=- lines remove. A line that regedit passes over is passed over and
// described in `warnings` (French, UTF-8, naming `displayName` and the line number), and the
// rest is read. A file that regedit refuses (its first line is no header) is refused, and
// `error` says why.
bool ReadRegText(std::string_view text, const std::string& displayName, MemoryStore& store,
                 std::string& error, std::vector<std::string>* warnings = nullptr);
// The same for a file, read once (it may be a pipe); a file that cannot be read is described in
// `error` too. When its header is refused, its first bytes go to `refusedHead`, so that the
// caller can say what the file is instead.
bool ReadRegFile(const std::string& path, MemoryStore& store, std::string& error,
                 std::string* refusedHead = nullptr, std::vector<std::string>* warnings = nullptr);

// True when `bytes` begin as a .reg file does: a first line (after an optional UTF-16
// byte-order mark) that regedit takes for a header.
bool LooksLikeRegFile(std::string_view bytes);

} // namespace quillon
