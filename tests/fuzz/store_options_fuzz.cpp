// The store options: parsing the arguments (separated by zero bytes in the input), then
// building the registry they describe from the files of a scratch folder: a .reg file, a Wine
// prefix, a hive and a Windows installation, which any option may name, whole or in part.
#include "fuzz_support.h"
#include "hive_writer.h"
#include "options/store_options.h"

namespace {

using namespace quillon;

constexpr std::string_view kRegText = "REGEDIT4\r\n[HKEY_CURRENT_USER\\Identities]\r\n"
                                      "\"Last User ID\"=\"{1}\"\r\n";
constexpr std::string_view kWineText = "WINE REGISTRY Version 2\n;; All keys relative to "
                                       "\\\\User\\\\S-1-5-21-1-2-3-1003\n\n"
                                       "[Identities] 1\n\"Last User ID\"=\"{1}\"\n";

void WriteHiveFile(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    MemoryStore store;
    std::string error;
    ReadRegText(kRegText, "hive.reg", store, error);
    tools::WriteHive(store.Root(1), path.string(), error);
}

// The files every input may name, written once.
const std::filesystem::path& Files() {
    static const std::filesystem::path folder = [] {
        const auto root = fuzz::Scratch() / "files";
        std::filesystem::create_directories(root / "prefix");
        fuzz::WriteScratchFile("files/a.reg", kRegText);
        fuzz::WriteScratchFile("files/prefix/user.reg", kWineText);
        fuzz::WriteScratchFile("files/prefix/system.reg", kWineText);
        WriteHiveFile(root / "ntuser.dat");
        WriteHiveFile(root / "win/WINDOWS/system32/config/software");
        WriteHiveFile(root / "win/Documents and Settings/luc/NTUSER.DAT");
        return root;
    }();
    return folder;
}

std::vector<std::string> Arguments(std::string_view input) {
    std::vector<std::string> args;
    while (!input.empty()) {
        const auto cut = input.find('\0');
        args.emplace_back(input.substr(0, cut));
        input = cut == std::string_view::npos ? "" : input.substr(cut + 1);
    }
    return args;
}

// Keeps every path inside the scratch folder: an input must not make the target read the
// machine's own files.
bool ConfineToFiles(StoreOptions& options) {
    for (Mount& mount : options.Mounts) {
        if (mount.Path.find("..") != std::string::npos) {
            return false;
        }
        mount.Path = (Files() / mount.Path).string();
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = Arguments(fuzz::BytesOf(data, size));
    StoreOptions options;
    std::string error;
    for (std::size_t index = 0; index < args.size();) {
        if (ParseStoreOption(args, index, options, error) != OptionParse::Taken) {
            return 0;
        }
    }
    if (!options.Empty() && ConfineToFiles(options)) {
        const OpenedStore opened = OpenStore(options);
        if (opened.Store) {
            fuzz::ReadCurrentIdentity(*opened.Store);
        }
    }
    return 0;
}
