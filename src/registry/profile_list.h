// Windows NT's list of its users' profiles: which SIDs it holds, and where each profile's folder
// is. Read from any registry (the live one, or one read offline).
#pragma once

#include "registry/reg_access.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The list, below HKEY_LOCAL_MACHINE: a subkey per SID.
inline constexpr std::string_view kProfileListKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// The text of a string value as read, up to its terminating zero (what a path or a name is).
std::string UpToTerminatingZero(std::string text);

// The SIDs the list holds; none when there is no list.
std::vector<std::string> ProfileSids(Reg_access& registry);

// The ProfileImagePath of `sid`, up to its terminating zero; "" when there is none.
std::string ProfileImagePath(Reg_access& registry, const std::string& sid);

} // namespace quillon
