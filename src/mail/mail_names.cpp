#include "mail/mail_names.h"

#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <array>
#include <cctype>

namespace quillon {
namespace {

// Characters Windows refuses in a name, beside the control characters.
constexpr std::string_view kRefused = "<>:\"/\\|?*";
// The names Windows keeps for its devices, whatever the extension after them.
constexpr std::array<std::string_view, 22> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool IsDeviceName(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('.'));
    for (std::size_t i = 0; i < kDeviceNames.size(); ++i) {
        if (EqualsIgnoringCase(stem, kDeviceNames[i])) {
            return true;
        }
    }
    return false;
}

// The longest start of `native` (UTF-8 off Windows) of at most `longest` bytes that does not
// cut a character.
std::string Shortened(std::string native, std::size_t longest) {
    if (native.size() <= longest) {
        return native;
    }
#ifdef _WIN32
    native.resize(longest);
#else
    constexpr unsigned char kContinuation = 0xC0, kContinuationBits = 0x80;
    std::size_t cut = longest;
    while (cut > 0 &&
           (static_cast<unsigned char>(native[cut]) & kContinuation) == kContinuationBits) {
        --cut;
    }
    native.resize(cut);
#endif
    return native;
}

std::string Trimmed(std::string name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        name.pop_back();
    }
    const auto first = name.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : name.substr(first);
}

} // namespace

std::string SafeFileName(std::string_view ansi, std::size_t longest) {
    std::string cleaned;
    for (const char c : ansi) {
        const auto byte = static_cast<unsigned char>(c);
        constexpr unsigned char kFirstPrintable = 0x20, kDelete = 0x7F;
        cleaned +=
            byte < kFirstPrintable || byte == kDelete || kRefused.find(c) != std::string_view::npos
                ? '_'
                : c;
    }
    const std::string name = Trimmed(Shortened(AnsiToNative(Trimmed(cleaned)), longest));
    if (name.empty()) {
        return "_";
    }
    return IsDeviceName(name) ? "_" + name : name;
}

std::string UniqueName(const std::string& name, std::string_view extension,
                       std::set<std::string>& taken) {
    std::string candidate = name + std::string(extension);
    for (int number = 2; taken.count(FoldCase(candidate)) != 0; ++number) {
        candidate = name + " (" + std::to_string(number) + ")" + std::string(extension);
    }
    taken.insert(FoldCase(candidate));
    return candidate;
}

} // namespace quillon
