#include "lsp/file_uri.h"

#include "base/utf8_text.h"

namespace vennik::lsp {

namespace {
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = foldAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool startsWithIgnoringCase(std::string_view s, std::string_view lower) {
  if (s.size() < lower.size()) return false;
  for (size_t i = 0; i < lower.size(); ++i) {
    if (foldAscii(s[i]) != lower[i]) return false;
  }
  return true;
}
}  // namespace

std::optional<std::string> pathOfFileUri(std::string_view uri) {
  if (!startsWithIgnoringCase(uri, "file://")) return std::nullopt;
  uri.remove_prefix(7);
  const size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view host = uri.substr(0, slash);
  if (!host.empty() && !(host.size() == 9 && startsWithIgnoringCase(host, "localhost"))) return std::nullopt;
  uri.remove_prefix(slash);
  uri = uri.substr(0, uri.find_first_of("?#"));
  std::string path;
  for (size_t i = 0; i < uri.size(); ++i) {
    const int hi = uri[i] == '%' && i + 2 < uri.size() ? hexValue(uri[i + 1]) : -1;
    const int lo = hi >= 0 ? hexValue(uri[i + 2]) : -1;
    if (lo >= 0) {
      path.push_back(static_cast<char>(hi * 16 + lo));
      i += 2;
    } else {
      path.push_back(uri[i]);
    }
  }
  return path;
}

std::string fileUriOfPath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~' || c == '/') {
      uri.push_back(c);
    } else {
      uri.push_back('%');
      uri.push_back(kHex[b >> 4]);
      uri.push_back(kHex[b & 15]);
    }
  }
  return uri;
}

}  // namespace vennik::lsp
