// make_bench_data DIR: writes DIR/bench.hive (a regf hive of more than 50 MB made of synthetic
// keys) and DIR/bench.reg (the same keys below HKEY_CURRENT_USER\Software\QuillonBench, for
// Wine's regedit to import).
#include "export/export_to_file.h"
#include "hive_writer.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace quillon;
    if (argc != 2) {
        std::cerr << "usage: make_bench_data DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\QuillonBench";
    MemoryStore store;
    MemoryKey* root = store.CreateKey(kKey);
    for (int group = 0; group < 250; ++group) {
        MemoryKey& parent = root->AddSubkey("Group " + std::to_string(1000 + group));
        for (int k = 0; k < 100; ++k) {
            MemoryKey& key = parent.AddSubkey("Identity {" + std::to_string(100000 + k) + "}");
            for (int v = 0; v < 16; ++v) {
                const std::string name = "Value " + std::to_string(v);
                if (v % 4 == 0) {
                    std::string text = "C:\\Documents and Settings\\User " + std::to_string(k) +
                                       "\\Mail\\Folder " + std::to_string(v);
                    std::vector<std::uint8_t> data(text.begin(), text.end());
                    data.push_back(0);
                    key.SetValue(name, RegType::String, std::move(data));
                } else if (v % 4 == 1) {
                    key.SetValue(
                        name, RegType::Dword,
                        {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(v), 0, 1});
                } else {
                    std::vector<std::uint8_t> data(100);
                    for (std::size_t i = 0; i < data.size(); ++i) {
                        data[i] = static_cast<std::uint8_t>(i * 31 + k + v);
                    }
                    key.SetValue(name, RegType::Binary, std::move(data));
                }
            }
        }
    }
    std::string error;
    if (!tools::WriteHive(*root, dir + "/bench.hive", error)) {
        std::cerr << error << "\n";
        return 1;
    }
    Reg_access registry(store);
    if (ExportKeyToFile(registry, KeyPath(kKey), dir + "/bench.reg", false).Status !=
        ExportStatus::Exported) {
        std::cerr << "cannot write " << dir << "/bench.reg\n";
        return 1;
    }
    return 0;
}
