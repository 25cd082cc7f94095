// What a backup of an identity would carry, for the user to see before saving it, and to set up
// another mail client with: its mail and news accounts (their servers, never a password), its
// signatures, its message rules and blocked senders.
#pragma once

#include "registry/reg_access.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct IdentitySummary {
    // One server of an account: where the mail is fetched, sent, or the news read.
    struct Server {
        std::string Kind; // "POP3", "IMAP", "HTTPMail", "SMTP", "NNTP"
        std::string Host;
        std::uint32_t Port = 0;
        bool Secure = false; // SSL
        std::string UserName;
        bool PasswordStored = false;       // the mail client kept it: to type again once
        bool PasswordEachTime = false;     // asked at each connection
        bool SendingAuthenticates = false; // SMTP: the server asks for a name and password
    };
    struct Account {
        std::string Name;
        std::string Servers; // "POP3 pop.example, SMTP smtp.example"
        std::string UserName;
        std::string Address;
        std::string DisplayName;
        std::string ReplyTo;
        std::vector<Server> ServerList;
    };
    struct Signature {
        std::string Name;
        std::string FirstLine;
        std::string Text; // whole
    };

    std::vector<Account> Accounts; // the user's shared ones, then the identity's own
    std::vector<Signature> Signatures;
    int MailRules = 0;
    int NewsRules = 0;
    int BlockedMail = 0;
    int BlockedNews = 0;
    std::vector<std::string> MailRuleNames, NewsRuleNames;
    std::vector<std::string> BlockedMailSenders, BlockedNewsSenders;
};

// Read for the identity `identity` (its key name, "{...}") from the user's keys: below `root`,
// each path after `prefix` (tab 2's hive: HKEY_LOCAL_MACHINE and "HIVE\"). Texts are ANSI, as
// stored.
IdentitySummary SummarizeIdentity(Reg_access& registry, const std::string& identity,
                                  const std::string& root = "HKEY_CURRENT_USER",
                                  const std::string& prefix = "");

// The summary told in French for a user who sets up another mail client (ANSI text, CR LF
// lines): each account with its servers, ports, security and user name, its addresses, the
// passwords to type again; the signatures; the blocked senders; the rules no other client reads.
std::string SettingsSummaryText(const IdentitySummary& summary);

} // namespace quillon
