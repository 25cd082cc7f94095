// The accounts' copy rules and the rewrite of a foreign hive's key names, on files.
#include "backup/backup_files.h"
#include "test_support.h"

namespace quillon {
namespace {

class BackupFilesTest : public ::testing::Test {
  protected:
    test::ScratchFolder folder;
    std::string temporary = folder.File("accounts.tmp");
    std::string output = folder.File("backup.reg");
    FileError error;
};

TEST_F(BackupFilesTest, AccountLinesAreCopiedThenFollowedByFiveSpaces) {
    test::WriteBytes(
        temporary,
        "REGEDIT4\r\n \r\n[HKEY_CURRENT_USER\\A\\Accounts\\1]\r\n\"x\"=\"A\\Accounts\"\r\n");
    ASSERT_TRUE(CopyAccountLines(temporary, output, true, std::nullopt, error));
    EXPECT_EQ(test::ReadBytes(output), "REGEDIT4\r\n \r\n[HKEY_CURRENT_USER\\A\\Accounts\\1]\r\n"
                                       "\"x\"=\"A\\Accounts\"\r\n     \r\n");
    // Generated for the identity: no header, every occurrence rewritten, appended.
    ASSERT_TRUE(CopyAccountLines(temporary, output, false,
                                 AccountsRewrite{"A\\Accounts", "I\\A\\Accounts"}, error));
    EXPECT_EQ(test::ReadBytes(output).substr(72), " \r\n[HKEY_CURRENT_USER\\I\\A\\Accounts\\1]\r\n"
                                                  "\"x\"=\"I\\A\\Accounts\"\r\n     \r\n");
}

TEST_F(BackupFilesTest, NoSpacerAfterALineOfEightSpacesAndOneForNothing) {
    test::WriteBytes(temporary, "[K]\r\n        last\r\n");
    ASSERT_TRUE(CopyAccountLines(temporary, output, true, std::nullopt, error));
    EXPECT_EQ(test::ReadBytes(output), "[K]\r\n        last\r\n");
    test::WriteBytes(temporary, "");
    ASSERT_TRUE(CopyAccountLines(temporary, output, true, std::nullopt, error));
    EXPECT_EQ(test::ReadBytes(output), "     \r\n");
    EXPECT_FALSE(CopyAccountLines(folder.File("none.tmp"), output, true, std::nullopt, error));
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
