#include "system/files/received_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "system/files/received_name.h"

namespace vennik {

namespace {

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string lastPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

const char* kindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

bool fail(std::string& error) {
  error = std::strerror(errno);
  return false;
}

}  // namespace

bool planReceivedWrite(const std::string& path, bool force, ReceivedWrite& how, std::string& problem) {
  const std::string last = lastPart(path);
  if (!receivedNameAllowed(path, last, problem)) return false;
  if (path.size() >= PATH_MAX || last.size() > NAME_MAX) {
    problem = std::strerror(ENAMETOOLONG);
    return false;
  }
  how = ReceivedWrite::Replace;
  struct stat link {};
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) {
    problem = std::strerror(errno);
    return false;
  }
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    // The kernel follows the link when the file is opened; a dangling one
    // makes its target.
    how = ReceivedWrite::Through;
  }
  if (exists) {
    if (S_ISDIR(st.st_mode)) {
      problem = "is a folder";
      return false;
    }
    if (!S_ISREG(st.st_mode)) {
      if (!force) {
        problem = std::string("is ") + kindOf(st.st_mode) + " (--force to write to it all the same)";
        return false;
      }
      how = ReceivedWrite::Through;
    } else if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
      // Read-only to its owner counts even for a user the system lets write
      // anywhere: the file was meant to be kept.
      if (!force || how == ReceivedWrite::Through) {
        problem = std::string("it is read-only") + (force ? "" : " (--force to replace it all the same)");
        return false;
      }
    }
  }
  if (how == ReceivedWrite::Replace && ::access(folderOf(path).c_str(), W_OK | X_OK) != 0) {
    problem = "its folder: " + std::string(std::strerror(errno));
    return false;
  }
  return true;
}

bool planReceivedFolders(const std::string& path, bool& exist, std::string& problem) {
  std::string folder = folderOf(path);
  struct stat st {};
  exist = ::stat(folder.c_str(), &st) == 0;
  if (exist) return true;
  // Up to the nearest folder that is there.
  while (::stat(folder.c_str(), &st) != 0) {
    if (errno != ENOENT) {
      problem = "its folder " + folder + ": " + std::strerror(errno);
      return false;
    }
    const std::string up = folderOf(folder);
    if (up == folder) break;
    folder = up;
  }
  if (!S_ISDIR(st.st_mode)) {
    problem = folder + " is no folder";
    return false;
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    problem = "its folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool makeReceivedFolders(const std::string& path, std::string& error) {
  const std::string folder = folderOf(path);
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) return true;
  if (!makeReceivedFolders(folder, error)) return false;
  if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
    error = folder + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool writeReceived(const std::string& path, std::string_view bytes, ReceivedWrite how, std::string& error) {
  if (how == ReceivedWrite::Through) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return fail(error);
    const bool written = writeAll(fd, bytes) && (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS);
    if (!written) error = std::strerror(errno);
    if (::close(fd) != 0 && written) return fail(error);
    return written;
  }
  std::string temporary = folderOf(path) + "/.vennik-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return fail(error);
  // The new file gets the old one's permission bits, or those a new file
  // gets here (mkstemp makes it private).
  struct stat old {};
  mode_t mode = 0;
  if (::stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  const bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
  if (!written) error = std::strerror(errno);
  const bool closed = ::close(fd) == 0;
  if (written && !closed) error = std::strerror(errno);
  if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
    if (written && closed) error = std::strerror(errno);
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace vennik
