// Copies a folder's tree into the root of an NTFS volume held in a file (made by mkntfs), through
// libntfs-3g: no mounting, no root. The disk-image tests build their NTFS images with it.
//   usage: quillon-ntfs-put VOLUME_FILE FOLDER
#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <cstdlib>
#include <ctime>
#include <sys/types.h>
extern "C" {
#include <ntfs-3g/types.h>
#include <ntfs-3g/attrib.h>
#include <ntfs-3g/dir.h>
#include <ntfs-3g/inode.h>
#include <ntfs-3g/unistr.h>
#include <ntfs-3g/volume.h>
}
#undef min
#undef max

namespace fs = std::filesystem;

bool Put(ntfs_inode* dir, const fs::path& from) {
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        ntfschar* name = nullptr;
        const int length = ntfs_mbstoucs(entry.path().filename().c_str(), &name);
        const bool folder = entry.is_directory();
        ntfs_inode* made = length > 0 ? ntfs_create(dir, const_cpu_to_le32(0), name, static_cast<u8>(length), folder ? S_IFDIR : S_IFREG) : nullptr;
        free(name);
        if (made == nullptr) {
            std::cerr << "quillon-ntfs-put: cannot create " << entry.path() << "\n";
            return false;
        }
        bool ok = true;
        if (folder) {
            ok = Put(made, entry.path());
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            ntfs_attr* data = ntfs_attr_open(made, AT_DATA, AT_UNNAMED, 0);
            ok = data != nullptr && ntfs_attr_pwrite(data, 0, static_cast<s64>(bytes.size()), bytes.data()) == static_cast<s64>(bytes.size());
            if (data != nullptr) ntfs_attr_close(data);
        }
        ntfs_inode_close(made);
        if (!ok) { std::cerr << "quillon-ntfs-put: cannot write " << entry.path() << "\n"; return false; }
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 3) { std::cerr << "usage: quillon-ntfs-put VOLUME_FILE FOLDER\n"; return 2; }
    ntfs_volume* volume = ntfs_mount(argv[1], NTFS_MNT_NONE);
    if (volume == nullptr) { std::cerr << "quillon-ntfs-put: cannot open " << argv[1] << "\n"; return 1; }
    ntfs_inode* root = ntfs_inode_open(volume, FILE_root);
    const bool ok = root != nullptr && Put(root, argv[2]);
    if (root != nullptr) ntfs_inode_close(root);
    return ntfs_umount(volume, FALSE) == 0 && ok ? 0 : 1;
}
