// grow_hive HIVE OUT COUNT [SIZE]: writes OUT, a copy of the regf hive HIVE with a key
// Software\QuillonBench holding COUNT binary values of SIZE bytes (64 by default), through
// libhivex's writer, so that the keys Windows wrote stay as they were around the grown key.
#include <cstdio>
#include <cstdlib>
#include <hivex.h>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: grow_hive HIVE OUT COUNT [SIZE]\n");
        return 2;
    }
    hive_h* hive = hivex_open(argv[1], HIVEX_OPEN_WRITE);
    if (hive == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    hive_node_h software = hivex_node_get_child(hive, hivex_root(hive), "Software");
    if (software == 0) {
        software = hivex_node_add_child(hive, hivex_root(hive), "Software");
    }
    const hive_node_h key = hivex_node_add_child(hive, software, "QuillonBench");
    const std::size_t count = std::strtoul(argv[3], nullptr, 10);
    const std::size_t dataSize = argc == 5 ? std::strtoul(argv[4], nullptr, 10) : 64;
    std::vector<std::string> names(count);
    std::vector<std::string> data(count, std::string(dataSize, '\0'));
    std::vector<hive_set_value> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        names[i] = "Valeur " + std::to_string(1000000 + i);
        for (std::size_t b = 0; b < dataSize; ++b) {
            data[i][b] = static_cast<char>(i * 31 + b * 7);
        }
        values[i] = {names[i].data(), hive_t_REG_BINARY, dataSize, data[i].data()};
    }
    if (key == 0 || hivex_node_set_values(hive, key, count, values.data(), 0) != 0 ||
        hivex_commit(hive, argv[2], 0) != 0) {
        std::perror("hivex");
        return 1;
    }
    hivex_close(hive);
    return 0;
}
