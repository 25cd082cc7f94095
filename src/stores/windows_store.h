// The live Windows registry through advapi32's single-byte functions.
#pragma once

#ifdef _WIN32
#include "registry/registry_store.h"

#include <windows.h>

namespace quillon {

class WindowsStore : public RegistryStore {
  public:
    WindowsStore() = default;
    WindowsStore(const WindowsStore&) = delete;
    WindowsStore& operator=(const WindowsStore&) = delete;
    ~WindowsStore() override;

    std::int32_t OpenKey(KeyHandle parent, std::string_view path, std::uint32_t access,
                         KeyHandle& result) override;
    std::int32_t CloseKey(KeyHandle key) override;
    std::int32_t EnumValue(KeyHandle key, std::uint32_t index, RegValue& value) override;
    std::int32_t EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override;
    std::int32_t QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                            std::vector<std::uint8_t>& data) override;

  private:
    HKEY Native(KeyHandle handle) const;

    // HKEYs are pointer-sized on 64-bit Windows: the 32-bit handles index this table.
    std::vector<HKEY> open_;
    std::vector<KeyHandle> free_;
};

} // namespace quillon
#endif
