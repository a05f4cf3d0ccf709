#include "board/port/serial_port.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "base/windows_text.h"

namespace vennik {

namespace {

// "COM12" (any case) as "\\.\COM12", the only form that reaches COM10 and
// above; any other name (one given as "\\.\COM12" already) as it is.
std::wstring devicePath(const std::string& name) {
  const bool comName = name.size() > 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
                       std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
                       std::toupper(static_cast<unsigned char>(name[2])) == 'M' &&
                       std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
  return wideText(comName ? "\\\\.\\" + name : name);
}

PortOpenFailure failureFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
    case ERROR_DEV_NOT_EXIST: return PortOpenFailure::NotFound;
    // A COM port is opened by one program at a time: Windows refuses the
    // next with "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY: return PortOpenFailure::InUse;
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED: return PortOpenFailure::NotSerial;
    default: return PortOpenFailure::Other;
  }
}

DWORD millisUntil(LinkClock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - LinkClock::now()).count();
  return left <= 0 ? 0 : static_cast<DWORD>(std::min<long long>(left, 60'000));
}

}  // namespace

// A read takes what has arrived at once; when nothing has, a read of one
// byte waits for the next, and is kept under way between calls: a wait that
// times out or is woken leaves it pending, and the next call waits on it
// again, so that no byte is lost to a cancel. (Windows' own "return what has
// come" time-outs are not kept by every driver, nor by wine.) Reads and
// writes have events of their own, so that one thread may read while
// another writes.
struct SerialPort::Native {
  HANDLE port = INVALID_HANDLE_VALUE;
  HANDLE wake = nullptr;  // signalled: the user asks to stop (null: never)
  bool restore = false;   // found and foundTimeouts hold the settings to give back
  DCB found{};
  COMMTIMEOUTS foundTimeouts{};
  OVERLAPPED readIo{};
  OVERLAPPED writeIo{};
  bool reading = false;  // readIo, for one byte into buffer, is under way
  char buffer[4096];

  ~Native() {
    if (reading) {
      DWORD n = 0;
      ::CancelIoEx(port, &readIo);
      ::GetOverlappedResult(port, &readIo, &n, TRUE);
    }
    if (restore) {
      ::SetCommState(port, &found);
      ::SetCommTimeouts(port, &foundTimeouts);
    }
    if (port != INVALID_HANDLE_VALUE) ::CloseHandle(port);
    for (HANDLE event : {readIo.hEvent, writeIo.hEvent}) {
      if (event) ::CloseHandle(event);
    }
  }

  bool woken() const { return wake && ::WaitForSingleObject(wake, 0) == WAIT_OBJECT_0; }

  // Waits until `io` completes, the user stops or the deadline passes.
  LinkStatus await(OVERLAPPED& io, LinkClock::time_point deadline) const {
    const HANDLE handles[2] = {io.hEvent, wake};
    for (;;) {
      const DWORD r = ::WaitForMultipleObjects(wake ? 2 : 1, handles, FALSE, millisUntil(deadline));
      if (r == WAIT_OBJECT_0) return LinkStatus::Ok;
      if (r == WAIT_OBJECT_0 + 1) return LinkStatus::Interrupted;
      if (r == WAIT_TIMEOUT && LinkClock::now() >= deadline) return LinkStatus::TimedOut;
      if (r == WAIT_FAILED) return LinkStatus::Lost;
    }
  }
};

SerialPort::SerialPort(std::unique_ptr<Native> native) : native_(std::move(native)) {}

std::unique_ptr<SerialPort> SerialPort::open(const std::string& path, int baud, WakeHandle wake, PortOpenError& error) {
  auto fail = [&](DWORD code) {
    error = {failureFor(code), windowsErrorText(code)};
    return nullptr;
  };
  if (!serialBaudSupported(baud)) return fail(ERROR_INVALID_PARAMETER);
  auto native = std::make_unique<Native>();
  Native& n = *native;
  n.wake = wake.valid() ? reinterpret_cast<HANDLE>(wake.native()) : nullptr;
  n.readIo.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  n.writeIo.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!n.readIo.hEvent || !n.writeIo.hEvent) return fail(::GetLastError());
  // No sharing: a COM port is this program's alone while it is open.
  n.port = ::CreateFileW(devicePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
  if (n.port == INVALID_HANDLE_VALUE) return fail(::GetLastError());
  if (::GetFileType(n.port) != FILE_TYPE_CHAR) return fail(ERROR_INVALID_FUNCTION);
  if (!::GetCommState(n.port, &n.found) || !::GetCommTimeouts(n.port, &n.foundTimeouts)) return fail(::GetLastError());
  n.restore = true;

  DCB dcb = n.found;
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = static_cast<DWORD>(baud);
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  // A PicoMite's USB console sends nothing until the terminal is ready.
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  if (!::SetCommState(n.port, &dcb)) return fail(::GetLastError());
  // No time limits of the port's own: a read waits for all it asks for,
  // which is never more than has come or one byte. Every wait is bounded
  // here, by the caller's deadline.
  COMMTIMEOUTS timeouts{};
  if (!::SetCommTimeouts(n.port, &timeouts)) return fail(::GetLastError());
  ::PurgeComm(n.port, PURGE_RXCLEAR);
  return std::unique_ptr<SerialPort>(new SerialPort(std::move(native)));
}

