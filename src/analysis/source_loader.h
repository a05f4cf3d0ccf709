#pragma once
// Reading a BASIC source file into text.
#include <optional>
#include <string>
#include <string_view>

#include "analysis/text_util.h"

namespace vennik {

struct ShellState;

// Windows-1252: one byte to one character. The five bytes the code page leaves
// undefined map to the control character of the same value.
char16_t windows1252ToChar(unsigned char b);
Text decodeWindows1252(std::string_view bytes);

// Decodes file bytes: UTF-16 when they begin with a UTF-16 byte-order mark
// (the mark itself is dropped), else Windows-1252, every byte kept.
Text decodeSourceBytes(std::string_view bytes);

// Reads a whole file; nullopt and a reason in `error` when it cannot be read.
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr);

// Loads a source file: clears the text-source flag first, then returns the
// file's text; a missing or unreadable file gives empty text.
Text loadSourceFile(ShellState& shell, TextView path);

// Path text to a file-system path (UTF-8 on Linux).
std::string toFileSystemPath(TextView path);

}  // namespace vennik
