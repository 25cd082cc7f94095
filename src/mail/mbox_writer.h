// Messages written one after another into an mbox file, as Thunderbird's Local Folders keep
// them (the mboxrd form: a line of the text that begins with "From ", after any number of ">",
// gets one ">" more, which a reader takes off again).
#pragma once

#include "files/output_file.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

class MboxWriter {
  public:
    explicit MboxWriter(OutputFile& out) : out_(out) {}

    // Starts a message received at `received` (a FILETIME; 0 when unknown).
    void Begin(std::uint64_t received);
    // A piece of the message's text, as stored; pieces may cut lines anywhere.
    void Add(std::string_view text);
    // Ends the message with its line end, then an empty line.
    void End();

  private:
    void TakeLineStart(char c);

    OutputFile& out_;
    bool atLineStart_ = true;
    std::string lineStart_; // the start of a line read so far while it may still be "From "
    bool endsWithNewLine_ = true;
};

// The separator line's date: asctime's form of a FILETIME, in UTC ("Sat Sep 14 22:31:00 2002").
std::string MboxDate(std::uint64_t fileTime);

} // namespace quillon
