// Writes regf hive files from keys held in memory, through libhivex's write API, so that the
// sample installation and the tests get real hives made from readable .reg sources.
#pragma once

#include "stores/memory_store.h"

#include <string>

namespace quillon::tools {

// The bytes of an empty regf hive: a header and one bin holding the root key and its security
// record, which is what libhivex needs before it can add keys.
std::string EmptyHive(std::string_view rootName = "$$$PROTO.HIV");

// Writes `root` (its values and all its subkeys, the key itself becoming the hive's root) as a
// hive into `path`. Names and string data go in as Windows stores them (UTF-16 for the
// string types); subkeys come out in the hive's sorted order. false with `error` otherwise.
bool WriteHive(const MemoryKey& root, const std::string& path, std::string& error);

} // namespace quillon::tools
