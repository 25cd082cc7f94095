// Tab 3 from end to end through the fake Ui: reading a backup file, adapting it for the machine
// and writing it. The input's first line is the folder the user chooses; the rest is the file.
// A backup that read as a .reg file must still read as one once adapted.
#include "app/dialogue.h"
#include "dialogue_fixture.h"
#include "fuzz_support.h"

namespace {

using namespace quillon;

// The machine the backup is adapted for: a version, an identity and a user group.
constexpr std::string_view kMachine =
    "REGEDIT4\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer]\r\n"
    "\"Version\"=\"6.0.2900.5512\"\r\n"
    "[HKEY_CURRENT_USER\\Identities]\r\n"
    "\"Last User ID\"=\"{22222222-0000-0000-0000-000000000000}\"\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Group "
    "Policy\\GroupMembership]\r\n\"Group0\"=\"S-1-5-21-4-5-6-513\"\r\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::BytesOf(data, size);
    const auto cut = input.find('\n');
    const std::string_view folder = input.substr(0, cut);
    const std::string_view file = cut == std::string_view::npos ? "" : input.substr(cut + 1);

    MemoryStore store;
    std::string error;
    ReadRegText(kMachine, "machine.reg", store, error);
    Reg_access registry(store);
    test::FakeUi ui;
    Dialogue dialogue(registry, ui, fuzz::Scratch().string());
    dialogue.Form_Load();
    dialogue.Onglets.Select(3);
    dialogue.Onglets_Click();

    ui.files.push_back(fuzz::WriteScratchFile("old.reg", file));
    dialogue.OuvrirSauvegarde_Click();
    if (!folder.empty()) {
        dialogue.RepertoireChoisi.SetText(std::string(folder));
    }
    dialogue.BoutonChangerF_Click();
    const std::string adapted = (fuzz::Scratch() / "adapted.reg").string();
    std::filesystem::remove(adapted);
    ui.files.push_back(adapted);
    dialogue.BoutonEnregistrerSauvegarde_Click();

    MemoryStore before, after;
    if (std::filesystem::exists(adapted) && ReadRegText(file, "old.reg", before, error) &&
        !ReadRegText(test::ReadBytes(adapted), "adapted.reg", after, error)) {
        std::fprintf(stderr, "the adapted backup no longer reads: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}
