#include "backup/identity_summary.h"

#include "registry/mail_client_keys.h"

#include <functional>

namespace quillon {
namespace {

// The servers of a mail or news account; a directory service (LDAP) has none of them.
constexpr const char* kServers[] = {"POP3", "IMAP", "HTTPMail", "SMTP", "NNTP"};

// Runs `use` on the key `path` below HKEY_CURRENT_USER when it opens.
void WithKey(Reg_access& registry, const std::string& path,
             const std::function<void(KeyHandle)>& use) {
    std::int32_t error = 0;
    const KeyHandle key = registry.OpenKey("HKEY_CURRENT_USER", path, KeyRead, error);
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

int CountSubkeys(Reg_access& registry, const std::string& path) {
    int count = 0;
    WithKey(registry, path, [&](KeyHandle key) {
        while (registry.EnumSubKey(key, static_cast<std::uint32_t>(count))) {
            ++count;
        }
    });
    return count;
}

// Calls `each` with every subkey of `path`, opened.
void ForEachSubkey(Reg_access& registry, const std::string& path,
                   const std::function<void(KeyHandle)>& each) {
    WithKey(registry, path, [&](KeyHandle list) {
        for (std::uint32_t i = 0; auto name = registry.EnumSubKey(list, i); ++i) {
            WithKey(registry, path + "\\" + *name, each);
        }
    });
}

void AddAccounts(Reg_access& registry, const std::string& path, IdentitySummary& summary) {
    ForEachSubkey(registry, path, [&](KeyHandle key) {
        IdentitySummary::Account account{Text(registry, key, "Account Name"), {}, {}, {}};
        for (const char* server : kServers) {
            const std::string name = Text(registry, key, std::string(server) + " Server");
            if (!name.empty()) {
                account.Servers +=
                    (account.Servers.empty() ? "" : ", ") + std::string(server) + " " + name;
            }
            if (account.UserName.empty()) {
                account.UserName = Text(registry, key, std::string(server) + " User Name");
            }
            if (account.Address.empty()) {
                account.Address = Text(registry, key, std::string(server) + " Email Address");
            }
        }
        if (!account.Servers.empty()) {
            summary.Accounts.push_back(std::move(account));
        }
    });
}

} // namespace

IdentitySummary SummarizeIdentity(Reg_access& registry, const std::string& identity) {
    IdentitySummary summary;
    const std::string oe = OutlookExpressKeyOf("", identity);
    AddAccounts(registry, std::string(kAccountsKey), summary);
    AddAccounts(registry, IdentityAccountsKeyOf("", identity), summary);
    ForEachSubkey(registry, oe + "\\Signatures", [&](KeyHandle key) {
        const std::string text = Text(registry, key, "text");
        summary.Signatures.push_back(
            {Text(registry, key, "name"), text.substr(0, text.find_first_of("\r\n"))});
    });
    summary.MailRules = CountSubkeys(registry, oe + "\\Rules\\Mail");
    summary.NewsRules = CountSubkeys(registry, oe + "\\Rules\\News");
    summary.BlockedMail = CountSubkeys(registry, oe + "\\Block Senders\\Mail\\Criteria");
    summary.BlockedNews = CountSubkeys(registry, oe + "\\Block Senders\\News\\Criteria");
    return summary;
}

} // namespace quillon
