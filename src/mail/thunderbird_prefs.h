// The identity's accounts as Thunderbird keeps them in a profile: the preferences (prefs.js) of
// each mail and news account, its identity (name, address, reply-to, signature) and its
// outgoing server, and the blocked senders as a message filter (msgFilterRules.dat). Texts are
// UTF-8; no password is written: Thunderbird asks for each once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

struct ProfileServer {
    enum class Protocol { Pop3, Imap, News, Smtp };
    Protocol Kind = Protocol::Pop3;
    std::string Host;
    std::uint32_t Port = 0;
    bool Secure = false; // SSL from the first byte
    std::string UserName;
    bool Authenticates = true; // an outgoing server: asks for a name and password
};

struct ProfileAccount {
    std::string Name;
    ProfileServer Incoming;
    std::optional<ProfileServer> Outgoing;
    std::string Address, DisplayName, ReplyTo;
};

struct ProfileSettings {
    std::vector<ProfileAccount> Accounts;
    std::string Signature;
    std::vector<std::string> BlockedSenders; // addresses or domains
};

// The folder of the profile each account keeps its mail in ("Mail/pop.example"), one each.
std::vector<std::string> ServerFolders(const ProfileSettings& settings);

// prefs.js: the accounts, then the local folders' account, Thunderbird's own (its mail in
// "Mail/Local Folders").
std::string ThunderbirdPrefs(const ProfileSettings& settings);

// A filter that deletes the mail of the blocked senders as it arrives.
std::string BlockedSendersFilter(const std::vector<std::string>& senders);

inline constexpr const char* kLocalFoldersFolder = "Local Folders";

} // namespace quillon
