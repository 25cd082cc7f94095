// Reading the user's files: whole, or header first, as a pipe can only be read once.
#pragma once

#include "files/file_error.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Reads a whole file, or its first `limit` bytes; false with `error` set when it cannot be
// opened or read.
bool ReadWholeFile(const std::string& path, std::string& content, FileError& error,
                   std::size_t limit = static_cast<std::size_t>(-1));
// Reads a file once, front to back, as a pipe can only be read: its first `headSize` bytes (all
// of a shorter file) go to `acceptHead`, and the rest is read only if it accepts them. False
// with `error` set when it cannot be opened or read.
bool ReadFileAfterHead(const std::string& path, std::size_t headSize,
                       const std::function<bool(std::string_view head)>& acceptHead,
                       std::string& content, FileError& error);
// Reads a file front to back in pieces of at most `pieceSize` bytes, each handed to `piece`,
// which stops the reading by returning false. False with `error` set when it cannot be opened
// or read (not when `piece` stopped it).
bool ReadFileInPieces(const std::string& path, std::size_t pieceSize,
                      const std::function<bool(std::string_view piece)>& piece, FileError& error);
// A file of a source nobody trusts (a disk, an image, a folder handed over): opened only when
// it is a regular file, never through a link at its end, never waiting on a FIFO; nullptr with
// `error` set (kNotRegularFile for a link, a device, a FIFO or a socket) otherwise.
std::FILE* OpenRegularFile(const std::string& path, FileError& error);
// ReadWholeFile and ReadFileInPieces of such a file, opened by OpenRegularFile.
bool ReadRegularFile(const std::string& path, std::string& content, FileError& error);
bool ReadRegularFileInPieces(const std::string& path, std::size_t pieceSize,
                             const std::function<bool(std::string_view piece)>& piece,
                             FileError& error);
// The lines of a file, as SplitLines cuts them.
bool ReadLines(const std::string& path, std::vector<std::string>& lines, FileError& error);

} // namespace quillon
