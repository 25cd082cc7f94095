#include "registry/store_options.h"

#include "registry/memory_store.h"
#include "registry/reg_file_reader.h"
#ifdef _WIN32
#include "registry/windows_store.h"
#endif

namespace quillon {

const char* const StoreOptionsHelp =
#ifdef _WIN32
    "Sous Windows, le registre lu est celui de l'utilisateur connecté.\n";
#else
    "Registre lu :\n"
    "  --reg FICHIER     un fichier .reg (REGEDIT4 ou version 5.00) ; clés à leur nom complet.\n"
    "                    Peut être répété ; les fichiers suivants complètent les premiers.\n";
#endif

OptionParse ParseStoreOption(const std::vector<std::string>& args, std::size_t& index,
                             StoreOptions& options, std::string& error) {
    if (args[index] != "--reg") {
        return OptionParse::NotAStoreOption;
    }
#ifdef _WIN32
    (void)options;
    error = "--reg n'est pas accepté sous Windows : le registre lu est celui du système";
    return OptionParse::Error;
#else
    if (index + 1 >= args.size()) {
        error = "--reg demande un nom de fichier";
        return OptionParse::Error;
    }
    options.RegFiles.push_back(args[index + 1]);
    index += 2;
    return OptionParse::Taken;
#endif
}

std::unique_ptr<RegistryStore> OpenStore(const StoreOptions& options, std::string& error) {
#ifdef _WIN32
    (void)options;
    (void)error;
    return std::make_unique<WindowsStore>();
#else
    auto store = std::make_unique<MemoryStore>();
    for (const std::string& file : options.RegFiles) {
        if (!ReadRegFile(file, *store, error)) {
            return nullptr;
        }
    }
    return store;
#endif
}

} // namespace quillon
