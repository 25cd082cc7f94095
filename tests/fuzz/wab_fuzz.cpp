// The address book reader on any bytes: its records and the contacts made of them, and the
// cards and rows written from those. No contact holds more text than the file.
#include "formats/wab_contacts.h"
#include "formats/wab_file.h"
#include "fuzz_support.h"
#include "mail/contacts_csv.h"
#include "mail/vcard.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = quillon::fuzz::WriteScratchFile(
        "input.wab", std::string_view(reinterpret_cast<const char*>(data), size));
    quillon::WabFile file;
    std::string error;
    if (!file.Open(path, error)) {
        return 0;
    }
    const std::vector<quillon::Contact> contacts = quillon::ContactsOf(file.Records());
    for (const quillon::Contact& contact : contacts) {
        // UTF-16 text grows at most by half again as UTF-8; ANSI text at most threefold.
        if (contact.Shown().size() > 3 * size) {
            std::abort();
        }
    }
    quillon::VCardsOf(contacts);
    quillon::ThunderbirdCsvOf(contacts);
    quillon::GoogleCsvOf(contacts);
    file.TakeProblems();
    return 0;
}
