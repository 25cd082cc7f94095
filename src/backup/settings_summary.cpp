// The settings told for a user who sets up another mail client by hand or checks what its
// import took: written once, in the order such a client asks for them.
#include "backup/identity_summary.h"
#include "files/text_lines.h"
#include "text/native_text.h"

namespace quillon {
namespace {

// What the mail client's kinds of server are called in today's clients' settings.
std::string KindShown(const std::string& kind) {
    if (kind == "POP3") {
        return Ansi("Réception (POP3)");
    }
    if (kind == "IMAP") {
        return Ansi("Réception (IMAP)");
    }
    if (kind == "HTTPMail") {
        return Ansi("Réception (HTTP, Hotmail : ce service n'existe plus)");
    }
    if (kind == "SMTP") {
        return Ansi("Envoi (SMTP)");
    }
    return Ansi("Forums (NNTP)");
}

class Lines {
  public:
    void Add(const std::string& ansi) {
        text_ += ansi;
        text_ += LineEnd;
    }
    void Add(const char* utf8) { Add(Ansi(utf8)); }
    // "  label : value", when there is a value.
    void Field(const char* label, const std::string& value) {
        if (!value.empty()) {
            Add(Ansi("  ") + Ansi(label) + " : " + value);
        }
    }
    std::string Take() { return std::move(text_); }

  private:
    std::string text_;
};

void AddServer(Lines& lines, const IdentitySummary::Server& server) {
    std::string line = Ansi("  ") + KindShown(server.Kind) + " : " + server.Host;
    if (server.Port != 0) {
        line += Ansi(", port ") + std::to_string(server.Port);
    }
    line += server.Secure ? Ansi(", SSL/TLS") : Ansi(", sans chiffrement");
    lines.Add(line);
    if (!server.UserName.empty()) {
        lines.Add(Ansi("    nom d'utilisateur : ") + server.UserName);
    }
    if (server.SendingAuthenticates) {
        lines.Add("    le serveur d'envoi demande un nom et un mot de passe");
    }
    if (server.PasswordStored) {
        lines.Add("    mot de passe enregistré dans Outlook Express : il n'est pas emporté, "
                  "tapez-le une fois dans le nouveau client");
    } else if (server.PasswordEachTime) {
        lines.Add("    mot de passe demandé à chaque connexion");
    }
}

void AddList(Lines& lines, const char* title, const std::vector<std::string>& items) {
    if (items.empty()) {
        return;
    }
    lines.Add("");
    lines.Add(title);
    for (const std::string& item : items) {
        lines.Add(Ansi("  ") + item);
    }
}

} // namespace

std::string SettingsSummaryText(const IdentitySummary& summary) {
    Lines lines;
    lines.Add("Paramètres d'Outlook Express, pour les reporter dans un autre client de messagerie");
    lines.Add("(Thunderbird, Outlook, Courrier de Windows...). Aucun mot de passe n'est emporté.");
    for (const IdentitySummary::Account& account : summary.Accounts) {
        lines.Add("");
        lines.Add(Ansi("Compte « ") + account.Name + Ansi(" »"));
        lines.Field("nom affiché", account.DisplayName);
        lines.Field("adresse électronique", account.Address);
        lines.Field("adresse de réponse", account.ReplyTo);
        for (const IdentitySummary::Server& server : account.ServerList) {
            AddServer(lines, server);
        }
    }
    if (summary.Accounts.empty()) {
        lines.Add("");
        lines.Add("Aucun compte de courrier ou de forums.");
    }
    for (const IdentitySummary::Signature& signature : summary.Signatures) {
        lines.Add("");
        lines.Add(Ansi("Signature « ") + signature.Name + Ansi(" » :"));
        for (const std::string& line : SplitLines(signature.Text)) {
            lines.Add(Ansi("  ") + line);
        }
    }
    AddList(lines, "Expéditeurs bloqués (courrier) :", summary.BlockedMailSenders);
    AddList(lines, "Expéditeurs bloqués (forums) :", summary.BlockedNewsSenders);
    std::vector<std::string> rules = summary.MailRuleNames;
    rules.insert(rules.end(), summary.NewsRuleNames.begin(), summary.NewsRuleNames.end());
    AddList(lines,
            "Règles de message, que les autres clients ne lisent pas : à recréer à la main "
            "(Thunderbird : Outils, Filtres de messages) :",
            rules);
    return lines.Take();
}

} // namespace quillon
