// Windows-1252, the ANSI code page that the offline stores and the Linux build use for
// registry texts and files: conversion to and from Unicode, and case folding for key names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Unicode code point of one ANSI byte.
char32_t AnsiToCodePoint(unsigned char byte);
// ANSI byte of a code point; '?' for what Windows-1252 cannot hold.
unsigned char CodePointToAnsi(char32_t codePoint);

// UTF-16LE bytes (pairs, surrogates allowed) to ANSI text; an odd last byte is dropped.
std::string Utf16LeToAnsi(std::string_view utf16le);
// UTF-16LE bytes to UTF-8, every character kept; a lone surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view utf16le);
// The same for registry data held in a byte vector.
void Utf16LeDataToAnsi(std::vector<unsigned char>& data);
// ANSI text to UTF-16LE bytes.
std::string AnsiToUtf16Le(std::string_view ansi);
std::string AnsiToUtf8(std::string_view ansi);
// Decodes the UTF-8 character at text[index] and moves index past it; an invalid sequence
// gives U+FFFD and moves one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t& index);
// Invalid UTF-8 sequences become '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// Upper-cases ANSI text the way registry names compare: letters of Windows-1252 only.
std::string FoldCase(std::string_view ansi);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// A hash of the text as EqualsIgnoringCase compares it: names equal without regard to case hash
// alike.
std::uint64_t FoldedHash(std::string_view ansi);

} // namespace quillon
