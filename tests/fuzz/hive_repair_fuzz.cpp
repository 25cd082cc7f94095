// Hives left dirty or damaged, with a transaction log, as the repair before libhivex reads them:
// the input is the hive's length (4 bytes, little-endian), the hive, then the log.
#include "formats/hive_repair.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string_view input = fuzz::BytesOf(data, size);
    constexpr std::size_t kLengthSize = 4;
    if (input.size() < kLengthSize) {
        return 0;
    }
    std::uint32_t length = 0;
    for (std::size_t i = 0; i < kLengthSize; ++i) {
        length |= static_cast<std::uint32_t>(static_cast<unsigned char>(input[i])) << (8 * i);
    }
    const std::string_view rest = input.substr(kLengthSize);
    std::string hive(rest.substr(0, std::min<std::size_t>(length, rest.size())));
    const std::vector<HiveLog> logs = {{"hive.LOG1", std::string(rest.substr(hive.size()))},
                                       {"hive.LOG2", {}}};
    RepairHive(hive, logs);
    return 0;
}
