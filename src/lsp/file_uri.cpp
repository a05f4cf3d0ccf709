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

std::optional<std::string> pathOfFileUri(std::string_view uri, PathStyle style) {
  if (!startsWithIgnoringCase(uri, "file://")) return std::nullopt;
  uri.remove_prefix(7);
  const size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  std::string_view host = uri.substr(0, slash);
  if (host.size() == 9 && startsWithIgnoringCase(host, "localhost")) host = {};
  if (!host.empty() && style == PathStyle::Posix) return std::nullopt;
  uri.remove_prefix(slash);
  uri = uri.substr(0, uri.find_first_of("?#"));
  std::string path = host.empty() ? "" : "//" + std::string(host);
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
  // "/c:/dir" is the drive's path "c:/dir".
  if (style == PathStyle::Windows && host.empty() && path.size() >= 3 && path[0] == '/' && path[2] == ':' &&
      foldAscii(path[1]) >= 'a' && foldAscii(path[1]) <= 'z')
    path.erase(0, 1);
  return path;
}

std::string fileUriOfPath(std::string_view written, PathStyle style) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string path(written);
  std::string uri = "file://";
  if (style == PathStyle::Windows) {
    for (char& c : path) c = c == '\\' ? '/' : c;
    if (path.starts_with("//")) {
      // The server is the URI's host.
      const size_t end = path.find('/', 2);
      uri += path.substr(2, end == std::string::npos ? std::string::npos : end - 2);
      path = end == std::string::npos ? "/" : path.substr(end);
    } else if (!path.starts_with('/')) {
      path.insert(0, 1, '/');
    }
  }
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
