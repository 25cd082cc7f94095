// Reg_access: the program's only way into the registry, six read-only operations over a store.
#pragma once

#include "registry/registry_store.h"

#include <optional>
#include <variant>

namespace quillon {

// A value read with QueryValue: an integer for a 32-bit number, text for every other type.
using RegData = std::variant<std::uint32_t, std::string>;

class Reg_access {
  public:
    explicit Reg_access(RegistryStore& store) : store_(store) {}

    // The handle of a root key name, compared exactly; 0 for any other text.
    static KeyHandle RootKeyHandle(std::string_view root);

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

    // The store itself, for the key exporter's walk, which reads values one at a time.
    RegistryStore& Store() { return store_; }

  private:
    RegistryStore& store_;
};

// The text of a value read as text or integer, for callers that only want text.
std::string AsText(const RegData& data);

} // namespace quillon
