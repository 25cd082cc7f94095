// The mail copied out of this system's own disks (the live registry's case, on Windows), a
// store the mail client holds open, and what the copy recognises in each file.
#include "mail/mail_copy.h"
#include "test_files.h"
#include "test_support.h"
#include "text/native_text.h"

#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {
namespace {

namespace fs = std::filesystem;

// A .dbx header of that kind, counting `messages`, with its tree's root node at `root`.
std::string DbxFile(std::uint32_t kind, std::uint32_t messages, std::uint32_t root,
                    std::size_t size) {
    std::string bytes(size, '\0');
    const auto put = [&bytes](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4 && at + i < bytes.size(); ++i) {
            bytes[at + i] = static_cast<char>(value >> (8 * i));
        }
    };
    put(0, 0xFE12ADCF);
    put(4, kind);
    put(0xC4, messages);
    put(0xE4, root);
    return bytes;
}

TEST(MailFileReaderTest, TellsEachFileOfTheStoreAndWhatAMessageFolderCannotHold) {
    constexpr std::uint32_t kMessages = 0x6F74FDC5, kFolders = 0x6F74FDC6, kPop3 = 0x6F74FDC7,
                            kOffline = 0x26FE9D30;
    constexpr std::uint32_t kRoot = 0x2AD4;
    std::string rootWithOneMessage = DbxFile(kMessages, 1, kRoot, 0x4000);
    rootWithOneMessage[kRoot + 17] = 1;    // one entry
    rootWithOneMessage[kRoot + 24] = 0x30; // its record at 0x3030: inside
    rootWithOneMessage[kRoot + 25] = 0x30;
    std::string recordOutside = rootWithOneMessage;
    recordOutside[kRoot + 26] = 0x01; // at 0x13030: past the end
    const std::string wab4("\x9C\xCB\xCB\x8D\x13\x75\xD2\x11\x91\x58\x00\xC0\x4F\x79\x56\xA4", 16);
    struct Case {
        const char* Name;
        std::string Bytes;
        MailFileKind Kind;
        std::uint32_t Messages;
        bool Damaged;
    };
    const Case cases[] = {
        {"folders list", DbxFile(kFolders, 0, 0, 0x24BC), MailFileKind::FoldersList, 0, false},
        {"POP3 list", DbxFile(kPop3, 0, 0, 0x24BC), MailFileKind::Pop3List, 0, false},
        {"offline list", DbxFile(kOffline, 0, 0, 0x24BC), MailFileKind::OfflineList, 0, false},
        {"empty folder", DbxFile(kMessages, 0, 0, 0x24BC), MailFileKind::MessageFolder, 0, false},
        {"one message", rootWithOneMessage, MailFileKind::MessageFolder, 1, false},
        {"record past the end", recordOutside, MailFileKind::MessageFolder, 1, true},
        {"tree past the end", DbxFile(kMessages, 1, 0x3F00, 0x4000), MailFileKind::MessageFolder, 1,
         true},
        {"more messages than bytes", DbxFile(kMessages, 1000, kRoot, 0x4000),
         MailFileKind::MessageFolder, 1000, true},
        {"header cut short", DbxFile(kMessages, 0, 0, 0x100), MailFileKind::MessageFolder, 0, true},
        {"another .dbx", DbxFile(0x12345678, 0, 0, 0x24BC), MailFileKind::Unknown, 0, false},
        {"address book", wab4 + std::string(100, '\0'), MailFileKind::AddressBook, 0, false},
        {"text", "Bonjour", MailFileKind::Unknown, 0, false},
    };
    for (const Case& c : cases) {
        MailFileReader reader;
        reader.Add(c.Bytes);
        const MailFileHeader header = reader.Result();
        EXPECT_EQ(header.Kind, c.Kind) << c.Name;
        EXPECT_EQ(header.Messages, c.Messages) << c.Name;
        EXPECT_EQ(header.Damaged, c.Damaged) << c.Name;
    }
}

