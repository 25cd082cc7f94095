// Reads .reg texts that remove what they first set: n values then n "name"=- lines in one key,
// and n keys then n "[-key]" lines. Removals must cost about what the additions cost.
#include "registry/reg_file_reader.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace quillon;

std::string ValuesThenRemovals(int count) {
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Bench]\r\n";
    for (int i = 0; i < count; ++i) {
        text += "\"v" + std::to_string(i) + "\"=\"x\"\r\n";
    }
    for (int i = 0; i < count; ++i) {
        text += "\"v" + std::to_string(i) + "\"=-\r\n";
    }
    return text;
}

std::string KeysThenRemovals(int count) {
    std::string text = "REGEDIT4\r\n\r\n";
    for (int i = 0; i < count; ++i) {
        text += "[HKEY_CURRENT_USER\\Bench\\k" + std::to_string(i) + "]\r\n";
    }
    for (int i = 0; i < count; ++i) {
        text += "[-HKEY_CURRENT_USER\\Bench\\k" + std::to_string(i) + "]\r\n";
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
        Measure("values then \"v\"=-", count, ValuesThenRemovals(count));
    }
    for (const int count : {10000, 40000}) {
        Measure("keys then [-key]", count, KeysThenRemovals(count));
    }
}
