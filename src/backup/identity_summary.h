// What a backup of an identity would carry, for the user to see before saving it: its mail and
// news accounts (never a password), its signatures, how many message rules and blocked senders.
#pragma once

#include "registry/reg_access.h"

#include <string>
#include <vector>

namespace quillon {

struct IdentitySummary {
    struct Account {
        std::string Name;
        std::string Servers; // "POP3 pop.example, SMTP smtp.example"
        std::string UserName;
        std::string Address;
    };
    struct Signature {
        std::string Name;
        std::string FirstLine;
    };

    std::vector<Account> Accounts; // the user's shared ones, then the identity's own
    std::vector<Signature> Signatures;
    int MailRules = 0;
    int NewsRules = 0;
    int BlockedMail = 0;
    int BlockedNews = 0;
};

// Read below HKEY_CURRENT_USER for the identity `identity` (its key name, "{...}").
IdentitySummary SummarizeIdentity(Reg_access& registry, const std::string& identity);

} // namespace quillon
