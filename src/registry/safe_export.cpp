#include "registry/safe_export.h"

#include "registry/temp_file.h"

namespace quillon {

ExportResult ExportKeyToFile(Reg_access& registry, std::string_view keyName,
                             const std::string& fileName, bool append) {
    if (append) {
        return registry.ExportKey(keyName, fileName, 1);
    }
    ExportResult result;
    auto temporary = TemporaryFile::CreateBeside(fileName, result.Error);
    if (!temporary) {
        result.Status = ExportStatus::FileFailed;
        result.Error.Path = fileName;
        return result;
    }
    result = registry.ExportKey(keyName, temporary->Path(), 0);
    if (result.Status == ExportStatus::FileFailed) {
        result.Error.Path = fileName;
    } else if (result.Status == ExportStatus::Exported &&
               !temporary->RenameTo(fileName, result.Error)) {
        result.Status = ExportStatus::FileFailed;
    }
    return result;
}

} // namespace quillon
