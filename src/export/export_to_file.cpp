#include "export/export_to_file.h"

#include "files/input_file.h"
#include "files/temp_file.h"

#include <cerrno>
#include <filesystem>

namespace quillon {

ExportResult ExportKeyToFile(Reg_access& registry, std::string_view keyName,
                             const std::string& fileName, bool append) {
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
        return ExportKey(registry, keyName, fileName, 1);
    }
    auto temporary = TemporaryFile::CreateBeside(fileName, result.Error);
    if (!temporary) {
        result.Status = ExportStatus::FileFailed;
        result.Error.Path = fileName;
        return result;
    }
    result = ExportKey(registry, keyName, *temporary);
    if (result.Status == ExportStatus::FileFailed) {
        result.Error.Path = fileName;
    } else if (result.Status == ExportStatus::Exported &&
               !temporary->RenameTo(fileName, result.Error)) {
        result.Status = ExportStatus::FileFailed;
    }
    return result;
}

} // namespace quillon
