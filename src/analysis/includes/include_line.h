#pragma once
// The line that makes another file part of a program: #INCLUDE "file", in
// any case, after blanks, the name in double quotes, a comment after it.
#include <optional>
#include <string_view>

namespace vennik {

struct IncludeLine {
  std::string_view path;     // as written between the quotes
  std::string_view problem;  // why the line names no file, when it does not
};

// Nothing when the line is no #INCLUDE line.
std::optional<IncludeLine> readIncludeLine(std::string_view line);

}  // namespace vennik
