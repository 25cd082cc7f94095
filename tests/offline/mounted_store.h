// An offline registry mounted for a test, with what the mount said.
#pragma once

#include "stores/offline/offline_store.h"

#include <string>
#include <vector>

namespace quillon::test {

struct MountedStore {
    // Mounts `mounts` into a fresh store.
    bool Mount(std::vector<quillon::Mount> mounts, std::string user = "") {
        store = MemoryStore();
        warnings.clear();
        error.clear();
        return MountAll(store, {std::move(mounts), std::move(user)}, warnings, error);
    }
    // A string value's text (its bytes less the terminating zero), or "<absent>".
    std::string Text(std::string_view key, std::string_view value) const {
        const MemoryKey* found = store.FindKey(key);
        const RegValue* v = found != nullptr ? found->FindValue(value) : nullptr;
        return v == nullptr || v->Data.empty() ? "<absent>"
                                               : std::string(v->Data.begin(), v->Data.end() - 1);
    }

    MemoryStore store;
    std::vector<std::string> warnings;
    std::string error;
};

} // namespace quillon::test
