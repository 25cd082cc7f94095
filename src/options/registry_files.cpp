#include "options/registry_files.h"

#include "files/input_file.h"
#include "formats/creg_reader.h"
#include "formats/hive_reader.h"
#include "formats/reg_file_reader.h"
#include "formats/wine_registry_reader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace quillon {
namespace {

// Enough of a Wine registry file to hold its ";; All keys relative to" line.
constexpr std::size_t kHeadSize = 4096;

std::string LowerFileName(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

std::string HiveKey(const std::string& name) {
    static const std::pair<const char*, const char*> kSystemHives[] = {
        {"software", "HKEY_LOCAL_MACHINE\\SOFTWARE"},
        {"system", "HKEY_LOCAL_MACHINE\\SYSTEM"},
        {"sam", "HKEY_LOCAL_MACHINE\\SAM"},
        {"security", "HKEY_LOCAL_MACHINE\\SECURITY"},
        {"default", "HKEY_USERS\\.DEFAULT"}};
    for (const auto& [file, key] : kSystemHives) {
        if (name == file) {
            return key;
        }
    }
    return "HKEY_CURRENT_USER";
}

std::string WineKey(std::string_view head) {
    const std::string user = WineRegistryUser(head);
    if (user.empty()) {
        return "HKEY_LOCAL_MACHINE";
    }
    return user == ".Default" ? "HKEY_USERS\\.DEFAULT" : "HKEY_CURRENT_USER";
}

} // namespace

bool AddRegistryFile(const std::string& path, StoreOptions& options, std::string& error) {
    std::string head;
    FileError fileError;
    if (!ReadWholeFile(path, head, fileError, kHeadSize)) {
        error = "Impossible de lire « " + path + " » : " + fileError.Reason();
        return false;
    }
    if (LooksLikeRegFile(head)) {
        options.Mounts.push_back({Mount::Kind::Reg, "", path});
    } else if (LooksLikeWineRegistry(head)) {
        options.Mounts.push_back({Mount::Kind::Hive, WineKey(head), path});
    } else if (LooksLikeHive(head)) {
        options.Mounts.push_back({Mount::Kind::Hive, HiveKey(LowerFileName(path)), path});
    } else if (LooksLikeCreg(head)) {
        options.Mounts.push_back(
            {Mount::Kind::Hive,
             LowerFileName(path) == "system.dat" ? "HKEY_LOCAL_MACHINE" : "HKEY_USERS", path});
    } else {
        error = "« " + path +
                " » n'est ni une ruche de registre, ni un registre de Windows 95/98/Me, ni un "
                "fichier de registre de Wine, ni un fichier .reg";
        return false;
    }
    return true;
}

} // namespace quillon
