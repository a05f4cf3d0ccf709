#include "board/port/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

namespace vennik {

namespace {

std::optional<speed_t> speedFor(int baud) {
  static constexpr std::pair<int, speed_t> kSpeeds[] = {
      {1200, B1200},       {2400, B2400},       {4800, B4800},       {9600, B9600},
      {19200, B19200},     {38400, B38400},     {57600, B57600},     {115200, B115200},
      {230400, B230400},   {460800, B460800},   {500000, B500000},   {576000, B576000},
      {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
      {2000000, B2000000}, {3000000, B3000000}, {4000000, B4000000},
  };
  for (const auto& [rate, speed] : kSpeeds) {
    if (rate == baud) return speed;
  }
  return std::nullopt;
}

PortOpenFailure failureFor(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV: return PortOpenFailure::NotFound;
    case EACCES:
    case EPERM: return PortOpenFailure::NoPermission;
    case EBUSY:
    case EWOULDBLOCK: return PortOpenFailure::InUse;
    case ENOTTY: return PortOpenFailure::NotSerial;
    default: return PortOpenFailure::Other;
  }
}

bool configure(int fd, speed_t speed, termios tio) {
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return false;
  return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

int millisUntil(LinkClock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - LinkClock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 60'000));
}

}  // namespace

struct SerialPort::Native {
  int fd = -1;
  int wakeFd = -1;       // readable: the user asks to stop (-1: never)
  bool owned = false;    // locked by this process
  bool restore = false;  // found holds the settings to give back
  termios found{};

  // Whether the user has asked to stop.
  bool woken() const {
    if (wakeFd < 0) return false;
    pollfd wake{wakeFd, POLLIN, 0};
    return ::poll(&wake, 1, 0) > 0 && (wake.revents & POLLIN);
  }

