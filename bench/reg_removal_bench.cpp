// Reads .reg texts that remove what they first set: n values then n "name"=- lines in one key,
// and n keys then n "[-key]" lines. Removals must cost about what the additions cost.
#include "formats/reg_file_reader.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace quillon;

// A .reg text that sets `count` values of one key (or `count` keys), then removes them all.
std::string SetThenRemove(int count, bool keys) {
    std::string text = keys ? "REGEDIT4\r\n\r\n" : "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Bench]\r\n";
    for (const bool removing : {false, true}) {
        for (int i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            text += keys ? (removing ? "[-" : "[") + std::string("HKEY_CURRENT_USER\\Bench\\k") +
                               n + "]\r\n"
                         : "\"v" + n + (removing ? "\"=-\r\n" : "\"=\"x\"\r\n");
        }
    }
    return text;
}

void Measure(const char* what, int count, const std::string& text) {
    MemoryStore store;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const bool read = ReadRegText(text, "bench.reg", store, error);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const MemoryKey* key = store.FindKey("HKEY_CURRENT_USER\\Bench");
    const bool empty = key != nullptr && key->Values().empty() && key->Subkeys().empty();
    std::printf("%-28s %6d  %8.3f s  %s\n", what, count, elapsed.count(),
                read && empty ? "ok" : "WRONG RESULT");
}

} // namespace

int main() {
    for (const int count : {10000, 20000, 40000}) {
        Measure("values then \"v\"=-", count, SetThenRemove(count, false));
    }
    for (const int count : {10000, 40000}) {
        Measure("keys then [-key]", count, SetThenRemove(count, true));
    }
}
