// The message folders of a mail copy written as .eml files, which any mail client opens,
// by undbx (a Debian package; Quillon suggests it).
#pragma once

#include <string>

namespace quillon {

// Why .eml files cannot be written here (undbx missing, or not on Linux), in French; empty when it
// can.
std::string EmlWriterMissing();

// Writes every message folder of the mail copy `copy` as .eml files, one folder per mail folder,
// into the folder kEmlFolder inside it; false with a French `error` when undbx failed.
bool WriteMessagesAsEml(const std::string& copy, std::string& error);

inline constexpr const char* kEmlFolder = "Messages eml";

} // namespace quillon