// The user's Cancel, asked at each piece: the copy stops, and nothing is left of it.
TEST(MailCopyTest, AStoppedCopyLeavesNothing) {
    test::ScratchFolder folder;
    fs::create_directories(folder.Path() / "store");
    test::WriteBytes(folder.Path() / "store" / "Folders.dbx", DbxFile(0x6F74FDC6, 0, 0, 0x24BC));
    test::WriteBytes(folder.Path() / "store" / "Inbox.dbx", DbxFile(0x6F74FDC5, 0, 0, 0x24BC));
    MailPaths paths;
#ifdef _WIN32
    const InstallationPaths* installation = nullptr;
    paths.StoreFolder = (folder.Path() / "store").string();
#else
    InstallationPaths drives;
    drives.AddDrive('C', folder.Path().string());
    const InstallationPaths* installation = &drives;
    paths.StoreFolder = "C:\\STORE";
#endif
    const std::string into = folder.File("Courrier");
    int pieces = 0;
    const MailReport report =
        CopyMailOut(installation, paths, into, [&](std::uint64_t, std::uint64_t) {
            return ++pieces == 2; // the second file's first piece
        });
    EXPECT_TRUE(report.Stopped);
    EXPECT_EQ(report.Error, Ansi("Copie du courrier annulée : rien n'a été copié."));
    EXPECT_FALSE(fs::exists(into));
}

#ifndef _WIN32
// A copy that does not hold what its source held (here another writer adds to it while it is
// written, as a failing disk might garble it) is refused, and nothing is left.
TEST(MailCopyTest, ACopyThatDiffersFromItsSourceIsRefused) {
    test::ScratchFolder folder;
    fs::create_directories(folder.Path() / "store");
    test::WriteBytes(folder.Path() / "store" / "Inbox.dbx", DbxFile(0x6F74FDC5, 0, 0, 0x24BC));
    InstallationPaths drives;
    drives.AddDrive('C', folder.Path().string());
    MailPaths paths;
    paths.StoreFolder = "C:\\store";
    const std::string into = folder.File("Courrier");
    const MailReport report = CopyMailOut(&drives, paths, into, [&](std::uint64_t, std::uint64_t) {
        for (const auto& entry : fs::directory_iterator(into)) {
            std::fstream copy(entry.path(), std::ios::in | std::ios::out | std::ios::binary);
            copy.seekp(0x10000); // past what the copy will hold
            copy << "garbled";
        }
        return false;
    });
    EXPECT_EQ(report.Error, Ansi("La copie de « Inbox.dbx » ne correspond pas à l'original "
                                 "(taille ou contenu) : rien n'a été copié."));
    EXPECT_FALSE(fs::exists(into));
}
#endif

#ifdef _WIN32
class LiveMailTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(store);
        test::WriteBytes((store / "Folders.dbx").string(), DbxFile(0x6F74FDC6, 0, 0, 0x24BC));
        test::WriteBytes((store / "Inbox.dbx").string(), DbxFile(0x6F74FDC5, 0, 0, 0x24BC));
        test::WriteBytes(
            book.string(),
            std::string("\x81\x32\x84\xC1\x85\x05\xD0\x11\xB2\x90\x00\xAA\x00\x3C\xF6\x76", 16));
        paths.StoreFolder = store.string();
        paths.AddressBook = book.string();
    }

    test::ScratchFolder folder;
    fs::path store = folder.Path() / "Identities" / "Outlook Express";
    fs::path book = folder.Path() / "Luc.wab";
    MailPaths paths;
};

TEST_F(LiveMailTest, CopiesTheStoreOfThisSystemFoundWithoutRegardToCase) {
    MailPaths upper = paths;
    CharUpperA(upper.StoreFolder.data());
    const std::string into = folder.File("Courrier");
    const MailReport report = CopyMailOut(nullptr, upper, into);
    ASSERT_TRUE(report.Done()) << report.Error;
    EXPECT_EQ(report.StoreFiles.size(), 2u);
    ASSERT_TRUE(report.AddressBook.has_value());
    EXPECT_EQ(report.AddressBook->Header.Kind, MailFileKind::AddressBook);
    EXPECT_EQ(test::ReadBytes(into + "\\Inbox.dbx"),
              test::ReadBytes((store / "Inbox.dbx").string()));
    EXPECT_TRUE(fs::exists(into + "\\Carnet d'adresses\\Luc.wab"));
}

// The mail client keeps its files open for writing while it runs: nothing is copied then, and
// the user is told to close it.
TEST_F(LiveMailTest, TakesNothingFromAStoreTheMailClientHoldsOpen) {
    const HANDLE held = CreateFileA(
        (store / "Inbox.dbx").string().c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string into = folder.File("Courrier");
    const MailReport report = CopyMailOut(nullptr, paths, into);
    CloseHandle(held);
    EXPECT_FALSE(report.Done());
    EXPECT_NE(report.Error.find("fermez Outlook Express"), std::string::npos) << report.Error;
    EXPECT_FALSE(fs::exists(into));
}
#endif

} // namespace
} // namespace quillon
