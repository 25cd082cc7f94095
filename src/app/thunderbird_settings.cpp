#include "app/thunderbird_settings.h"

#include "registry/mail_client_keys.h"
#include "registry/profile_list.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <algorithm>
#include <map>

namespace quillon {

ProfileSettings ProfileSettingsOf(const IdentitySummary& summary,
                                  std::vector<std::string>& problems) {
    static const std::map<std::string, ProfileServer::Protocol> kProtocols = {
        {"POP3", ProfileServer::Protocol::Pop3},
        {"IMAP", ProfileServer::Protocol::Imap},
        {"NNTP", ProfileServer::Protocol::News},
        {"SMTP", ProfileServer::Protocol::Smtp}};
    ProfileSettings settings;
    for (const IdentitySummary::Account& account : summary.Accounts) {
        ProfileAccount moved{AnsiToUtf8(account.Name),
                             {},
                             {},
                             AnsiToUtf8(account.Address),
                             AnsiToUtf8(account.DisplayName),
                             AnsiToUtf8(account.ReplyTo)};
        bool incoming = false;
        for (const IdentitySummary::Server& server : account.ServerList) {
            const auto protocol = kProtocols.find(server.Kind);
            if (protocol == kProtocols.end()) {
                problems.push_back(Ansi("Le compte « ") + account.Name + Ansi(" » (") +
                                   server.Kind +
                                   Ansi(") n'a pas d'équivalent dans Thunderbird : il n'est pas "
                                        "repris."));
                continue;
            }
            const ProfileServer moving{
                protocol->second, AnsiToUtf8(server.Host),     server.Port,
                server.Secure,    AnsiToUtf8(server.UserName), server.SendingAuthenticates};
            if (protocol->second == ProfileServer::Protocol::Smtp) {
                moved.Outgoing = moving;
            } else if (!incoming) {
                moved.Incoming = moving;
                incoming = true;
            }
        }
        // A backup may hold the shared accounts and, generated from them, the identity's own.
        const auto same = [&](const ProfileAccount& taken) {
            return taken.Incoming.Kind == moved.Incoming.Kind &&
                   taken.Incoming.Host == moved.Incoming.Host &&
                   taken.Incoming.Port == moved.Incoming.Port &&
                   taken.Incoming.UserName == moved.Incoming.UserName;
        };
        if (incoming && std::none_of(settings.Accounts.begin(), settings.Accounts.end(), same)) {
            settings.Accounts.push_back(std::move(moved));
        }
    }
    if (!summary.Signatures.empty()) {
        settings.Signature = AnsiToUtf8(summary.Signatures.front().Text);
    }
    for (const std::string& sender : summary.BlockedMailSenders) {
        settings.BlockedSenders.push_back(AnsiToUtf8(sender));
    }
    return settings;
}

std::string IdentityNameOf(Reg_access& registry, const std::string& root,
                           const std::string& userKeys, const std::string& identity) {
    std::int32_t error = 0;
    const KeyHandle key = registry.OpenKey(root, IdentityKeyOf(userKeys, identity), KeyRead, error);
    std::string name;
    if (key != 0) {
        std::uint32_t type = 0;
        name = UpToTerminatingZero(AsText(registry.QueryValue(key, "Username", type)));
        registry.CloseKey(key);
    }
    return name.empty() ? Ansi("Identité principale") : name;
}

ThunderbirdProfileOutcome ProfileFromCopy(Reg_access& registry, std::string identity,
                                          const std::string& store, const std::string& target,
                                          bool recover, const MailProgress& progress) {
    if (identity.empty()) {
        std::int32_t error = 0;
        const KeyHandle identities =
            registry.OpenKey("HKEY_CURRENT_USER", "Identities", KeyRead, error);
        if (identities != 0) {
            identity = registry.EnumSubKey(identities, 0).value_or("");
            registry.CloseKey(identities);
        }
    }
    ThunderbirdProfileRequest request;
    request.Store = store;
    request.Target = target;
    request.IdentityName = IdentityNameOf(registry, "HKEY_CURRENT_USER", "", identity);
    std::vector<std::string> problems;
    request.Settings = ProfileSettingsOf(SummarizeIdentity(registry, identity), problems);
    request.Recover = recover;
    ThunderbirdProfileOutcome outcome = WriteThunderbirdProfile(request, progress);
    outcome.Mail.Problems.insert(outcome.Mail.Problems.begin(), problems.begin(), problems.end());
    return outcome;
}

} // namespace quillon
