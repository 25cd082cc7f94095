// The offline registry: Wine prefixes, hive files, Windows installations on a disk and .reg
// files mounted into one in-memory registry with the seven roots.
#pragma once

#include "disks/file_tree.h"
#include "sources/opened_images.h"
#include "sources/registry_sources.h"
#include "stores/memory_store.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

// Hives already opened, by the name they are shown by, for a listing of several users of one
// installation: each hive is opened, copied out of an image and walked once, however many users
// share it.
class OpenedHives {
  public:
    std::shared_ptr<KeyTree> Find(const std::string& shown) const;
    void Keep(const std::string& shown, std::shared_ptr<KeyTree> hive);

  private:
    std::map<std::string, std::shared_ptr<KeyTree>> hives_;
};

// Mounts every source of `options` in order. Later sources may add keys below earlier ones;
// two sources on the same key are refused. false with a French `error` on the first source
// that cannot be read; `warnings` tells of hives read only in part.
// `imageFiles`, when given, receives the file system of an --image installation, kept open
// for the folder checks. `hives`, when given, gives the hives opened before and keeps those
// opened now (their warnings were said when they were first opened). `images`, when given,
// opens the images, or gives those a listing has opened.
bool MountAll(MemoryStore& store, const StoreOptions& options, std::vector<std::string>& warnings,
              std::string& error, std::shared_ptr<const FileTree>* imageFiles = nullptr,
              OpenedHives* hives = nullptr, OpenedImages* images = nullptr);

} // namespace quillon
