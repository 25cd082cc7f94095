// The offline registry: Wine prefixes, hive files, Windows installations on a disk and .reg
// files mounted into one in-memory registry with the seven roots.
#pragma once

#include "sources/file_tree.h"
#include "sources/registry_sources.h"
#include "stores/memory_store.h"

#include <memory>
#include <string>
#include <vector>

namespace quillon {

// Mounts every source of `options` in order. Later sources may add keys below earlier ones;
// two sources on the same key are refused. false with a French `error` on the first source
// that cannot be read; `warnings` tells of hives read only in part.
// `imageFiles`, when given, receives the file system of an --image installation, kept open
// for the folder checks.
bool MountAll(MemoryStore& store, const StoreOptions& options, std::vector<std::string>& warnings,
              std::string& error, std::shared_ptr<const FileTree>* imageFiles = nullptr);

} // namespace quillon