  // Waits for `events` on the port until the deadline: Ok, or why not (with
  // `reason` for Lost).
  LinkStatus await(short events, LinkClock::time_point deadline, std::string& reason) const {
    for (;;) {
      pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
      int n = ::poll(fds, wakeFd >= 0 ? 2 : 1, millisUntil(deadline));
      if (n < 0 && errno != EINTR) {
        reason = std::strerror(errno);
        return LinkStatus::Lost;
      }
      if (n < 0) continue;  // the wake pipe tells whether it was the user
      if (wakeFd >= 0 && (fds[1].revents & POLLIN)) return LinkStatus::Interrupted;
      if (fds[0].revents & events) return LinkStatus::Ok;
      if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
        reason = "the port hung up";
        return LinkStatus::Lost;
      }
      if (n == 0 && LinkClock::now() >= deadline) return LinkStatus::TimedOut;
    }
  }
};

SerialPort::SerialPort(std::unique_ptr<Native> native) : native_(std::move(native)) {}

std::unique_ptr<SerialPort> SerialPort::open(const std::string& path, int baud, WakeHandle wake, PortOpenError& error) {
  auto fail = [&](int err) {
    error = {failureFor(err), std::strerror(err)};
    return nullptr;
  };
  const std::optional<speed_t> speed = speedFor(baud);
  if (!speed) return fail(EINVAL);
  // Non-blocking: the open must not wait for a carrier, and every wait
  // below is a poll that the user's Ctrl-C can end.
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(errno);
  auto native = std::make_unique<Native>();
  native->fd = fd;
  native->wakeFd = wake.valid() ? static_cast<int>(wake.native()) : -1;
  std::unique_ptr<SerialPort> port(new SerialPort(std::move(native)));
  Native& n = *port->native_;
  if (!::isatty(fd)) return fail(ENOTTY);
  // The lock keeps out another sender, root included; TIOCEXCL keeps out
  // terminal programs that do not lock.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno);
  n.owned = true;
  ::ioctl(fd, TIOCEXCL);
  if (::tcgetattr(fd, &n.found) != 0) return fail(errno);
  n.restore = true;
  if (!configure(fd, *speed, n.found)) return fail(errno);
  // A PicoMite's USB console sends nothing until the terminal is ready. A
  // port without modem lines (a pseudo-terminal) refuses; nothing is lost.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd, TIOCMBIS, &lines);
  ::tcflush(fd, TCIFLUSH);
  return port;
}

SerialPort::~SerialPort() {
  Native& n = *native_;
  // All act on the port, not on this descriptor: only for the port's owner.
  // What was written is drained first (a final ACK, a CAN CAN, the Ctrl-C of
  // a stopped send: the board must see them), and dropped only when the
  // board has stopped taking bytes, so that closing never waits on a stuck
  // board. Drained output is never flushed: on some ports (a pseudo-terminal)
  // the flush drops bytes that the other end has not read yet.
  if (n.owned) {
    if (undrained_) {
      n.wakeFd = -1;  // the user's stop has been seen: this is the way out
      if (drain(kCloseStall) != LinkStatus::Ok) ::tcflush(n.fd, TCOFLUSH);
    }
    if (n.restore) ::tcsetattr(n.fd, TCSANOW, &n.found);
    ::ioctl(n.fd, TIOCNXCL);
  }
  ::close(n.fd);
}

LinkStatus SerialPort::write(std::string_view bytes, LinkClock::time_point deadline, size_t& written) {
  const Native& n = *native_;
  written = 0;
  undrained_ = true;
  while (written < bytes.size()) {
    if (n.woken()) return LinkStatus::Interrupted;
    ssize_t count = ::write(n.fd, bytes.data() + written, bytes.size() - written);
    if (count > 0) {
      written += static_cast<size_t>(count);
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && errno != EAGAIN) return lost(std::strerror(errno));
    std::string reason;
    LinkStatus status = n.await(POLLOUT, deadline, reason);
    if (status == LinkStatus::Lost) return lost(reason);
    if (status != LinkStatus::Ok) return status;
  }
  return LinkStatus::Ok;
}

LinkStatus SerialPort::awaitEither(int other, LinkClock::time_point deadline, bool& otherReady) {
  const Native& n = *native_;
  otherReady = false;
  for (;;) {
    pollfd fds[3] = {{n.fd, POLLIN, 0}, {n.wakeFd, POLLIN, 0}, {other, POLLIN, 0}};
    int count = ::poll(fds, 3, millisUntil(deadline));
    if (count < 0 && errno != EINTR) return lost(std::strerror(errno));
    if (count < 0) continue;  // the wake pipe tells whether it was the user
    if (n.wakeFd >= 0 && (fds[1].revents & POLLIN)) return LinkStatus::Interrupted;
    // Keys first: a board that never stops printing must not keep the
    // user's keys (the leave key, Ctrl-C) from being read.
    if (other >= 0 && fds[2].revents != 0) {
      otherReady = true;
      return LinkStatus::Ok;
    }
    if (fds[0].revents & POLLIN) return LinkStatus::Ok;
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return lost("the port hung up");
    if (count == 0 && LinkClock::now() >= deadline) return LinkStatus::TimedOut;
  }
}

LinkStatus SerialPort::read(LinkClock::time_point deadline, std::string& in) {
  const Native& n = *native_;
  for (;;) {
    // Looked at before every read: a board that never stops sending would
    // otherwise never let the wait see the user's stop.
    if (n.woken()) return LinkStatus::Interrupted;
    char buf[4096];
    ssize_t count = ::read(n.fd, buf, sizeof buf);
    if (count > 0) {
      in.append(buf, static_cast<size_t>(count));
      return LinkStatus::Ok;
    }
    // A raw port (at least one byte per read) reads nothing only on hang-up.
    if (count == 0) return lost("the port hung up");
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return lost(std::strerror(errno));
    std::string reason;
    LinkStatus status = n.await(POLLIN, deadline, reason);
    if (status == LinkStatus::Lost) return lost(reason);
    if (status != LinkStatus::Ok) return status;
  }
}

LinkStatus SerialPort::drain(std::chrono::milliseconds stall) {
  const Native& n = *native_;
  // The queue is watched rather than waited on with tcdrain alone, which has
  // no time limit: a board that stops taking bytes would hold it for ever.
  constexpr auto kLook = std::chrono::milliseconds(10);
  int last = -1;
  auto deadline = LinkClock::now() + stall;
  for (;;) {
    int queued = 0;
    if (::ioctl(n.fd, TIOCOUTQ, &queued) != 0) return lost(std::strerror(errno));
    if (queued == 0) break;
    if (last < 0 || queued < last) deadline = LinkClock::now() + stall;
    last = queued;
    if (LinkClock::now() >= deadline) return LinkStatus::TimedOut;
    pollfd wake{n.wakeFd, POLLIN, 0};
    if (::poll(&wake, n.wakeFd >= 0 ? 1 : 0, static_cast<int>(kLook.count())) > 0) return LinkStatus::Interrupted;
  }
  // What is left is in the hardware's own buffer, a few bytes at most.
  while (::tcdrain(n.fd) != 0) {
    if (errno != EINTR) return lost(std::strerror(errno));
    if (n.woken()) return LinkStatus::Interrupted;
  }
  undrained_ = false;
  return LinkStatus::Ok;
}

LinkStatus SerialPort::writeFinal(std::string_view bytes, LinkClock::time_point deadline) {
  const int wake = native_->wakeFd;
  native_->wakeFd = -1;
  size_t written = 0;
  LinkStatus status = write(bytes, deadline, written);
  if (status == LinkStatus::Ok) {
    status = drain(std::max(std::chrono::milliseconds(1),
                            std::chrono::ceil<std::chrono::milliseconds>(deadline - LinkClock::now())));
  }
  native_->wakeFd = wake;
  return status;
}

}  // namespace vennik