SerialPort::~SerialPort() {
  // What was written is drained first (a final ACK, a CAN CAN, the Ctrl-C of
  // a stopped send: the board must see them), and dropped only when the
  // board has stopped taking bytes, so that closing never waits on a stuck
  // board. The settings go back as the port is closed (Native).
  if (undrained_) {
    native_->wake = nullptr;  // the user's stop has been seen: this is the way out
    if (drain(kCloseStall) != LinkStatus::Ok) ::PurgeComm(native_->port, PURGE_TXABORT | PURGE_TXCLEAR);
  }
}

LinkStatus SerialPort::write(std::string_view bytes, LinkClock::time_point deadline, size_t& written) {
  Native& n = *native_;
  written = 0;
  undrained_ = true;
  while (written < bytes.size()) {
    if (n.woken()) return LinkStatus::Interrupted;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 16));
    ::ResetEvent(n.writeIo.hEvent);
    DWORD count = 0;
    if (!::WriteFile(n.port, bytes.data() + written, chunk, &count, &n.writeIo)) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_IO_PENDING) return lost(windowsErrorText(error));
      LinkStatus status = n.await(n.writeIo, deadline);
      if (status != LinkStatus::Ok) {
        // Stopped part-way: what went, went.
        ::CancelIoEx(n.port, &n.writeIo);
        ::GetOverlappedResult(n.port, &n.writeIo, &count, TRUE);
        written += count;
        return status == LinkStatus::Lost ? lost(windowsErrorText(::GetLastError())) : status;
      }
      if (!::GetOverlappedResult(n.port, &n.writeIo, &count, FALSE)) return lost(windowsErrorText(::GetLastError()));
    }
    written += count;
  }
  return LinkStatus::Ok;
}

namespace {

// Whether a console has a key waiting: what else it holds (a key let go, the
// mouse, the window's size) is taken away, so that a read of the keys never
// waits on it.
bool consoleHasKey(HANDLE console) {
  INPUT_RECORD records[64];
  for (;;) {
    DWORD count = 0;
    if (!::PeekConsoleInputW(console, records, 64, &count) || count == 0) return false;
    for (DWORD i = 0; i < count; ++i) {
      const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
      if (records[i].EventType == KEY_EVENT && key.bKeyDown && key.uChar.UnicodeChar != 0) return true;
    }
    if (!::ReadConsoleInputW(console, records, count, &count)) return false;
  }
}

}  // namespace

LinkStatus SerialPort::awaitEither(int other, LinkClock::time_point deadline, bool& otherReady) {
  Native& n = *native_;
  otherReady = false;
  // A keyboard is a console, whose handle is signalled while it holds
  // input; a pipe, which cannot be waited on and is looked at every
  // kPipeLook; or a file, always ready.
  constexpr DWORD kPipeLook = 20;
  const HANDLE keys = other >= 0 ? reinterpret_cast<HANDLE>(::_get_osfhandle(other)) : INVALID_HANDLE_VALUE;
  const DWORD keysType = keys != INVALID_HANDLE_VALUE ? ::GetFileType(keys) : FILE_TYPE_UNKNOWN;
  for (;;) {
    if (n.woken()) return LinkStatus::Interrupted;
    if (keysType == FILE_TYPE_DISK) {
      otherReady = true;
      return LinkStatus::Ok;
    }
    if (keysType == FILE_TYPE_PIPE) {
      DWORD waiting = 0;
      // A pipe whose writer has gone is ready too: the read finds its end.
      if (!::PeekNamedPipe(keys, nullptr, 0, nullptr, &waiting, nullptr) || waiting > 0) {
        otherReady = true;
        return LinkStatus::Ok;
      }
    }
    if (keysType == FILE_TYPE_CHAR && consoleHasKey(keys)) {
      otherReady = true;
      return LinkStatus::Ok;
    }
    // The port: what has come, else one byte asked for, as read() does.
    if (!n.reading) {
      DWORD errors = 0;
      COMSTAT queue{};
      if (!::ClearCommError(n.port, &errors, &queue)) return lost(windowsErrorText(::GetLastError()));
      if (queue.cbInQue > 0) return LinkStatus::Ok;
      DWORD count = 0;
      ::ResetEvent(n.readIo.hEvent);
      if (::ReadFile(n.port, n.buffer, 1, &count, &n.readIo)) {
        // Done at once: read() takes the byte from the finished read.
        n.reading = true;
        ::SetEvent(n.readIo.hEvent);
        return LinkStatus::Ok;
      }
      if (::GetLastError() != ERROR_IO_PENDING) return lost(windowsErrorText(::GetLastError()));
      n.reading = true;
    }
    HANDLE handles[3] = {n.readIo.hEvent};
    DWORD count = 1;
    const DWORD wakeAt = n.wake ? count : MAXDWORD;
    if (n.wake) handles[count++] = n.wake;
    const DWORD keysAt = keysType == FILE_TYPE_CHAR ? count : MAXDWORD;
    if (keysType == FILE_TYPE_CHAR) handles[count++] = keys;
    DWORD wait = millisUntil(deadline);
    if (keysType == FILE_TYPE_PIPE) wait = std::min(wait, kPipeLook);
    const DWORD r = ::WaitForMultipleObjects(count, handles, FALSE, wait);
    if (r == WAIT_OBJECT_0) return LinkStatus::Ok;
    if (r == WAIT_OBJECT_0 + wakeAt) return LinkStatus::Interrupted;
    if (r == WAIT_OBJECT_0 + keysAt) continue;  // looked at above
    if (r == WAIT_FAILED) return lost(windowsErrorText(::GetLastError()));
    if (r == WAIT_TIMEOUT && LinkClock::now() >= deadline) return LinkStatus::TimedOut;
  }
}

