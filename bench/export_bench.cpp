// Exports a synthetic key of 10,000 subkeys and 200,000 values from the in-memory store, and
// compares the time with writing the same bytes in one buffered write loop (the floor that no
// exporter can beat). Prints the best of several runs.
#include "export/export_to_file.h"
#include "files/temp_file.h"
#include "stores/memory_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

namespace {

using namespace quillon;
constexpr int kSubkeys = 10000;
constexpr int kValuesPerSubkey = 20;
constexpr int kRuns = 5;
constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Bench";

void Fill(MemoryStore& store) {
    MemoryKey* root = store.CreateKey(kKey);
    for (int k = 0; k < kSubkeys; ++k) {
        MemoryKey& key = root->AddSubkey("Identity {" + std::to_string(100000 + k) + "}");
        for (int v = 0; v < kValuesPerSubkey; ++v) {
            const std::string name = "Value number " + std::to_string(v);
            switch (v % 4) {
            case 0: {
                std::string text = "C:\\Documents and Settings\\User\\Mail " + std::to_string(k);
                std::vector<std::uint8_t> data(text.begin(), text.end());
                data.push_back(0);
                key.SetValue(name, RegType::String, std::move(data));
                break;
            }
            case 1:
                key.SetValue(name, RegType::Dword,
                             {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(v), 0, 1});
                break;
            default: {
                std::vector<std::uint8_t> data(48);
                for (std::size_t i = 0; i < data.size(); ++i) {
                    data[i] = static_cast<std::uint8_t>(i * 37 + k);
                }
                key.SetValue(name, v % 4 == 2 ? RegType::Binary : RegType::ExpandString,
                             std::move(data));
            }
            }
        }
    }
}

double BestSeconds(const std::function<void()>& work) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

std::vector<std::string> LinesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line + "\n"); // getline took the LF; the CR stays in the line
    }
    return lines;
}

} // namespace

int main() {
    MemoryStore store;
    Fill(store);
    Reg_access registry(store);
    const std::string out = Temp_file::TempFolder() + "quillon-export-bench.reg";
    const std::string floorOut = Temp_file::TempFolder() + "quillon-write-floor.reg";

    const double exportSeconds = BestSeconds([&] {
        if (ExportKeyToFile(registry, KeyPath(kKey), out, false).Status != ExportStatus::Exported) {
            std::cerr << "export failed\n";
            std::exit(1);
        }
    });
    const std::vector<std::string> lines = LinesOf(out);
    const double floorSeconds = BestSeconds([&] {
        std::FILE* file = std::fopen(floorOut.c_str(), "wb");
        for (const std::string& line : lines) {
            std::fwrite(line.data(), 1, line.size(), file);
        }
        std::fclose(file);
    });
    std::ifstream sizeProbe(out, std::ios::binary | std::ios::ate);
    const double megabytes = static_cast<double>(sizeProbe.tellg()) / 1e6;
    std::remove(out.c_str());
    std::remove(floorOut.c_str());

    const double values = static_cast<double>(kSubkeys) * kValuesPerSubkey;
    std::printf("export: %d subkeys, %.0f values, %.1f MB in %.3f s: %.0f values/s\n", kSubkeys,
                values, megabytes, exportSeconds, values / exportSeconds);
    std::printf("write floor (same bytes, one buffered write loop): %.3f s\n", floorSeconds);
    std::printf("ratio export / write floor: %.2f (target: at most 3)\n",
                exportSeconds / floorSeconds);
    return 0;
}
