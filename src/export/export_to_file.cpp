#include "export/export_to_file.h"

#include "files/input_file.h"
#include "files/temp_file.h"

#include <cerrno>
#include <filesystem>

namespace quillon {
namespace {

// Writes the key into the open file and closes it: a write that failed makes the result.
ExportResult ExportAndClose(Reg_access& registry, const KeyPath& key, RegFile& file) {
    ExportResult result = ExportKey(registry, key, file);
    if (!file.Close(result.Error)) {
        result.Status = ExportStatus::FileFailed;
    }
    return result;
}

} // namespace

ExportResult ExportKeyToFile(Reg_access& registry, const KeyPath& key, const std::string& fileName,
                             bool append) {
    ExportResult result;
    // A file appended to that does not exist yet, or is empty, is started with the header:
    // without it no reader, Quillon's own included, would take it for REGEDIT4.
    std::error_code ec;
    if (append && (!std::filesystem::exists(fileName, ec) ||
                   (std::filesystem::is_regular_file(fileName, ec) &&
                    std::filesystem::file_size(fileName, ec) == 0))) {
        append = false;
    }
    if (append) {
        // REGEDIT4 text at the end of a regedit file in UTF-16 would read as garbage.
        std::string head;
        if (std::filesystem::is_regular_file(fileName, ec) &&
            ReadWholeFile(fileName, head, result.Error, 2) && head == "\xFF\xFE") {
            result.Status = ExportStatus::FileFailed;
            result.Error = FileError{fileName, EILSEQ};
            return result;
        }
        // An existing file opened for appending is unchanged when the key cannot be opened.
        RegFile file;
        if (!file.OpenToAppend(fileName, result.Error)) {
            result.Status = ExportStatus::FileFailed;
            return result;
        }
        return ExportAndClose(registry, key, file);
    }
    auto temporary = TemporaryFile::CreateBeside(fileName, result.Error);
    if (!temporary) {
        result.Status = ExportStatus::FileFailed;
        result.Error.Path = fileName;
        return result;
    }
    RegFile file;
    if (!file.OpenNew(*temporary, false, result.Error)) {
        result.Status = ExportStatus::FileFailed;
        result.Error.Path = fileName;
        return result;
    }
    result = ExportAndClose(registry, key, file);
    if (result.Status == ExportStatus::FileFailed) {
        result.Error.Path = fileName;
    } else if (result.Status == ExportStatus::Exported &&
               !temporary->RenameTo(fileName, result.Error)) {
        result.Status = ExportStatus::FileFailed;
    }
    return result;
}

} // namespace quillon
