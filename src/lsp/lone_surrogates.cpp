#include "lsp/lone_surrogates.h"

namespace vennik::lsp {

namespace {

// The code unit of a \uXXXX escape at body[i] (the backslash), or -1.
int escapedUnit(std::string_view body, size_t i) {
  if (i + 6 > body.size() || body[i] != '\\' || body[i + 1] != 'u') return -1;
  int unit = 0;
  for (size_t k = i + 2; k < i + 6; ++k) {
    const char c = body[k];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

bool isHigh(int unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLow(int unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::optional<std::string> withLoneSurrogatesReplaced(std::string_view body) {
  std::string out;
  bool changed = false;
  bool inString = false;
  size_t copied = 0;  // body[copied..] is not yet in `out`
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (!inString) {
      inString = c == '"';
      continue;
    }
    if (c == '"') {
      inString = false;
      continue;
    }
    if (c != '\\') continue;
    const int unit = escapedUnit(body, i);
    if (unit < 0) {
      ++i;  // any other escape: its second character is not a quote or a backslash to look at
      continue;
    }
    if (isHigh(unit) && isLow(escapedUnit(body, i + 6))) {
      i += 11;  // a whole pair
      continue;
    }
    if (isHigh(unit) || isLow(unit)) {
      out.append(body.substr(copied, i - copied));
      out += "\\uFFFD";
      copied = i + 6;
      changed = true;
    }
    i += 5;
  }
  if (!changed) return std::nullopt;
  out.append(body.substr(copied));
  return out;
}

}  // namespace vennik::lsp
