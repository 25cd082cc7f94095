// Helpers shared by the tests: registries from .reg text, scratch folders, whole files.
#pragma once

#include "export/key_export.h"
#include "files/text_lines.h"
#include "formats/reg_file_reader.h"
#include "stores/memory_store.h"
#include "test_files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>

namespace quillon::test {

// A REGEDIT4 text (lines joined with CR LF) loaded into a fresh memory store.
inline MemoryStore StoreFromReg(std::string_view body) {
    MemoryStore store;
    std::string error;
    const bool ok = ReadRegText("REGEDIT4\r\n" + std::string(body), "test.reg", store, error);
    EXPECT_TRUE(ok) << error;
    return store;
}

// The smallest registry the window starts on: the browser's version (none when empty), the
// current identity and its store folder C:\OE, and the user's group.
inline std::string OeRegistry(std::string_view identity, std::string_view version = "6.0",
                              std::string_view group = "S-1-5-21-11-22-33-513") {
    const std::string id(identity);
    const std::string versionLine =
        version.empty() ? "" : "\"Version\"=\"" + std::string(version) + "\"\r\n";
    return "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer]\r\n" + versionLine +
           "[HKEY_CURRENT_USER\\Identities]\r\n\"Last User ID\"=\"" + id +
           "\"\r\n[HKEY_CURRENT_USER\\Identities\\" + id +
           "\\Software\\Microsoft\\Outlook Express\\5.0]\r\n\"Store "
           "Root\"=hex(2):43,3a,5c,4f,45,00\r\n"
           "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\"
           "GroupMembership]\r\n\"Group0\"=\"" +
           std::string(group) + "\"\r\n";
}

// Lines joined and each ended with CR LF, as the program writes them.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (auto line : lines) {
        text.append(line).append("\r\n");
    }
    return text;
}

// UTF-16 LE bytes of `text`, as the system's regedit writes its files (without a byte-order mark).
inline std::string Utf16Le(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// A key `path` holding every value type and the values that are hardest to carry through a
// text file (quotes, backslashes, CR LF, every accented byte, 64 KiB, no terminator), with
// subkeys twelve levels deep.
inline MemoryStore RichFixture(const std::string& path) {
    using Bytes = std::vector<std::uint8_t>;
    MemoryStore store;
    MemoryKey* key = store.CreateKey(path);
    for (std::uint32_t type = 0; type <= 11; ++type) {
        key->SetValue("type " + std::to_string(type), type,
                      {0x41, 0x5C, 0x22, 0x0D, 0x0A, 0xE9, 0});
        key->SetValue("empty " + std::to_string(type), type, {});
    }
    key->SetValue(std::string(300, 'L') + "\\\"", RegType::String, {'x', 0});
    Bytes big(65536);
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<std::uint8_t>(i * 7);
    }
    key->SetValue("64 KiB", RegType::Binary, big);
    key->SetValue("quotes \"and\" back\\slashes", RegType::String,
                  {'C', ':', '\\', '"', 'q', '"', '\\', 0});
    key->SetValue("signature", RegType::String, {'l', '1', '\r', '\n', 'l', '2', 0});
    Bytes accents;
    for (int b = 0x80; b <= 0xFF; ++b) {
        accents.push_back(static_cast<std::uint8_t>(b));
    }
    accents.push_back(0);
    key->SetValue("accents \xE9\xE0", RegType::String, accents);
    key->SetValue("no terminator", RegType::String, {'a', 'b'});
    key->SetValue("short dword", RegType::Dword, {1, 2});
    std::string deep = path;
    for (int level = 0; level < 12; ++level) {
        deep += "\\Level " + std::to_string(level) + " \xE9";
        store.CreateKey(deep)->SetValue("depth", RegType::Dword,
                                        {static_cast<std::uint8_t>(level), 0, 0, 0});
    }
    return store;
}

// Two keys hold the same values, in the same order, and the same subkeys, all the way down.
inline void ExpectSameTree(const MemoryKey& a, const MemoryKey& b) {
    ASSERT_EQ(a.Values(), b.Values()) << a.Name;
    ASSERT_EQ(a.Subkeys().size(), b.Subkeys().size()) << a.Name;
    for (std::size_t i = 0; i < a.Subkeys().size(); ++i) {
        ExpectSameTree(*a.Subkeys()[i], *b.Subkeys()[i]);
    }
}

// A folder of its own for one test, removed afterwards.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& purpose = "") {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // Parametrized tests' names hold slashes: one folder each all the same.
        std::string name =
            "quillon-test-" + std::string(info->test_suite_name()) + "-" + info->name() + purpose;
        std::replace(name.begin(), name.end(), '/', '-');
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Points the system's temporary folder ($TMPDIR, or TMP on Windows) at `folder` for as long
// as it lives.
class ScopedTempFolder {
  public:
    explicit ScopedTempFolder(const std::string& folder) {
        const char* value = std::getenv(kVariable);
        saved_ = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
        Set(folder);
    }
    ~ScopedTempFolder() { Set(saved_.value_or("")); }
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

  private:
#ifdef _WIN32
    static constexpr const char* kVariable = "TMP";
    static void Set(const std::string& value) {
        _putenv_s(kVariable, value.c_str());
    }
#else
    static constexpr const char* kVariable = "TMPDIR";
    static void Set(const std::string& value) {
        if (value.empty()) {
            unsetenv(kVariable);
        } else {
            setenv(kVariable, value.c_str(), 1);
        }
    }
#endif
    std::optional<std::string> saved_;
};

} // namespace quillon::test
