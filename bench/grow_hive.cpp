// grow_hive HIVE OUT COUNT [SIZE [PER_KEY]]: writes OUT, a copy of the regf hive HIVE with a key
// Software\QuillonBench holding COUNT binary values of SIZE bytes (64 by default), through
// libhivex's writer, so that the keys Windows wrote stay as they were around the grown key.
// With PER_KEY, the values are spread over subkeys of PER_KEY values each (Groupe 1000\Partie
// 1000000 ...), the shape of a real hive, which every peer can read (libhivex refuses a key of
// more than 110,000 values).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <hivex.h>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) {
        std::fprintf(stderr, "usage: grow_hive HIVE OUT COUNT [SIZE [PER_KEY]]\n");
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
    const std::size_t dataSize = argc >= 5 ? std::strtoul(argv[4], nullptr, 10) : 64;
    const std::size_t perKey = argc == 6 ? std::strtoul(argv[5], nullptr, 10) : count;
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
    // Subkeys go in groups of a hundred: libhivex writes a parent's list of subkeys anew at each
    // added subkey, so one list of thousands would fill the hive with its old copies.
    constexpr std::size_t kKeysPerGroup = 100;
    bool written = key != 0 && perKey != 0;
    hive_node_h group = 0;
    for (std::size_t first = 0, keys = 0; written && first < count; first += perKey, ++keys) {
        if (perKey != count && keys % kKeysPerGroup == 0) {
            group = hivex_node_add_child(
                hive, key, ("Groupe " + std::to_string(1000 + keys / kKeysPerGroup)).c_str());
        }
        const hive_node_h into =
            perKey == count
                ? key
                : hivex_node_add_child(hive, group,
                                       ("Partie " + std::to_string(1000000 + first)).c_str());
        const std::size_t n = std::min(perKey, count - first);
        written = into != 0 && hivex_node_set_values(hive, into, n, values.data() + first, 0) == 0;
    }
    if (!written || hivex_commit(hive, argv[2], 0) != 0) {
        std::perror("hivex");
        return 1;
    }
    hivex_close(hive);
    return 0;
}
