#include "files/interruption.h"
#include "files/output_file.h"
#include "files/temp_file.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {
namespace {

namespace fs = std::filesystem;

class TempFileTest : public ::testing::Test {
  protected:
    static std::string Separator() { return std::string(1, fs::path::preferred_separator); }
    std::string Name(int number) const {
        return folder.File("~~TempQuillon" + std::to_string(number) + ".tmp");
    }

    test::ScratchFolder folder;
    test::ScopedTempFolder tempFolder{folder.Path().string() + Separator()};
};

TEST_F(TempFileTest, TakesTheFirstGapInTheTemporaryFolder) {
    EXPECT_EQ(Temp_file::TempFolder(), folder.Path().string() + Separator());
    for (int i = 1; i < 5; ++i) {
        test::WriteBytes(Name(i), "x");
    }
    FileError error;
    const auto first = TemporaryFile::Create(error);
    const auto second = TemporaryFile::Create(error);
    ASSERT_TRUE(first && second) << error.Reason();
    EXPECT_EQ(first->Path(), Name(0)); // the first gap wins
    EXPECT_EQ(second->Path(), Name(5));
}

TEST_F(TempFileTest, CreatesExclusivelyAndDeletesWhenDone) {
    fs::create_directory(Name(0)); // taken
#ifndef _WIN32
    fs::create_symlink(folder.File("target"), Name(1)); // never written through
#endif
    std::string path;
    {
        FileError error;
        auto file = TemporaryFile::Create(error);
        ASSERT_TRUE(file.has_value()) << error.Reason();
        path = file->Path();
        EXPECT_TRUE(fs::is_regular_file(path));
#ifndef _WIN32
        EXPECT_EQ(path, Name(2));
        EXPECT_FALSE(fs::exists(folder.File("target")));
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
#else
        EXPECT_EQ(path, Name(1));
#endif
    }
    EXPECT_FALSE(fs::exists(path));
}

// Folders inside folders, each holding more files than one read of a folder gives.
void MakeTree(const fs::path& tree) {
    for (int i = 0; i < 900; ++i) {
        const fs::path inner = tree / ("folder " + std::to_string(i % 3)) / "inner";
        fs::create_directories(inner);
        test::WriteBytes((inner / ("message " + std::to_string(i) + ".eml")).string(), "x");
    }
}

// A tree of written files, given up, goes whole.
TEST_F(TempFileTest, ATreeGivenUpIsRemovedWhole) {
    const fs::path tree = folder.Path() / "tree";
    MakeTree(tree);
    interruption::RemoveTree(tree.string());
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
    EXPECT_TRUE(fs::exists(folder.Path()));
}

#ifndef _WIN32
// Ctrl+C in the middle of a command: the program ends as interrupted, without its files.
TEST_F(TempFileTest, AnInterruptionDeletesTheFilesThatExist) {
    EXPECT_EXIT(
        {
            interruption::UndoOnInterrupt();
            FileError error;
            auto kept = TemporaryFile::Create(error);
            auto renamed = TemporaryFile::CreateBeside(folder.File("result.reg"), error);
            renamed->RenameTo(folder.File("result.reg"), error);
            std::raise(SIGINT);
        },
        ::testing::KilledBySignal(SIGINT), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 1);
    EXPECT_TRUE(fs::exists(folder.File("result.reg")));
}

// Ctrl+C while a tree of files is written: the tree goes whole, its links with it, and what
// they lead to stays.
TEST_F(TempFileTest, AnInterruptionRemovesATreeButNotWhatItsLinksLeadTo) {
    const fs::path outside = folder.Path() / "outside";
    const fs::path tree = folder.Path() / "tree";
    fs::create_directories(outside / "kept");
    test::WriteBytes((outside / "kept" / "file").string(), "kept");
    EXPECT_EXIT(
        {
            interruption::UndoOnInterrupt();
            interruption::TrackTree(tree.string());
            MakeTree(tree);
            fs::create_directory_symlink(outside / "kept", tree / "folder 0" / "link");
            fs::create_symlink(outside / "kept" / "file", tree / "file link");
            std::raise(SIGINT);
        },
        ::testing::KilledBySignal(SIGINT), "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
    EXPECT_EQ(test::ReadBytes((outside / "kept" / "file").string()), "kept");
}

// Ctrl+C in the middle of an append: the user's file keeps what it had, and only that.
TEST_F(TempFileTest, AnInterruptedAppendIsTakenBack) {
    const std::string target = folder.File("saved.reg");
    test::WriteBytes(target, "REGEDIT4\r\n\r\n");
    EXPECT_EXIT(
        {
            interruption::UndoOnInterrupt();
            FileError error;
            OutputFile out;
            out.Open(target, OutputFile::Mode::Append, error);
            out.Write(std::string(3 << 20, 'x')); // more than its buffer: in the file already
            std::raise(SIGTERM);
        },
        ::testing::KilledBySignal(SIGTERM), "");
    EXPECT_EQ(test::ReadBytes(target), "REGEDIT4\r\n\r\n");
}

// An append that fails half-way (here past the largest file the program may write) takes its
// bytes back.
bool AppendPastTheLargestFile(const std::string& target) {
    std::signal(SIGXFSZ, SIG_IGN);
    constexpr rlim_t kLargestFile = 1 << 20;
    const rlimit limit{kLargestFile, kLargestFile};
    setrlimit(RLIMIT_FSIZE, &limit);
    FileError error;
    OutputFile out;
    out.Open(target, OutputFile::Mode::Append, error);
    out.Write(std::string(3 << 20, 'x'));
    return !out.Close(error) && error.Errno == EFBIG;
}

TEST_F(TempFileTest, AFailedAppendLeavesTheFileAsItWas) {
    const std::string target = folder.File("saved.reg");
    test::WriteBytes(target, "REGEDIT4\r\n\r\n");
    EXPECT_EXIT(std::exit(AppendPastTheLargestFile(target) ? 0 : 1), ::testing::ExitedWithCode(0),
                "");
    EXPECT_EQ(test::ReadBytes(target), "REGEDIT4\r\n\r\n");
}

// The file put in place keeps the mode of the one it replaces, or takes the mode the user's
// umask gives a new file: never the temporary file's own owner-only mode.
TEST_F(TempFileTest, APutInPlaceFileHasTheModeWritingInPlaceWouldGive) {
    const auto putInPlace = [](const std::string& target) {
        FileError error;
        auto file = TemporaryFile::CreateBeside(target, error);
        EXPECT_TRUE(file && file->RenameTo(target, error)) << error.Reason();
        struct stat info {};
        EXPECT_EQ(stat(target.c_str(), &info), 0);
        return info.st_mode & 07777;
    };
    const std::string shared = folder.File("shared.reg");
    test::WriteBytes(shared, "old");
    chmod(shared.c_str(), 0644);
    EXPECT_EQ(putInPlace(shared), 0644u);
    const mode_t before = umask(027);
    EXPECT_EQ(putInPlace(folder.File("new.reg")), 0640u);
    umask(before);
}
#endif

// What the program writes goes into the file it made, even when another file has taken its
// name since.
TEST_F(TempFileTest, WritingGoesIntoTheFileMadeNotThroughItsName) {
    FileError error;
    auto file = TemporaryFile::Create(error);
    ASSERT_TRUE(file.has_value()) << error.Reason();
    fs::rename(file->Path(), folder.File("moved"));
    test::WriteBytes(file->Path(), "another file");
    OutputFile out;
    ASSERT_TRUE(out.Open(*file, error)) << error.Reason();
    out.Write("ours");
    ASSERT_TRUE(out.Close(error)) << error.Reason();
    EXPECT_EQ(test::ReadBytes(folder.File("moved")), "ours");
    EXPECT_EQ(test::ReadBytes(file->Path()), "another file");
}

TEST_F(TempFileTest, RenamingIntoPlaceReplacesWhatWritingInPlaceWould) {
    const std::string target = folder.File("result.reg");
    test::WriteBytes(target, "old");
    FileError error;
    const auto replace = [&](const std::string& chosen, std::string_view bytes) {
        auto file = TemporaryFile::CreateBeside(chosen, error);
        EXPECT_TRUE(file.has_value());
        test::WriteBytes(file->Path(), bytes);
        return file->RenameTo(chosen, error);
    };
    ASSERT_TRUE(replace(target, "new"));
    EXPECT_EQ(test::ReadBytes(target), "new");
    // A read-only file is left as it is, and nothing beside it.
    fs::permissions(target, fs::perms::owner_read);
    EXPECT_FALSE(replace(target, "refused"));
    EXPECT_EQ(error.Errno, EACCES);
    EXPECT_EQ(error.Path, target);
    EXPECT_EQ(test::ReadBytes(target), "new");
    fs::permissions(target, fs::perms::owner_all);
#ifndef _WIN32
    // A link is written through.
    fs::create_symlink(target, folder.File("link.reg"));
    ASSERT_TRUE(replace(folder.File("link.reg"), "through the link"));
    EXPECT_TRUE(fs::is_symlink(folder.File("link.reg")));
    EXPECT_EQ(test::ReadBytes(target), "through the link");
    fs::remove(folder.File("link.reg"));
    // So is a link to a file that does not exist yet, through a relative link to it.
    fs::create_directory(folder.File("sub"));
    fs::create_symlink("new.reg", folder.File("sub/dangling.reg"));
    fs::create_symlink("sub/dangling.reg", folder.File("link.reg"));
    ASSERT_TRUE(replace(folder.File("link.reg"), "made through the links"));
    EXPECT_TRUE(fs::is_symlink(folder.File("link.reg")));
    EXPECT_EQ(test::ReadBytes(folder.File("sub/new.reg")), "made through the links");
    fs::remove_all(folder.File("sub"));
    fs::remove(folder.File("link.reg"));

    // A pipe (as /dev/stdout may be) is written into, never replaced.
    ASSERT_EQ(mkfifo(folder.File("pipe").c_str(), 0600), 0);
    const int reader = open(folder.File("pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_TRUE(replace(folder.File("pipe"), "through the pipe"));
    char received[64] = {};
    EXPECT_EQ(read(reader, received, sizeof received), 16);
    EXPECT_STREQ(received, "through the pipe");
    close(reader);
    EXPECT_TRUE(fs::is_fifo(folder.File("pipe")));
    fs::remove(folder.File("pipe"));
#else
    // NUL takes what is written into it, as /dev/null does, and no file is made for it.
    ASSERT_TRUE(replace("NUL", "into nothing")) << error.Reason();
#endif
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 1);

    EXPECT_FALSE(TemporaryFile::CreateBeside(folder.File("missing/x.reg"), error).has_value());
    EXPECT_EQ(error.Errno, ENOENT);
}

} // namespace
} // namespace quillon
