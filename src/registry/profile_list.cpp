#include "registry/profile_list.h"

#include <algorithm>

namespace quillon {

std::string UpToTerminatingZero(std::string text) {
    text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
    return text;
}

std::vector<std::string> ProfileSids(Reg_access& registry) {
    std::vector<std::string> sids;
    std::int32_t result = 0;
    const KeyHandle list =
        registry.OpenKey("HKEY_LOCAL_MACHINE", std::string(kProfileListKey), KeyRead, result);
    if (list == 0) {
        return sids;
    }
    for (std::uint32_t index = 0;; ++index) {
        std::optional<std::string> sid = registry.EnumSubKey(list, index);
        if (!sid) {
            break;
        }
        sids.push_back(std::move(*sid));
    }
    registry.CloseKey(list);
    return sids;
}

std::string ProfileImagePath(Reg_access& registry, const std::string& sid) {
    std::int32_t result = 0;
    const KeyHandle key = registry.OpenKey(
        "HKEY_LOCAL_MACHINE", std::string(kProfileListKey) + "\\" + sid, KeyRead, result);
    if (key == 0) {
        return {};
    }
    std::uint32_t type = 0;
    std::string path = AsText(registry.QueryValue(key, "ProfileImagePath", type));
    registry.CloseKey(key);
    return UpToTerminatingZero(std::move(path));
}

} // namespace quillon
