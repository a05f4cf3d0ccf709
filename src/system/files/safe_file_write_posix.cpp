#include "system/files/safe_file_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace vennik {

namespace {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string folderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a folder that cannot be synced does not
// undo a rename that has happened, so failure is ignored.
void syncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string nameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes the temporary files that killed writers of this file left behind;
// a file whose writer still runs is kept.
void removeStaleTemporaries(const std::string& path) {
  const std::string folder = folderOf(path);
  const std::string prefix = nameOf(path) + ".tmp-";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
    if (pid <= 0 || *end != '-') continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      ::unlink((folder + "/" + name).c_str());
    }
  }
  ::closedir(dir);
}

// The file a write to `path` replaces: `path` itself, or the end of the chain
// of symbolic links that starts there (which need not exist yet). nullopt,
// with errno set, for a chain that does not end.
std::optional<std::string> replacedFile(std::string path) {
  constexpr int kMostLinks = 40;  // as the system's own limit
  for (int hops = 0; hops < kMostLinks; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size()) return path;
    target.resize(static_cast<size_t>(n));
    path = target.front() == '/' ? target : folderOf(path) + "/" + target;
  }
  errno = ELOOP;
  return std::nullopt;
}

bool fail(std::string* error) {
  if (error) *error = std::strerror(errno);
  return false;
}

}  // namespace

bool isWriteProtected(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  // No write bit for anyone protects a file even from the superuser, whom
  // access() lets write anything.
  if ((st.st_mode & 0222) == 0) return true;
  return ::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM || errno == EROFS);
}

bool writeFileSafely(const std::string& requested, std::string_view bytes, std::string* error) {
  const std::optional<std::string> target = replacedFile(requested);
  if (!target) return fail(error);
  const std::string& path = *target;
  struct stat replaced {};
  const bool replacing = ::stat(path.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode);

  // A name of our own in the same folder, so that the rename stays on one
  // file system; O_EXCL keeps two writers from sharing one temporary file.
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return fail(error);
  }
  if (fd < 0) return fail(error);
  if (replacing) {
    // Another user's file stays theirs only for root; the group is kept
    // whenever this user belongs to it. Either may be refused (as may the
    // bits, on a file system without them): the write goes on. The owner
    // first, as changing it clears set-user-ID bits.
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
    (void)::fchmod(fd, replaced.st_mode & 07777);
  }

  int failedWith = 0;
  if (!writeAll(fd, bytes) || ::fsync(fd) != 0) failedWith = errno;
  if (::close(fd) != 0 && failedWith == 0) failedWith = errno;
  if (failedWith == 0 && std::rename(temp.c_str(), path.c_str()) != 0) failedWith = errno;
  if (failedWith != 0) {
    ::unlink(temp.c_str());
    errno = failedWith;
    return fail(error);
  }
  syncFolder(folderOf(path));
  removeStaleTemporaries(path);
  return true;
}

}  // namespace vennik
