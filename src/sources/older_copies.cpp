#include "sources/older_copies.h"

#include "files/byte_order.h"
#include "sources/local_copies.h"
#include "sources/registry_cab.h"
#include "text/ansi_codepage.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>

namespace quillon {
namespace {

constexpr std::string_view kRestoreFolders = "System Volume Information";
constexpr std::string_view kRestorePrefix = "_restore";
constexpr std::string_view kSoftwareHive = "_REGISTRY_MACHINE_SOFTWARE";
constexpr std::string_view kDefaultHive = "_REGISTRY_USER_.DEFAULT";
constexpr std::string_view kUserHivePrefix = "_REGISTRY_USER_NTUSER_";
// A restore point's log: its creation time (a FILETIME) after its type, sequence number and
// 256-character description.
constexpr std::size_t kCreationTimeAt = 0x210;
// FILETIME counts 100 ns from 1601; Unix time, seconds from 1970.
constexpr std::uint64_t kTicksPerSecond = 10000000, kSecondsFrom1601To1970 = 11644473600ull;

bool StartsWithIgnoringCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// The restore point's number in "RP12"; -1 for another name.
int RestorePointNumber(const std::string& name) {
    if (name.size() < 3 || !StartsWithIgnoringCase(name, "RP") ||
        !std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return -1;
    }
    return std::stoi(name.substr(2, 6));
}

// "2009-12-01 14:03" from a restore point's log, "" when it has none.
std::string CreationTime(const FileTree& tree, const std::string& log) {
    std::string bytes;
    FileError ignored;
    if (log.empty() || !tree.Read(log, bytes, ignored) || bytes.size() < kCreationTimeAt + 8) {
        return "";
    }
    const std::uint64_t ticks = Le64(bytes, kCreationTimeAt);
    if (ticks / kTicksPerSecond < kSecondsFrom1601To1970) {
        return "";
    }
    // The calendar of the standard library, not the C library's, whose reentrant forms differ
    // from one system to the other.
    using namespace std::chrono;
    const sys_seconds utc{seconds(ticks / kTicksPerSecond - kSecondsFrom1601To1970)};
    const sys_days day = floor<days>(utc);
    const year_month_day date{day};
    const hh_mm_ss time{utc - day};
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()));
    return text;
}

// Calls `found(number, folder, snapshot)` for each restore point holding a snapshot of the
// registry's SOFTWARE hive.
template <class Found> void ForEachRestorePoint(const FileTree& tree, Found found) {
    const std::string top = tree.Find("", kRestoreFolders, true);
    for (const FileTree::Entry& store :
         top.empty() ? std::vector<FileTree::Entry>{} : tree.List(top)) {
        if (!store.Folder || !StartsWithIgnoringCase(store.Name, kRestorePrefix)) {
            continue;
        }
        const std::string storePath = top + "/" + store.Name;
        for (const FileTree::Entry& point : tree.List(storePath)) {
            const int number = RestorePointNumber(point.Name);
            const std::string folder = storePath + "/" + point.Name;
            const std::string snapshot = tree.Find(folder, "snapshot", true);
            if (point.Folder && number >= 0 && !snapshot.empty() &&
                !tree.Find(snapshot, kSoftwareHive, false).empty()) {
                found(number, folder, snapshot);
            }
        }
    }
}

void AddRestorePoints(const FileTree& tree, std::vector<OlderCopy>& found) {
    std::vector<std::pair<int, OlderCopy>> points;
    ForEachRestorePoint(
        tree, [&](int number, const std::string& folder, const std::string& snapshot) {
            OlderCopy copy;
            copy.Name = "RP" + std::to_string(number);
            const std::string date = CreationTime(tree, tree.Find(folder, "rp.log", false));
            copy.Shown = "point de restauration " + copy.Name + (date.empty() ? "" : ", " + date);
            copy.Software = tree.Find(snapshot, kSoftwareHive, false);
            copy.Default = tree.Find(snapshot, kDefaultHive, false);
            for (const FileTree::Entry& file : tree.List(snapshot)) {
                if (!file.Folder && StartsWithIgnoringCase(file.Name, kUserHivePrefix)) {
                    copy.Users.emplace_back(file.Name.substr(kUserHivePrefix.size()),
                                            snapshot + "/" + file.Name);
                }
            }
            points.emplace_back(number, std::move(copy));
        });
    std::sort(points.begin(), points.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [number, copy] : points) {
        found.push_back(std::move(copy));
    }
}

