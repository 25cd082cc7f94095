#include "mail/thunderbird_prefs.h"

#include <map>
#include <set>

namespace quillon {
namespace {

// Thunderbird's values of a server's connection security and of its way to log in.
constexpr int kPlainConnection = 0, kSslConnection = 3;
constexpr int kNoLogin = 1, kPasswordLogin = 3;
// A filter's kinds: run on new mail, and by hand.
constexpr int kFilterOnNewMailAndByHand = 0x01 | 0x10;
constexpr int kFilterFileVersion = 9;

// Quotes and backslashes escaped by a backslash, line ends as "\n", as both files read them.
std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted.append(Escaped(text)).append("\"");
    return quoted;
}

class Prefs {
  public:
    void Text(const std::string& name, std::string_view value) {
        text_ += "user_pref(" + Quoted(name) + ", " + Quoted(value) + ");\n";
    }
    void Number(const std::string& name, std::uint64_t value) {
        text_ += "user_pref(" + Quoted(name) + ", " + std::to_string(value) + ");\n";
    }
    void Flag(const std::string& name, bool value) {
        text_ += "user_pref(" + Quoted(name) + ", " + (value ? "true" : "false") + ");\n";
    }
    const std::string& Done() const { return text_; }

  private:
    std::string text_ = "// Thunderbird's preferences, as Quillon wrote them for the settings\n"
                        "// moved from Outlook Express.\n";
};

std::string TypeOf(ProfileServer::Protocol protocol) {
    switch (protocol) {
    case ProfileServer::Protocol::Pop3:
        return "pop3";
    case ProfileServer::Protocol::Imap:
        return "imap";
    case ProfileServer::Protocol::News:
        return "nntp";
    case ProfileServer::Protocol::Smtp:
        return "smtp";
    }
    return "none";
}

std::string RootOf(ProfileServer::Protocol protocol) {
    return protocol == ProfileServer::Protocol::Imap   ? "ImapMail/"
           : protocol == ProfileServer::Protocol::News ? "News/"
                                                       : "Mail/";
}

// A folder name made of a host name: what the systems refuse in a name becomes "_".
std::string FolderName(const std::string& host) {
    std::string name;
    for (const char c : host) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        name += safe ? c : '_';
    }
    return name.empty() || name.front() == '.' ? "_" + name : name;
}

} // namespace

std::vector<std::string> ServerFolders(const ProfileSettings& settings) {
    std::vector<std::string> folders;
    std::set<std::string> taken;
    for (const ProfileAccount& account : settings.Accounts) {
        const std::string base = RootOf(account.Incoming.Kind) + FolderName(account.Incoming.Host);
        std::string folder = base;
        for (int n = 2; !taken.insert(folder).second; ++n) {
            folder = base + "-" + std::to_string(n);
        }
        folders.push_back(folder);
    }
    return folders;
}

