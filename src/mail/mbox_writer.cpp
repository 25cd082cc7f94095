#include "mail/mbox_writer.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace quillon {
namespace {

constexpr std::string_view kFrom = "From ";
constexpr char kQuote = '>';
// FILETIME counts tenths of microseconds since 1601; the Unix epoch is this many seconds later.
constexpr std::uint64_t kFileTimeTicksPerSecond = 10'000'000;
constexpr std::uint64_t kSecondsFrom1601To1970 = 11'644'473'600;

} // namespace

std::string MboxDate(std::uint64_t fileTime) {
    const std::uint64_t seconds = fileTime / kFileTimeTicksPerSecond;
    const std::time_t unix = seconds > kSecondsFrom1601To1970
                                 ? static_cast<std::time_t>(seconds - kSecondsFrom1601To1970)
                                 : 0;
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &unix);
#else
    gmtime_r(&unix, &utc);
#endif
    constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    constexpr int kFirstYear = 1900;
    char text[32];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[utc.tm_wday % 7],
                  kMonths[utc.tm_mon % 12], utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  utc.tm_year + kFirstYear);
    return text;
}

void MboxWriter::Begin(std::uint64_t received) {
    out_.Write("From - ");
    out_.Write(MboxDate(received));
    // The separator ends as the mail client's lines do: a message of CR LF lines is written so.
    out_.Write("\r\n");
    atLineStart_ = true;
    lineStart_.clear();
    endsWithNewLine_ = true;
}

void MboxWriter::Add(std::string_view text) {
    std::size_t plain = 0; // the start of the bytes not yet written
    for (std::size_t at = 0; at < text.size();) {
        if (!atLineStart_) {
            const void* lineEnd = std::memchr(text.data() + at, '\n', text.size() - at);
            if (lineEnd == nullptr) {
                break;
            }
            at = static_cast<std::size_t>(static_cast<const char*>(lineEnd) - text.data()) + 1;
            atLineStart_ = true;
            continue;
        }
        const char c = text[at];
        if (lineStart_.empty() && c != kQuote && c != kFrom.front()) {
            atLineStart_ = c == '\n'; // a line that cannot be a "From " line goes as it is
        } else {
            out_.Write(text.substr(plain, at - plain));
            TakeLineStart(c);
            plain = at + 1;
        }
        ++at;
    }
    out_.Write(text.substr(plain));
    if (!text.empty()) {
        endsWithNewLine_ = text.back() == '\n';
    }
}

// While a line may still begin with ">...>From ", its first characters are held back; once it
// does, it is written with one ">" more, and once it cannot, as it is.
void MboxWriter::TakeLineStart(char c) {
    lineStart_ += c;
    const std::size_t quotes = lineStart_.find_first_not_of(kQuote);
    if (quotes == std::string::npos) {
        return; // only ">" so far
    }
    const std::string_view rest = std::string_view(lineStart_).substr(quotes);
    if (rest.size() < kFrom.size() && kFrom.starts_with(rest)) {
        return;
    }
    if (rest == kFrom) {
        out_.Write(">");
    }
    out_.Write(lineStart_);
    atLineStart_ = c == '\n';
    lineStart_.clear();
}

void MboxWriter::End() {
    if (!lineStart_.empty()) {
        out_.Write(lineStart_);
        lineStart_.clear();
    }
    out_.Write(endsWithNewLine_ ? "\r\n" : "\r\n\r\n");
    atLineStart_ = true;
}

} // namespace quillon
