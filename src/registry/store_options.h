// The options that say which registry to read, and the store they build.
#pragma once

#include "registry/registry_store.h"

#include <memory>
#include <string>
#include <vector>

namespace quillon {

struct StoreOptions {
    std::vector<std::string> RegFiles; // --reg FILE, in the order given

    bool Empty() const { return RegFiles.empty(); }
};

enum class OptionParse { NotAStoreOption, Taken, Error };

// Takes the store option at args[index] (and its argument), advancing index past it.
OptionParse ParseStoreOption(const std::vector<std::string>& args, std::size_t& index,
                             StoreOptions& options, std::string& error);

// The store the options name: on Windows the live registry (which takes no option), elsewhere
// the .reg files given. nullptr with a French `error` when a file cannot be read.
std::unique_ptr<RegistryStore> OpenStore(const StoreOptions& options, std::string& error);

// The lines of --help that describe the store options.
extern const char* const StoreOptionsHelp;

} // namespace quillon