std::string ThunderbirdPrefs(const ProfileSettings& settings) {
    Prefs prefs;
    std::string accounts, smtpServers;
    std::string defaultAccount;
    std::map<std::string, std::string> smtpByServer; // host, port, user -> its key
    const std::vector<std::string> folders = ServerFolders(settings);
    for (std::size_t i = 0; i < settings.Accounts.size(); ++i) {
        const ProfileAccount& account = settings.Accounts[i];
        const std::string number = std::to_string(i + 1);
        const std::string key = "account" + number, server = "server" + number,
                          identity = "id" + number;
        const std::string at = "mail.server." + server + ".";
        const ProfileServer& incoming = account.Incoming;
        prefs.Text("mail.account." + key + ".server", server);
        prefs.Text("mail.account." + key + ".identities", identity);
        prefs.Text(at + "type", TypeOf(incoming.Kind));
        prefs.Text(at + "hostname", incoming.Host);
        prefs.Text(at + "realhostname", incoming.Host);
        prefs.Number(at + "port", incoming.Port);
        prefs.Number(at + "socketType", incoming.Secure ? kSslConnection : kPlainConnection);
        prefs.Number(at + "authMethod", kPasswordLogin);
        prefs.Text(at + "userName", incoming.UserName);
        prefs.Text(at + "realuserName", incoming.UserName);
        prefs.Text(at + "name", account.Name);
        prefs.Text(at + "directory-rel", "[ProfD]" + folders[i]);
        const std::string id = "mail.identity." + identity + ".";
        prefs.Text(id + "fullName", account.DisplayName);
        prefs.Text(id + "useremail", account.Address);
        prefs.Text(id + "reply_to", account.ReplyTo);
        prefs.Flag(id + "valid", true);
        if (!settings.Signature.empty()) {
            prefs.Text(id + "htmlSigText", settings.Signature);
            prefs.Flag(id + "htmlSigFormat", false);
        }
        if (account.Outgoing) {
            const ProfileServer& out = *account.Outgoing;
            const std::string same =
                out.Host + '\n' + std::to_string(out.Port) + '\n' + out.UserName;
            auto [found, added] =
                smtpByServer.emplace(same, "smtp" + std::to_string(smtpByServer.size() + 1));
            if (added) {
                const std::string smtp = "mail.smtpserver." + found->second + ".";
                prefs.Text(smtp + "type", TypeOf(out.Kind));
                prefs.Text(smtp + "hostname", out.Host);
                prefs.Number(smtp + "port", out.Port);
                prefs.Number(smtp + "try_ssl", out.Secure ? kSslConnection : kPlainConnection);
                prefs.Number(smtp + "authMethod", out.Authenticates ? kPasswordLogin : kNoLogin);
                prefs.Text(smtp + "username", out.Authenticates ? out.UserName : "");
                prefs.Text(smtp + "description", account.Name);
                smtpServers += (smtpServers.empty() ? "" : ",") + found->second;
            }
            prefs.Text(id + "smtpServer", found->second);
        }
        accounts += key + ",";
        if (defaultAccount.empty() && incoming.Kind != ProfileServer::Protocol::News) {
            defaultAccount = key;
        }
    }
    const std::string local = "localFolders";
    prefs.Text("mail.account.account" + local + ".server", "server" + local);
    prefs.Text("mail.server.server" + local + ".type", "none");
    prefs.Text("mail.server.server" + local + ".hostname", kLocalFoldersFolder);
    prefs.Text("mail.server.server" + local + ".userName", "nobody");
    prefs.Text("mail.server.server" + local + ".name", kLocalFoldersFolder);
    prefs.Text("mail.server.server" + local + ".directory-rel",
               std::string("[ProfD]Mail/") + kLocalFoldersFolder);
    prefs.Text("mail.accountmanager.localfoldersserver", "server" + local);
    prefs.Text("mail.accountmanager.accounts", accounts + "account" + local);
    prefs.Text("mail.accountmanager.defaultaccount",
               defaultAccount.empty() ? "account" + local : defaultAccount);
    if (!smtpServers.empty()) {
        prefs.Text("mail.smtpservers", smtpServers);
        prefs.Text("mail.smtp.defaultserver", smtpServers.substr(0, smtpServers.find(',')));
    }
    return prefs.Done();
}

std::string BlockedSendersFilter(const std::vector<std::string>& senders) {
    std::string condition;
    for (const std::string& sender : senders) {
        // A value holding what separates the terms is quoted, its quotes escaped.
        const bool separates = sender.find_first_of("(),\" ") != std::string::npos;
        condition.append(condition.empty() ? "" : " ")
            .append("OR (from,contains,")
            .append(separates ? Quoted(sender) : sender)
            .append(")");
    }
    return "version=\"" + std::to_string(kFilterFileVersion) + "\"\nlogging=\"no\"\n" +
           "name=\"Exp\xC3\xA9"
           "diteurs bloqu\xC3\xA9s (Outlook Express)\"\nenabled=\"yes\"\n" +
           "type=\"" + std::to_string(kFilterOnNewMailAndByHand) + "\"\naction=\"Delete\"\n" +
           "condition=" + Quoted(condition) + "\n";
}

} // namespace quillon
