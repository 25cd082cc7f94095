// The pieces of a Thunderbird profile: the preferences of the accounts, the blocked senders'
// filter, and the zip's own sums.
#include "files/zip_writer.h"
#include "mail/thunderbird_prefs.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

bool Holds(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

ProfileAccount Account(std::string host, ProfileServer::Protocol protocol,
                       std::optional<ProfileServer> outgoing = std::nullopt) {
    ProfileAccount account;
    account.Name = host;
    account.Incoming = {protocol, host, 995, true, "luc", true};
    account.Outgoing = std::move(outgoing);
    account.Address = "luc@exemple.fr";
    account.DisplayName = "Luc \"le relieur\"";
    return account;
}

TEST(ThunderbirdPrefs, EachAccountItsServerAndIdentity) {
    const ProfileServer smtp{
        ProfileServer::Protocol::Smtp, "smtp.exemple.fr", 465, true, "luc", true};
    ProfileSettings settings;
    settings.Accounts = {Account("pop.exemple.fr", ProfileServer::Protocol::Pop3, smtp),
                         Account("pop.exemple.fr", ProfileServer::Protocol::Pop3, smtp),
                         Account("news.exemple.fr", ProfileServer::Protocol::News)};
    settings.Signature = "Luc\r\nRelieur";
    const std::string prefs = ThunderbirdPrefs(settings);
    EXPECT_TRUE(Holds(prefs, R"(user_pref("mail.server.server1.socketType", 3);)"));
    EXPECT_TRUE(Holds(
        prefs,
        R"(user_pref("mail.server.server2.directory-rel", "[ProfD]Mail/pop.exemple.fr-2");)"));
    EXPECT_TRUE(
        Holds(prefs,
              R"(user_pref("mail.server.server3.directory-rel", "[ProfD]News/news.exemple.fr");)"));
    EXPECT_TRUE(Holds(prefs, R"(user_pref("mail.identity.id1.fullName", "Luc \"le relieur\"");)"));
    EXPECT_TRUE(Holds(prefs, R"(user_pref("mail.identity.id3.htmlSigText", "Luc\nRelieur");)"));
    // One outgoing server for the two accounts that share it.
    EXPECT_TRUE(Holds(prefs, R"(user_pref("mail.identity.id2.smtpServer", "smtp1");)"));
    EXPECT_TRUE(Holds(prefs, R"(user_pref("mail.smtpservers", "smtp1");)"));
    EXPECT_TRUE(Holds(prefs, R"(user_pref("mail.smtpserver.smtp1.try_ssl", 3);)"));
    EXPECT_TRUE(Holds(
        prefs,
        R"(user_pref("mail.accountmanager.accounts", "account1,account2,account3,accountlocalFolders");)"));
    EXPECT_TRUE(Holds(prefs, R"(user_pref("mail.accountmanager.defaultaccount", "account1");)"));
}

TEST(ThunderbirdPrefs, AServerFolderNeverLeavesTheProfile) {
    ProfileSettings settings;
    settings.Accounts = {Account("../../etc", ProfileServer::Protocol::Imap),
                         Account("a/b\\c", ProfileServer::Protocol::Pop3)};
    EXPECT_EQ(ServerFolders(settings),
              (std::vector<std::string>{"ImapMail/_.._.._etc", "Mail/a_b_c"}));
}

TEST(BlockedSendersFilter, QuotesWhatSeparatesTheTerms) {
    const std::string filter = BlockedSendersFilter({"a@b.fr", "Jo (pub), \"x\""});
    EXPECT_TRUE(Holds(filter, R"x(condition="OR (from,contains,a@b.fr) OR (from,contains,\"Jo (pub), \\\"x\\\"\")")x"))
        << filter;
}

TEST(Crc32, IsTheZipSum) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32("56789", Crc32("1234")), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
}

} // namespace
} // namespace quillon
