// The settings of an identity made ready for a Thunderbird profile, from the registry they are
// read in: the live or offline one the window starts on, or a backup file read as a registry
// (with a copy of the mail made beside it).
#pragma once

#include "backup/identity_summary.h"
#include "mail/thunderbird_profile.h"
#include "registry/reg_access.h"

#include <string>
#include <vector>

namespace quillon {

// Each account that receives mail or news with its outgoing server, the first signature and
// the blocked senders, in UTF-8; an account of a kind Thunderbird has not (HTTPMail) is named
// among the problems (ANSI French).
ProfileSettings ProfileSettingsOf(const IdentitySummary& summary,
                                  std::vector<std::string>& problems);

// The name the user gave the identity (its "Username"), ANSI; "Identité principale", the mail
// client's own name for the first one, when none is stored.
std::string IdentityNameOf(Reg_access& registry, const std::string& root,
                           const std::string& userKeys, const std::string& identity);

// A profile of the identity `identity` of `registry` (when empty, the first one below
// HKEY_CURRENT_USER\Identities, as a backup holds it) with the mail of the copy `store`.
ThunderbirdProfileOutcome ProfileFromCopy(Reg_access& registry, std::string identity,
                                          const std::string& store, const std::string& target,
                                          bool recover, const MailProgress& progress = {});

} // namespace quillon
