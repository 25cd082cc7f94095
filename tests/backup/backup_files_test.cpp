// The accounts' copy rules and the rewrite of a foreign hive's key names, on files.
#include "backup/backup_files.h"
#include "test_support.h"

namespace quillon {
namespace {

class BackupFilesTest : public ::testing::Test {
  protected:
    // The backup's bytes after the account lines of `accounts` are copied into it: a new
    // backup, or one whose header is written (`started`) and which holds nothing yet.
    std::string Copied(const std::string& accounts, bool started,
                       const std::optional<AccountsRewrite>& rewrite = std::nullopt) {
        test::WriteBytes(temporary, accounts);
        auto backup = TemporaryFile::CreateBeside(output, error);
        RegFile out;
        EXPECT_TRUE(backup && out.OpenNew(*backup, started, error));
        EXPECT_TRUE(CopyAccountLines(temporary, out, rewrite, error));
        EXPECT_TRUE(out.Close(error));
        return test::ReadBytes(backup->Path());
    }

    test::ScratchFolder folder;
    std::string temporary = folder.File("accounts.tmp");
    std::string output = folder.File("backup.reg");
    FileError error;
};

const std::string kAccounts =
    "REGEDIT4\r\n \r\n[HKEY_CURRENT_USER\\A\\Accounts\\1]\r\n\"x\"=\"A\\Accounts\"\r\n";

TEST_F(BackupFilesTest, AccountLinesAreCopiedThenFollowedByFiveSpaces) {
    EXPECT_EQ(Copied(kAccounts, false), "REGEDIT4\r\n \r\n[HKEY_CURRENT_USER\\A\\Accounts\\1]\r\n"
                                        "\"x\"=\"A\\Accounts\"\r\n     \r\n");
    // Generated for the identity: no second header, every occurrence rewritten.
    EXPECT_EQ(Copied(kAccounts, true, AccountsRewrite{"A\\Accounts", "I\\A\\Accounts"}),
              " \r\n[HKEY_CURRENT_USER\\I\\A\\Accounts\\1]\r\n"
              "\"x\"=\"I\\A\\Accounts\"\r\n     \r\n");
    // Into a backup with no key yet, the generated accounts come after the header.
    EXPECT_EQ(Copied("", false, AccountsRewrite{"A", "B"}), "REGEDIT4\r\n     \r\n");
}

TEST_F(BackupFilesTest, NoSpacerAfterALineOfEightSpacesAndOneForNothing) {
    EXPECT_EQ(Copied("[K]\r\n        last\r\n", true), "[K]\r\n        last\r\n");
    EXPECT_EQ(Copied("", true), "     \r\n");
    RegFile out;
    EXPECT_FALSE(CopyAccountLines(folder.File("none.tmp"), out, std::nullopt, error));
    EXPECT_EQ(error.Path, folder.File("none.tmp"));
}

TEST_F(BackupFilesTest, TheHiveNameIsRewrittenEverywhereInPlace) {
    auto backup = TemporaryFile::CreateBeside(output, error);
    ASSERT_TRUE(backup.has_value()) << error.Reason();
    test::WriteBytes(backup->Path(),
                     "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\AUTRE\\Identities]\r\n"
                     "\"v\"=\"HKEY_LOCAL_MACHINE\\AUTRE\\x HKEY_LOCAL_MACHINE\\AUTRE\\y\"\r\n"
                     "[HKEY_LOCAL_MACHINE\\autre\\Other]");
    std::int32_t lines = 0;
    ASSERT_TRUE(RewriteForCurrentUser(*backup, "AUTRE\\", lines, error));
    EXPECT_EQ(lines, 4);
    EXPECT_EQ(test::ReadBytes(backup->Path()),
              "REGEDIT4\r\n[HKEY_CURRENT_USER\\Identities]\r\n"
              "\"v\"=\"HKEY_CURRENT_USER\\x HKEY_CURRENT_USER\\y\"\r\n"
              "[HKEY_LOCAL_MACHINE\\autre\\Other]\r\n"); // case-sensitive
}

} // namespace
} // namespace quillon
