#pragma once
// One running instance per user, and the channel through which a later start
// hands its command text to it.
//
// The first instance is elected by a lock file alone; only the lock holder
// replaces a leftover socket and listens, because a user-only local server
// silently takes over the name of a live one. A later start connects, sends
// the UTF-8 command text ended by one zero byte and waits for a one-byte
// acknowledgement. Lock and socket live in the user's private runtime folder
// ($XDG_RUNTIME_DIR, or Qt's per-user fallback under the temp folder).
#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace vennik {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // The most a hand-off carries; bytes beyond it are read and thrown away.
  static constexpr qsizetype kMaxPayload = 1024 * 1024;

  explicit SingleInstance(QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when this process is the first instance: it holds the per-user lock
  // for its whole life, removes a stale socket and listens (user-only). A
  // lock whose owner has gone (content that cannot be read, another
  // program's, a process that no longer runs) is removed and taken.
  // Also true, without a hand-off channel, when no private runtime folder or
  // lock file can be had: a start that cannot tell behaves as the first one.
  bool tryBecomePrimary();

  // A later start: connect, send the UTF-8 command text plus one zero byte,
  // wait until the first instance acknowledges it has taken the text; false
  // when nothing answered within timeoutMs. Giving up hangs up, and a first
  // instance that reads the text after its sender hung up drops it, so a
  // start that says nothing was handed over is not contradicted later. While the lock is held but nobody
  // listens yet (the first instance is still starting), connecting is retried
  // until the time is up; with no lock at all it gives up at once.
  static bool sendToPrimary(const QByteArray& utf8CommandText, int timeoutMs = 3000);

  // Where the lock file and the socket are; empty when there is no private
  // runtime folder.
  // Stops listening and gives the lock back, as the destructor does.
  void close();

  static QString lockFilePath();
  static QString socketPath();

  // How long one incoming connection may take from accept to its complete
  // payload before it is dropped unread (default 5 s).
  void setConnectionTimeout(int ms) { connectionTimeoutMs_ = ms; }

 signals:
  // The received text: the bytes up to the first zero byte (never beyond
  // what was received), payload capped at kMaxPayload; not for a whole text
  // whose sender has hung up before it was read (it gave up waiting). Emitted before the
  // acknowledgement is sent, so the receiver's receiving step is done when
  // the sender ends.
  void commandTextReceived(const QByteArray& utf8Text);

 private:
  struct Incoming;

  void listen(const QString& path);
  void acceptConnections();
  void watch(QLocalSocket* socket);
  void readFrom(QLocalSocket* socket, Incoming& in);
  void deliver(QLocalSocket* socket, Incoming& in);

  std::unique_ptr<QLockFile> lock_;
  // Owned here rather than as a child so that it is closed, and its socket
  // file removed, before the lock is released: otherwise a successor that
  // took the lock in between could lose its freshly created socket.
  std::unique_ptr<QLocalServer> server_;
  int connectionTimeoutMs_ = 5000;
};

}  // namespace vennik