LinkStatus SerialPort::read(LinkClock::time_point deadline, std::string& in) {
  Native& n = *native_;
  const size_t before = in.size();
  for (;;) {
    // Looked at before every wait: a board that never stops sending would
    // otherwise never let the wait see the user's stop.
    if (n.woken()) return LinkStatus::Interrupted;
    DWORD count = 0;
    if (n.reading) {
      const LinkStatus status = n.await(n.readIo, deadline);
      if (status == LinkStatus::Lost) return lost(windowsErrorText(::GetLastError()));
      if (status != LinkStatus::Ok) return status;  // the read stays under way
      n.reading = false;
      if (!::GetOverlappedResult(n.port, &n.readIo, &count, FALSE)) return lost(windowsErrorText(::GetLastError()));
      in.append(n.buffer, count);
    }
    // What has come besides, at once: a read of no more than is there
    // completes without waiting.
    DWORD errors = 0;
    COMSTAT queue{};
    if (!::ClearCommError(n.port, &errors, &queue)) return lost(windowsErrorText(::GetLastError()));
    const DWORD waiting = std::min<DWORD>(queue.cbInQue, sizeof n.buffer);
    if (waiting == 0 && in.size() > before) return LinkStatus::Ok;
    // Nothing yet: one byte, waited for above.
    const DWORD asked = waiting > 0 ? waiting : 1;
    ::ResetEvent(n.readIo.hEvent);
    if (!::ReadFile(n.port, n.buffer, asked, &count, &n.readIo)) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_IO_PENDING) return lost(windowsErrorText(error));
      if (waiting == 0) {
        n.reading = true;
        continue;
      }
      if (!::GetOverlappedResult(n.port, &n.readIo, &count, TRUE)) return lost(windowsErrorText(::GetLastError()));
    }
    in.append(n.buffer, count);
    if (in.size() > before) return LinkStatus::Ok;
  }
}

LinkStatus SerialPort::drain(std::chrono::milliseconds stall) {
  const Native& n = *native_;
  // The queue is watched rather than flushed with FlushFileBuffers, which
  // has no time limit: a board that stops taking bytes would hold it for
  // ever.
  constexpr DWORD kLook = 10;
  DWORD last = MAXDWORD;
  auto deadline = LinkClock::now() + stall;
  for (;;) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(n.port, &errors, &status)) return lost(windowsErrorText(::GetLastError()));
    if (status.cbOutQue == 0) break;
    if (last == MAXDWORD || status.cbOutQue < last) deadline = LinkClock::now() + stall;
    last = status.cbOutQue;
    if (LinkClock::now() >= deadline) return LinkStatus::TimedOut;
    if (n.wake ? ::WaitForSingleObject(n.wake, kLook) == WAIT_OBJECT_0 : (::Sleep(kLook), false))
      return LinkStatus::Interrupted;
  }
  undrained_ = false;
  return LinkStatus::Ok;
}

LinkStatus SerialPort::writeFinal(std::string_view bytes, LinkClock::time_point deadline) {
  const HANDLE wake = native_->wake;
  native_->wake = nullptr;
  size_t written = 0;
  LinkStatus status = write(bytes, deadline, written);
  if (status == LinkStatus::Ok) {
    status = drain(std::max(std::chrono::milliseconds(1),
                            std::chrono::ceil<std::chrono::milliseconds>(deadline - LinkClock::now())));
  }
  native_->wake = wake;
  return status;
}

}  // namespace vennik
