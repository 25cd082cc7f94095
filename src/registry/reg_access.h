// Reg_access: the program's only way into the registry. Six read-only operations over a store,
// and the key exporter that writes keys as REGEDIT4 text.
#pragma once

#include "registry/file_io.h"
#include "registry/registry_store.h"

#include <optional>
#include <variant>

namespace quillon {

// A value read with QueryValue: an integer for a 32-bit number, text for every other type.
using RegData = std::variant<std::uint32_t, std::string>;

enum class ExportStatus { Exported, KeyNotOpened, FileFailed };

struct ExportResult {
    ExportStatus Status = ExportStatus::KeyNotOpened;
    FileError Error; // set when Status is FileFailed
    // The full names of the subkeys and values left out because their name holds CR or LF,
    // which no line of a REGEDIT4 file can carry.
    std::vector<std::string> LeftOut;
};

class Reg_access {
  public:
    explicit Reg_access(RegistryStore& store) : store_(store) {}

    // The handle of a root key name, compared exactly; 0 for any other text.
    static KeyHandle RootKeyHandle(std::string_view root);
    static KeyHandle RootKeyHandle(KeyHandle handle) { return handle; }

    // The new key's handle, or 0. errorCode receives the store's result, and is left as the
    // caller set it when the root gives no handle.
    KeyHandle OpenKey(std::string_view root, std::string_view keyPath, std::uint32_t access,
                      std::int32_t& errorCode);
    KeyHandle OpenKey(KeyHandle root, std::string_view keyPath, std::uint32_t access,
                      std::int32_t& errorCode);
    std::int32_t CloseKey(KeyHandle handle);
    // Appends every value of the key to `values`, in the store's order; returns how many.
    std::int32_t EnumValues(KeyHandle handle, std::vector<RegValue>& values);
    // The subkey name at `index`, or nothing at the end of the list.
    std::optional<std::string> EnumSubKey(KeyHandle handle, std::uint32_t index);
    // valueType is 0 and the text empty for a value that does not exist.
    RegData QueryValue(KeyHandle handle, std::string_view valueName, std::uint32_t& valueType);

    // Writes the key `keyName` ("ROOT\path"), its values and all its subkeys into fileName:
    // a new file starting with "REGEDIT4" when fileStarted is 0, appended to otherwise.
    // A key that cannot be opened leaves the file untouched.
    ExportResult ExportKey(std::string_view keyName, const std::string& fileName,
                           std::int16_t fileStarted);

  private:
    void ExportValues(KeyHandle handle, const std::string& keyName, OutputFile& out);
    void ExportSubKeys(KeyHandle handle, std::string& keyName, OutputFile& out);

    RegistryStore& store_;
    RegValue valueScratch_;
    std::string lineScratch_;
    std::vector<std::string> leftOut_; // of the export in progress
};

// The text of a value read as text or integer, for callers that only want text.
std::string AsText(const RegData& data);

} // namespace quillon
