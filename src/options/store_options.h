// The options that say which registry to read, and the store they build.
#pragma once

#include "registry/registry_store.h"
#include "sources/installation_paths.h"
#include "sources/registry_sources.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class OpenedImages;

enum class OptionParse { NotAStoreOption, Taken, Error };

// Takes the store option at args[index] (and its argument), advancing index past it.
OptionParse ParseStoreOption(const std::vector<std::string>& args, std::size_t& index,
                             StoreOptions& options, std::string& error);

struct OpenedStore {
    std::unique_ptr<RegistryStore> Store; // nullptr when it could not be built
    std::string Error;                    // French, why it could not
    std::vector<std::string> Warnings;    // French, what was read only in part
    // Offline only: where the folders the registry names lie on this machine; without drives
    // when no installation is behind the registry (a hive or a .reg file alone).
    std::optional<InstallationPaths> Installation;
    // Offline only: hives are read as their keys are asked for, so that damage is met as it is
    // read. Gives the French warnings of what was met since the last call.
    std::function<std::vector<std::string>()> TakeReadWarnings = [] {
        return std::vector<std::string>();
    };
};

// On Windows the live registry, which takes no option; elsewhere the offline registry that
// the options describe, or by default the Wine prefix of $WINEPREFIX or ~/.wine when there is
// one, or else an empty registry.
OpenedStore OpenStore(const StoreOptions& options);

// OpenStore's store alone (its warnings left out), nullptr with its French `error`: how a listing
// opens each installation it finds.
std::unique_ptr<RegistryStore> OpenStoreOnly(const StoreOptions& options, std::string& error);

// OpenStoreOnly for one listing of many users: the hives it opens are kept for the next users'
// stores, so that each hive of an installation is read once, and the images are those the
// listing opened (`images`, when given).
using ListingOpener = std::function<std::unique_ptr<RegistryStore>(
    const StoreOptions& options, OpenedImages* images, std::string& error)>;
ListingOpener OpenStoresSharingHives();

// Why options that choose within an installation (--user, --partition) cannot apply: the
// installation they choose in was not given; empty when they can. A usage error, which
// OpenStore also refuses.
std::string MisplacedChoice(const StoreOptions& options);

// The lines of --help that describe the store options.
extern const std::string StoreOptionsHelp;

} // namespace quillon
