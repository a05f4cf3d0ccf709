#include "system/os/posix_platform.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "system/files/source_file.h"
#include "system/files/path_ops.h"
#include "system/os/native_platform.h"

namespace vennik {

namespace {

// The two folder identifiers in GUID memory layout.
constexpr KnownFolderId kLocalAppDataId = {0x85, 0x27, 0xb3, 0xf1, 0xba, 0x6f, 0xcf, 0x4f,
                                           0x9d, 0x55, 0x7b, 0x8e, 0x7f, 0x15, 0x70, 0x91};
constexpr KnownFolderId kDocumentsId = {0xd0, 0x9a, 0xd3, 0xfd, 0x8f, 0x23, 0xaf, 0x46,
                                        0xad, 0xb4, 0x6c, 0x85, 0x48, 0x03, 0x69, 0xc7};

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

EnvironmentLookup processEnvironment() {
  return [](const std::string& name) -> std::optional<std::string> {
    const char* v = std::getenv(name.c_str());
    if (!v) return std::nullopt;
    return std::string(v);
  };
}

PosixPlatform::PosixPlatform(EnvironmentLookup environment) : environment_(std::move(environment)) {}

std::string PosixPlatform::home() const {
  if (auto h = environment_("HOME"); h && !h->empty()) return *h;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

std::string PosixPlatform::baseFolder(const std::string& variable, const std::string& fallback) const {
  if (auto v = environment_(variable); v && !v->empty() && v->front() == '/') return withSlash(*v);
  std::string h = home();
  return h.empty() ? std::string() : withSlash(withSlash(h) + fallback);
}

std::string PosixPlatform::documentsFolder() const {
  const std::string h = home();
  // user-dirs.dirs holds lines such as XDG_DOCUMENTS_DIR="$HOME/Documents".
  std::ifstream in(baseFolder("XDG_CONFIG_HOME", ".config") + "user-dirs.dirs");
  const std::string key = "XDG_DOCUMENTS_DIR=\"";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (auto q = value.find('"'); q != std::string::npos) value.resize(q);
    if (value.rfind("$HOME", 0) == 0) {
      if (h.empty()) break;
      value = h + value.substr(5);
    }
    if (!value.empty() && value.front() == '/') return withSlash(value);
    break;
  }
  return h.empty() ? std::string() : withSlash(h) + "Documents/";
}

Text PosixPlatform::programFolder() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return {};
  buf.resize(static_cast<size_t>(n));
  return folderPart(fromUtf8(buf));
}

Text PosixPlatform::knownFolder(const KnownFolderId& folderId) {
  if (folderId == kLocalAppDataId) return fromUtf8(baseFolder("XDG_DATA_HOME", ".local/share"));
  if (folderId == kDocumentsId) return fromUtf8(documentsFolder());
  return {};
}

Text PosixPlatform::userConfigFolder() { return fromUtf8(baseFolder("XDG_CONFIG_HOME", ".config")); }

bool PosixPlatform::fileExists(TextView path) { return isRegularFile(toFileSystemPath(path)); }

bool PosixPlatform::folderWritable(TextView folder) {
  const std::string f = toFileSystemPath(folder);
  return isFolder(f) && ::access(f.c_str(), W_OK | X_OK) == 0;
}

bool PosixPlatform::makeFolders(TextView folder) {
  const std::string f = toFileSystemPath(folder);
  // Create each missing level in turn, parents first.
  for (size_t at = f.find('/', 1); at != std::string::npos; at = f.find('/', at + 1)) {
    const std::string part = f.substr(0, at);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  if (!f.empty() && f.back() != '/' && ::mkdir(f.c_str(), 0777) != 0 && errno != EEXIST) return false;
  return isFolder(f);
}

std::unique_ptr<PlatformServices> makeNativePlatform() { return std::make_unique<PosixPlatform>(); }

}  // namespace vennik
