// Where the mail client keeps a user's settings, named once for every part that reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The mail and news accounts, shared by the user's identities or an identity's own.
inline constexpr std::string_view kAccountsKey =
    "Software\\Microsoft\\Internet Account Manager\\Accounts";

// The key of the identity whose key name is `identity` ("{...}"), below `prefix` (empty, or
// the path of a hive mounted elsewhere, ending with its separator).
inline std::string IdentityKeyOf(std::string_view prefix, std::string_view identity) {
    std::string key(prefix);
    return key.append("Identities\\").append(identity);
}

// That identity's mail client settings.
inline std::string OutlookExpressKeyOf(std::string_view prefix, std::string_view identity) {
    return IdentityKeyOf(prefix, identity) + "\\Software\\Microsoft\\Outlook Express\\5.0";
}

// That identity's own accounts.
inline std::string IdentityAccountsKeyOf(std::string_view prefix, std::string_view identity) {
    return IdentityKeyOf(prefix, identity) + "\\" + std::string(kAccountsKey);
}

// The group of a user's own keys under HKEY_USERS, from the policy value "Group0": it names a
// group of the user's domain ("S-1-5-21-...-513"), and the user's keys carry the same prefix
// with the number 1003. Nothing when the value is too short to name a domain group.
inline std::optional<std::string> UserKeysGroupOf(std::string_view group0) {
    constexpr std::size_t kShortestDomainGroup = 11; // "S-1-5-21-" with a part and a number
    constexpr std::string_view kGroupNumber = "513";
    constexpr std::string_view kUserNumber = "1003";
    if (group0.size() < kShortestDomainGroup) {
        return std::nullopt;
    }
    std::string group(group0.substr(0, group0.size() - kGroupNumber.size()));
    return group.append(kUserNumber);
}

} // namespace quillon
