#include "backup/identity_summary.h"

#include "registry/mail_client_keys.h"

#include <functional>

namespace quillon {
namespace {

// The servers of a mail or news account, with the ports the mail client uses when the account
// stores none (without SSL, then with); a directory service (LDAP) has none of them.
struct ServerKind {
    const char* Name;
    std::uint32_t Port;
    std::uint32_t SecurePort;
};
constexpr ServerKind kServers[] = {{"POP3", 110, 995},
                                   {"IMAP", 143, 993},
                                   {"HTTPMail", 0, 0},
                                   {"SMTP", 25, 465},
                                   {"NNTP", 119, 563}};

// The mail client's "SMTP Use Sicily": the outgoing server asks for a name and password (its own,
// or the incoming server's).
constexpr std::uint32_t kSmtpNoAuthentication = 0;

// Where the user's keys are read.
struct UserKeys {
    Reg_access& Registry;
    const std::string& Root;
    const std::string& Prefix;
};

// Runs `use` on the key `path` of the user's keys when it opens.
void WithKey(const UserKeys& user, const std::string& path,
             const std::function<void(KeyHandle)>& use) {
    std::int32_t error = 0;
    Reg_access& registry = user.Registry;
    const KeyHandle key = registry.OpenKey(user.Root, user.Prefix + path, KeyRead, error);
    if (key != 0) {
        use(key);
        registry.CloseKey(key);
    }
}

std::string Text(Reg_access& registry, KeyHandle key, std::string_view name) {
    std::uint32_t type = 0;
    std::string text = AsText(registry.QueryValue(key, name, type));
    while (text.ends_with('\0')) {
        text.pop_back();
    }
    return text;
}

std::uint32_t Number(Reg_access& registry, KeyHandle key, std::string_view name) {
    std::uint32_t type = 0;
    const RegData data = registry.QueryValue(key, name, type);
    return std::holds_alternative<std::uint32_t>(data) ? std::get<std::uint32_t>(data) : 0;
}

bool Present(Reg_access& registry, KeyHandle key, std::string_view name) {
    std::uint32_t type = 0;
    registry.QueryValue(key, name, type);
    return type != 0;
}

// Calls `each` with every subkey of `path`, opened.
void ForEachSubkey(const UserKeys& user, const std::string& path,
                   const std::function<void(KeyHandle)>& each) {
    WithKey(user, path, [&](KeyHandle list) {
        for (std::uint32_t i = 0; auto name = user.Registry.EnumSubKey(list, i); ++i) {
            WithKey(user, path + "\\" + *name, each);
        }
    });
}

void AddAccounts(const UserKeys& user, const std::string& path, IdentitySummary& summary) {
    Reg_access& registry = user.Registry;
    ForEachSubkey(user, path, [&](KeyHandle key) {
        IdentitySummary::Account account;
        account.Name = Text(registry, key, "Account Name");
        for (const ServerKind& kind : kServers) {
            const std::string prefix = std::string(kind.Name) + " ";
            const std::string name = Text(registry, key, prefix + "Server");
            if (!name.empty()) {
                account.Servers += (account.Servers.empty() ? "" : ", ") + prefix + name;
                IdentitySummary::Server server;
                server.Kind = kind.Name;
                server.Host = name;
                server.Secure = Number(registry, key, prefix + "Secure Connection") != 0;
                server.Port = Number(registry, key, prefix + "Port");
                if (server.Port == 0) {
                    server.Port = server.Secure ? kind.SecurePort : kind.Port;
                }
                server.UserName = Text(registry, key, prefix + "User Name");
                server.PasswordStored = Present(registry, key, prefix + "Password2");
                server.PasswordEachTime =
                    Number(registry, key, prefix + "Prompt for Password") != 0;
                server.SendingAuthenticates =
                    server.Kind == "SMTP" &&
                    Number(registry, key, "SMTP Use Sicily") != kSmtpNoAuthentication;
                account.ServerList.push_back(std::move(server));
            }
            if (account.UserName.empty()) {
                account.UserName = Text(registry, key, prefix + "User Name");
            }
            if (account.Address.empty()) {
                account.Address = Text(registry, key, prefix + "Email Address");
            }
            if (account.DisplayName.empty()) {
                account.DisplayName = Text(registry, key, prefix + "Display Name");
            }
            if (account.ReplyTo.empty()) {
                account.ReplyTo = Text(registry, key, prefix + "Reply To Email Address");
            }
        }
        if (!account.Servers.empty()) {
            summary.Accounts.push_back(std::move(account));
        }
    });
}

} // namespace

IdentitySummary SummarizeIdentity(Reg_access& registry, const std::string& identity,
                                  const std::string& root, const std::string& prefix) {
    const UserKeys user{registry, root, prefix};
    IdentitySummary summary;
    const std::string oe = OutlookExpressKeyOf("", identity);
    AddAccounts(user, std::string(kAccountsKey), summary);
    AddAccounts(user, IdentityAccountsKeyOf("", identity), summary);
    ForEachSubkey(user, oe + "\\Signatures", [&](KeyHandle key) {
        const std::string text = Text(registry, key, "text");
        summary.Signatures.push_back(
            {Text(registry, key, "name"), text.substr(0, text.find_first_of("\r\n")), text});
    });
    const auto names = [&](const std::string& path, const char* value) {
        std::vector<std::string> found;
        ForEachSubkey(user, path,
                      [&](KeyHandle key) { found.push_back(Text(registry, key, value)); });
        return found;
    };
    summary.MailRuleNames = names(oe + "\\Rules\\Mail", "Name");
    summary.NewsRuleNames = names(oe + "\\Rules\\News", "Name");
    summary.BlockedMailSenders = names(oe + "\\Block Senders\\Mail\\Criteria", "Sender");
    summary.BlockedNewsSenders = names(oe + "\\Block Senders\\News\\Criteria", "Sender");
    summary.MailRules = static_cast<int>(summary.MailRuleNames.size());
    summary.NewsRules = static_cast<int>(summary.NewsRuleNames.size());
    summary.BlockedMail = static_cast<int>(summary.BlockedMailSenders.size());
    summary.BlockedNews = static_cast<int>(summary.BlockedNewsSenders.size());
    return summary;
}

} // namespace quillon
