// Helpers shared by the tests: registries from .reg text, scratch folders, whole files.
#pragma once

#include "registry/memory_store.h"
#include "registry/reg_file_reader.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
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

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A folder of its own for one test, removed afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("quillon-test-" + std::string(info->test_suite_name()) + "-" + info->name());
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

} // namespace quillon::test
