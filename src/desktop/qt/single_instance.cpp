#include "desktop/qt/single_instance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace vennik {

namespace {

constexpr char kAck = 0x06;
// Pause between connection attempts while the first instance is starting.
constexpr int kRetryPauseMs = 20;

// QStandardPaths checks that $XDG_RUNTIME_DIR belongs to this user and is not
// open to others; when it is unset or unfit, it makes a private per-user
// folder under the temp folder instead.
QString runtimeFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

// Both names in one folder, looked up once: the lookup may warn each time.
struct ChannelPaths {
  QString lock;
  QString socket;
  bool valid() const { return !lock.isEmpty(); }
};

ChannelPaths channelPaths() {
  const QString folder = runtimeFolder();
  if (folder.isEmpty()) return {};
  return {folder + QLatin1String("/VennikPlus.lock"), folder + QLatin1String("/VennikPlus.socket")};
}

// A starting instance writes its lock file's content right after creating
// it; content that cannot be read is taken as final only once the file is
// this old.
constexpr int kUnwrittenLockGraceMs = 500;
// How long to wait while another start is clearing a stale lock.
constexpr int kClearingWaitMs = 2000;

QString executableOf(qint64 pid) {
  return QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
}

// Whether the owner of a lock that could not be taken has gone: its content
// cannot be read, it was written by another program or on another machine,
// or its process no longer runs or is no longer this program (the number was
// reused). A wrong guess cannot break a live lock: removing the file is
// refused while its owner holds it open and locked.
bool ownerGone(const QLockFile& lock, const QString& path) {
  qint64 pid = 0;
  QString host, application;
  if (!lock.getLockInfo(&pid, &host, &application)) {
    const qint64 age = QFileInfo(path).lastModified().msecsTo(QDateTime::currentDateTime());
    if (age >= 0 && age < kUnwrittenLockGraceMs) QThread::msleep(static_cast<unsigned long>(kUnwrittenLockGraceMs - age));
    if (!lock.getLockInfo(&pid, &host, &application)) return true;
  }
  if (application != QCoreApplication::applicationName()) return true;
  if (!host.isEmpty() && host != QSysInfo::machineHostName()) return true;
  if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return true;
  const QString owner = executableOf(pid);
  return !owner.isEmpty() && owner != executableOf(QCoreApplication::applicationPid());
}

// Whether the sender has hung up, all it wrote having been read: a start
// that gave up waiting for the acknowledgement has said that nothing was
// handed over, so what it sent is not to be acted on.
bool senderHasHungUp(QLocalSocket* socket) {
  if (socket->state() != QLocalSocket::ConnectedState) return true;
  const qintptr fd = socket->socketDescriptor();
  if (fd < 0) return true;
  char byte = 0;
  return ::recv(int(fd), &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

int remainingMs(const QDeadlineTimer& deadline) {
  return int(qMax<qint64>(0, deadline.remainingTime()));
}

// Connects within the deadline. A refused or missing socket is retried only
// while the lock file exists, that is while a first instance is on its way to
// listening; without one there is nobody to wait for.
bool connectWithin(QLocalSocket& socket, const ChannelPaths& paths,
                   const QDeadlineTimer& deadline) {
  for (;;) {
    socket.connectToServer(paths.socket);
    if (socket.waitForConnected(remainingMs(deadline))) return true;
    socket.abort();
    if (deadline.hasExpired() || !QFileInfo::exists(paths.lock)) return false;
    QThread::msleep(qMin(kRetryPauseMs, remainingMs(deadline)));
  }
}

}  // namespace

// What one connection has delivered so far.
struct SingleInstance::Incoming {
  QByteArray text;
  bool terminated = false;  // the zero byte arrived
  bool capped = false;      // kMaxPayload bytes arrived without a zero byte
  bool delivered = false;
  bool abandoned = false;  // timed out; nothing is delivered
};

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() { close(); }

void SingleInstance::close() {
  server_.reset();  // removes the socket file while the lock is still held
  lock_.reset();
}

QString SingleInstance::lockFilePath() { return channelPaths().lock; }

QString SingleInstance::socketPath() { return channelPaths().socket; }

bool SingleInstance::tryBecomePrimary() {
  if (lock_ && lock_->isLocked()) return true;
  const ChannelPaths paths = channelPaths();
  if (!paths.valid()) {
    qWarning("SingleInstance: no private runtime folder; running without a hand-off channel");
    return true;
  }
  lock_ = std::make_unique<QLockFile>(paths.lock);
  bool locked = lock_->tryLock(0);
  if (!locked && lock_->error() == QLockFile::LockFailedError) {
    // One start at a time decides and clears, under the same guard that Qt
    // takes for its own clearing, so that none removes a lock another has
    // just made.
    QLockFile clearing(paths.lock + QLatin1String(".rmlock"));
    if (clearing.tryLock(kClearingWaitMs) && ownerGone(*lock_, paths.lock)) {
      lock_->removeStaleLockFile();
      locked = lock_->tryLock(0);
    }
  }
  if (locked) {
    listen(paths.socket);
    return true;
  }
  if (lock_->error() == QLockFile::LockFailedError) return false;
  // Not held by anyone, just impossible to create: run as the first instance
  // but do not listen, since without the lock a live server could be taken over.
  qWarning("SingleInstance: cannot create %s; running without a hand-off channel",
           qPrintable(paths.lock));
  return true;
}

void SingleInstance::listen(const QString& path) {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // Only the lock holder gets here, so whatever socket is there is stale.
  QLocalServer::removeServer(path);
  if (!server_->listen(path)) {
    qWarning("SingleInstance: cannot listen on %s: %s", qPrintable(path),
             qPrintable(server_->errorString()));
    return;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

void SingleInstance::acceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) watch(socket);
}

void SingleInstance::watch(QLocalSocket* socket) {
  auto in = std::make_shared<Incoming>();

  // A slow or silent sender is dropped, so connections cannot pile up.
  auto* timer = new QTimer(socket);
  timer->setSingleShot(true);
  connect(timer, &QTimer::timeout, socket, [socket, in] {
    in->abandoned = !in->delivered;
    socket->abort();
  });
  timer->start(connectionTimeoutMs_);

  connect(socket, &QLocalSocket::readyRead, this, [this, socket, in] { readFrom(socket, *in); });
  connect(socket, &QLocalSocket::disconnected, this, [this, socket, in] {
    if (!in->abandoned) {
      readFrom(socket, *in);
      // A sender that hung up without the zero byte: take what it sent. A
      // connection that carried no byte at all is no message.
      if (!in->delivered && !in->text.isEmpty()) deliver(socket, *in);
    }
    socket->deleteLater();
  });
  // Data may have arrived before the signals were connected.
  if (socket->bytesAvailable() > 0) readFrom(socket, *in);
}

void SingleInstance::readFrom(QLocalSocket* socket, Incoming& in) {
  if (in.abandoned) return;
  if (in.terminated || in.capped) {
    socket->readAll();  // beyond the message: drained so the sender can finish writing
    return;
  }
  while (socket->bytesAvailable() > 0) {
    const QByteArray chunk = socket->read(kMaxPayload - in.text.size());
    const qsizetype zero = chunk.indexOf('\0');
    if (zero >= 0) {
      in.text.append(chunk.constData(), zero);
      in.terminated = true;
      break;
    }
    in.text.append(chunk);
    if (in.text.size() >= kMaxPayload) {
      in.capped = true;
      break;
    }
  }
  if (in.terminated || in.capped) {
    socket->readAll();
    deliver(socket, in);
  }
}

void SingleInstance::deliver(QLocalSocket* socket, Incoming& in) {
  in.delivered = true;
  // A whole text whose sender is gone was withdrawn (it timed out). One cut
  // short by a hang-up is all such a sender meant to send, and is taken.
  if (in.terminated && senderHasHungUp(socket)) return;
  const QPointer<QLocalSocket> guard(socket);
  emit commandTextReceived(in.text);
  if (!guard || socket->state() != QLocalSocket::ConnectedState) return;
  socket->write(&kAck, 1);
  socket->flush();
  // A capped sender may still be writing its surplus; it is drained until it
  // hangs up after reading the acknowledgement (or the timer drops it).
  if (in.terminated) socket->disconnectFromServer();
}

bool SingleInstance::sendToPrimary(const QByteArray& utf8CommandText, int timeoutMs) {
  const ChannelPaths paths = channelPaths();
  if (!paths.valid()) return false;
  const QDeadlineTimer deadline(qMax(0, timeoutMs));

  QLocalSocket socket;
  if (!connectWithin(socket, paths, deadline)) return false;

  QByteArray payload = utf8CommandText;
  payload.append('\0');
  socket.write(payload);
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(remainingMs(deadline))) return false;
  }
  // Giving up hangs up, which withdraws the text: a first instance that
  // wakes later finds its sender gone and leaves it.
  while (socket.bytesAvailable() == 0) {
    if (!socket.waitForReadyRead(remainingMs(deadline))) return false;
  }
  char reply = 0;
  socket.getChar(&reply);
  socket.disconnectFromServer();
  return reply == kAck;
}

}  // namespace vennik