// Where Windows 95/98/Me keep registry cabinets: ScanReg's backups (WINDOWS/SYSBCKUP/RB000.CAB
// ... on 98 and Me), and Windows Me's restore points, whose registry snapshots System Restore
// files as RG*.CAB in _RESTORE/ARCHIVE beside the FS*.CAB of other files.
struct CabPlace {
    std::string Folder;
    std::string Prefix; // "RB", "RG"
    std::size_t Digits; // how many follow it
    const char* Label;  // how a copy is shown: "sauvegarde du registre RB001.CAB"
};

std::vector<CabPlace> CabPlaces(const FileTree& tree) {
    std::vector<CabPlace> places;
    for (const FileTree::Entry& entry : tree.List("")) {
        if (!entry.Folder) {
            continue;
        }
        if (std::string backups = tree.Find(entry.Name, "SYSBCKUP", true); !backups.empty()) {
            places.push_back({backups, "RB", 3, "sauvegarde du registre "});
        }
        if (EqualsIgnoringCase(entry.Name, "_RESTORE")) {
            if (std::string archive = tree.Find(entry.Name, "ARCHIVE", true); !archive.empty()) {
                places.push_back({archive, "RG", 6, "point de restauration "});
            }
        }
    }
    return places;
}

// PREFIX, its digits, ".CAB": RB000.CAB, RG000012.CAB.
bool IsRegistryCab(const std::string& name, const CabPlace& place) {
    const std::size_t digitsEnd = place.Prefix.size() + place.Digits;
    return name.size() == digitsEnd + 4 && StartsWithIgnoringCase(name, place.Prefix) &&
           EqualsIgnoringCase(name.substr(digitsEnd), ".CAB") &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(place.Prefix.size()),
                       name.begin() + static_cast<std::ptrdiff_t>(digitsEnd),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The registry cabinets of a place, by name.
std::vector<std::string> RegistryCabs(const FileTree& tree, const CabPlace& place) {
    std::vector<std::string> names;
    for (const FileTree::Entry& entry : tree.List(place.Folder)) {
        if (!entry.Folder && IsRegistryCab(entry.Name, place)) {
            names.push_back(entry.Name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The date the cabinet gives its SYSTEM.DAT, "" when it has none that can be read.
std::string SystemDatDate(LocalCopies& copies, const std::string& cab) {
    std::string error;
    std::vector<CabMember> members;
    const std::string local = copies.PathOf(cab, error);
    if (local.empty() || !ListCab(local, members, error)) {
        return "";
    }
    const auto system = std::find_if(members.begin(), members.end(), [](const CabMember& m) {
        return EqualsIgnoringCase(CabMemberFileName(m.Name), "SYSTEM.DAT");
    });
    return system != members.end() ? system->Date : "";
}

void AddRegistryCabs(const FileTree& tree, std::vector<OlderCopy>& found) {
    LocalCopies copies(tree);
    for (const CabPlace& place : CabPlaces(tree)) {
        for (const std::string& name : RegistryCabs(tree, place)) {
            OlderCopy copy;
            copy.Cab = place.Folder + "/" + name;
            copy.Name = Utf8ToAnsi(name.substr(0, name.size() - 4));
            std::transform(copy.Name.begin(), copy.Name.end(), copy.Name.begin(),
                           [](char c) { return static_cast<char>(std::toupper(c)); });
            const std::string date = SystemDatDate(copies, copy.Cab);
            copy.Shown = place.Label + name + (date.empty() ? "" : ", " + date);
            found.push_back(std::move(copy));
        }
    }
}

} // namespace

bool HasOlderCopies(const FileTree& tree) {
    bool any = false;
    ForEachRestorePoint(tree, [&any](int, const std::string&, const std::string&) { any = true; });
    const std::vector<CabPlace> places = CabPlaces(tree);
    return any || std::any_of(places.begin(), places.end(), [&](const CabPlace& place) {
               return !RegistryCabs(tree, place).empty();
           });
}

std::vector<OlderCopy> FindOlderCopies(const FileTree& tree) {
    std::vector<OlderCopy> found;
    AddRestorePoints(tree, found);
    AddRegistryCabs(tree, found);
    return found;
}

} // namespace quillon
