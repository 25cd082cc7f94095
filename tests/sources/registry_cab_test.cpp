// A cabinet built byte by byte, as Windows 98's ScanReg writes them but stored without
// compression: one folder, one data block, and the members the case names, each holding its
// own bytes in turn.
#include "../test_files.h"
#include "files/byte_order.h"
#include "sources/registry_cab.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kHeaderSize = 36, kFolderSize = 8, kFileFixedSize = 16, kDataHeaderSize = 8;
// 2009-12-01 14:03:20, as a cabinet's DOS date and time.
constexpr std::uint16_t kDate = ((2009 - 1980) << 9) | (12 << 5) | 1;
constexpr std::uint16_t kTime = (14 << 11) | (3 << 5) | (20 / 2);

struct Member {
    std::string Name;
    std::string Bytes;
    std::uint32_t ClaimedLength = 0; // the length of Bytes when 0
};

std::string Cabinet(const std::vector<Member>& members) {
    std::string files, data;
    for (const Member& member : members) {
        std::string entry(kFileFixedSize, '\0');
        PutLe32(entry, 0,
                member.ClaimedLength != 0 ? member.ClaimedLength
                                          : static_cast<std::uint32_t>(member.Bytes.size()));
        PutLe32(entry, 4, static_cast<std::uint32_t>(data.size()));
        PutLe16(entry, 10, kDate);
        PutLe16(entry, 12, kTime);
        files += entry + member.Name + '\0';
        data += member.Bytes;
    }
    const std::size_t filesAt = kHeaderSize + kFolderSize;
    const std::size_t dataAt = filesAt + files.size();
    std::string cab(kHeaderSize + kFolderSize, '\0');
    cab.replace(0, 4, "MSCF");
    PutLe32(cab, 8, static_cast<std::uint32_t>(dataAt + kDataHeaderSize + data.size()));
    PutLe32(cab, 16, static_cast<std::uint32_t>(filesAt));
    cab[24] = 3; // version 1.3
    cab[25] = 1;
    PutLe16(cab, 26, 1); // folders
    PutLe16(cab, 28, static_cast<std::uint16_t>(members.size()));
    PutLe32(cab, kHeaderSize, static_cast<std::uint32_t>(dataAt));
    PutLe16(cab, kHeaderSize + 4, 1);         // data blocks; stored, without compression
    std::string block(kDataHeaderSize, '\0'); // no checksum
    PutLe16(block, 4, static_cast<std::uint16_t>(data.size()));
    PutLe16(block, 6, static_cast<std::uint16_t>(data.size()));
    return cab + files + block + data;
}

class RegistryCabTest : public testing::Test {
  protected:
    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }
    std::string Write(const std::string& bytes) {
        test::WriteBytes(cab, bytes);
        return cab.string();
    }
    // The member extracted, or the error.
    std::string Extract(const std::string& bytes, const std::string& name) {
        std::string error;
        if (!ExtractCabMember(Write(bytes), name, out.string(), error)) {
            return error;
        }
        return test::ReadBytes(out);
    }

    const fs::path folder =
        fs::temp_directory_path() / ("quillon-cab-" + std::to_string(::getpid()));
    const fs::path cab = folder / "RB000.CAB";
    const fs::path out = folder / "member";
};

const std::vector<Member> kScanReg = {{"SYSTEM.DAT", "system bytes"},
                                      {"WINDOWS\\USER.DAT", "user bytes"}};

TEST_F(RegistryCabTest, ListsItsMembersWithTheirDates) {
    std::vector<CabMember> members;
    std::string error;
    ASSERT_TRUE(ListCab(Write(Cabinet(kScanReg)), members, error)) << error;
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[1].Name, "WINDOWS\\USER.DAT");
    EXPECT_EQ(members[1].Date, "2009-12-01 14:03");
}

TEST_F(RegistryCabTest, AMemberIsFoundByItsFileNameWithoutRegardToCase) {
    EXPECT_EQ(Extract(Cabinet(kScanReg), "user.dat"), "user bytes");
    EXPECT_EQ(Extract(Cabinet(kScanReg), "System.dat"), "system bytes");
}

TEST_F(RegistryCabTest, WhatCannotBeReadIsNamed) {
    const std::string path = cab.string();
    EXPECT_EQ(Extract(Cabinet(kScanReg), "SYSTEM.INI"),
              "la sauvegarde du registre « " + path + " » ne contient pas SYSTEM.INI");
    const std::string damaged =
        "Impossible de lire « USER.DAT » dans la sauvegarde du registre « " + path +
        " » : fichier CAB tronqué ou endommagé";
    // The data block cut short.
    const std::string whole = Cabinet(kScanReg);
    EXPECT_EQ(Extract(whole.substr(0, whole.size() - 4), "USER.DAT"), damaged);
    // A member that claims more bytes than its folder holds.
    EXPECT_EQ(Extract(Cabinet({{"USER.DAT", "user bytes", 4096}}), "USER.DAT"), damaged);
    EXPECT_EQ(Extract("MSCF but nothing else", "USER.DAT"),
              "Impossible de lire la sauvegarde du registre « " + path +
                  " » : ce n'est pas un fichier CAB lisible (tronqué ou endommagé)");
}

} // namespace
} // namespace quillon
