// quillon-make-hive OUT KEY FILE.reg...: builds the regf hive OUT from the keys found at KEY
// (for example HKEY_CURRENT_USER) in the .reg files given.
#include "formats/reg_file_reader.h"
#include "hive_writer.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: quillon-make-hive OUT KEY FILE.reg...\n";
        return 2;
    }
    quillon::MemoryStore store;
    std::string error;
    for (int i = 3; i < argc; ++i) {
        if (!quillon::ReadRegFile(argv[i], store, error)) {
            std::cerr << error << "\n";
            return 1;
        }
    }
    const quillon::MemoryKey* root = store.FindKey(argv[2]);
    if (root == nullptr) {
        std::cerr << argv[2] << ": no such key in the .reg files\n";
        return 1;
    }
    if (!quillon::tools::WriteHive(*root, argv[1], error)) {
        std::cerr << error << "\n";
        return 1;
    }
    return 0;
}
