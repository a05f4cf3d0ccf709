#include "platform/single_instance.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <memory>

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

SingleInstance::~SingleInstance() {
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
  // The lock is held for the whole run, so it must never go stale by age;
  // a lock left by a killed process is still cleared, by its dead PID.
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) {
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
  while (socket.bytesAvailable() == 0) {
    if (!socket.waitForReadyRead(remainingMs(deadline))) return false;
  }
  char reply = 0;
  socket.getChar(&reply);
  socket.disconnectFromServer();
  return reply == kAck;
}

}  // namespace vennik
