// The single-instance lock and hand-off channel, with real sockets and real
// processes. Each test gets its own private runtime folder.
#include <signal.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <future>
#include <memory>

#include "desktop/qt/single_instance.h"

using vennik::SingleInstance;
using namespace std::chrono_literals;

namespace {

// A sender blocks until it is acknowledged, so in-process it runs on its own
// thread while the test's event loop serves the receiving side.
std::future<bool> sendInBackground(const QByteArray& text, int timeoutMs = 3000) {
  return std::async(std::launch::async,
                    [text, timeoutMs] { return SingleInstance::sendToPrimary(text, timeoutMs); });
}

bool isDone(std::future<bool>& result) { return result.wait_for(0ms) == std::future_status::ready; }

QByteArray receivedText(const QSignalSpy& spy, int index = 0) {
  return spy.at(index).at(0).toByteArray();
}

// Hands text over in-process and returns what the first instance received.
QByteArray handOver(SingleInstance& primary, const QByteArray& text) {
  QSignalSpy spy(&primary, &SingleInstance::commandTextReceived);
  auto sent = sendInBackground(text);
  if (!QTest::qWaitFor([&] { return isDone(sent); }, 5000) || !sent.get() || spy.count() != 1)
    return "<no hand-off>";
  return receivedText(spy);
}

constexpr QFile::Permissions kOpenToOthers = QFile::ReadGroup | QFile::WriteGroup |
                                             QFile::ExeGroup | QFile::ReadOther |
                                             QFile::WriteOther | QFile::ExeOther;

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void electsOneFirstInstanceAndReleasesAtTheEnd();
  void handsTextOver_data();
  void handsTextOver();
  void acknowledgesOnlyAfterTheTextIsTaken();
  void takesWhatAnEarlyHangUpSent();
  void dropsASilentSenderWithoutBlockingOthers();
  void dropsTheTextOfASenderThatGaveUp();
  void replacesAStaleSocketFile();
  void takesOverFromAKilledFirstInstance();
  void takesOverALockNobodyOwns_data();
  void takesOverALockNobodyOwns();
  void simultaneousStartsGiveOneFirstInstance();
  void senderGivesUpWhenNobodyAnswers();
  void senderWaitsForAFirstInstanceThatIsStarting();
  void fallsBackToAPrivateFolderUnderTemp();

 private:
  QProcess* startProbe(const QStringList& args);

  std::unique_ptr<QTemporaryDir> runtime_;
  QByteArray savedRuntimeDir_;
  QByteArray savedTempDir_;
};

void SingleInstanceTest::init() {
  savedRuntimeDir_ = qgetenv("XDG_RUNTIME_DIR");
  savedTempDir_ = qgetenv("TMPDIR");
  runtime_ = std::make_unique<QTemporaryDir>();
  QVERIFY(runtime_->isValid());
  QVERIFY(QFile::setPermissions(runtime_->path(),
                                QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
}

void SingleInstanceTest::cleanup() {
  qputenv("XDG_RUNTIME_DIR", savedRuntimeDir_);
  if (savedTempDir_.isEmpty())
    qunsetenv("TMPDIR");
  else
    qputenv("TMPDIR", savedTempDir_);
  runtime_.reset();
}

QProcess* SingleInstanceTest::startProbe(const QStringList& args) {
  auto* probe = new QProcess(this);
  probe->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  probe->start(QStringLiteral(PROBE_PATH), args);
  return probe;
}

void SingleInstanceTest::electsOneFirstInstanceAndReleasesAtTheEnd() {
  const QString lockPath = SingleInstance::lockFilePath();
  const QString socketPath = SingleInstance::socketPath();
  QCOMPARE(QFileInfo(lockPath).absolutePath(), runtime_->path());
  QCOMPARE(QFileInfo(socketPath).absolutePath(), runtime_->path());
  {
    SingleInstance first;
    QVERIFY(first.tryBecomePrimary());
    QVERIFY(QFileInfo::exists(lockPath));
    QVERIFY(QFileInfo::exists(socketPath));
    QCOMPARE(QFileInfo(socketPath).permissions() & kOpenToOthers, QFile::Permissions());

    SingleInstance second;
    QVERIFY(!second.tryBecomePrimary());

    // A first instance that has run for an hour still holds its lock.
    QFile lockFile(lockPath);
    QVERIFY(lockFile.open(QIODevice::ReadOnly));
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
    lockFile.close();
    SingleInstance third;
    QVERIFY(!third.tryBecomePrimary());

    // The refused starts left the first instance's channel alone.
    QCOMPARE(handOver(first, "still here"), QByteArray("still here"));
  }
  QVERIFY(!QFileInfo::exists(lockPath));
  QVERIFY(!QFileInfo::exists(socketPath));
  SingleInstance next;
  QVERIFY(next.tryBecomePrimary());
  QCOMPARE(handOver(next, "next"), QByteArray("next"));
}

void SingleInstanceTest::handsTextOver_data() {
  QTest::addColumn<QByteArray>("sent");
  QTest::addColumn<QByteArray>("received");
  const QByteArray path = "/home/user/basic/blink.bas";
  QTest::newRow("path") << path << path;
  const QByteArray unicode = "/home/zoë/программы/π, ✓ 🚀.bas";
  QTest::newRow("non-ASCII UTF-8") << unicode << unicode;
  QTest::newRow("empty") << QByteArray() << QByteArray();
  QTest::newRow("zero byte inside") << QByteArray("first\0second", 12) << QByteArray("first");
  const auto cap = SingleInstance::kMaxPayload;
  QTest::newRow("exactly the cap") << QByteArray(cap, 'a') << QByteArray(cap, 'a');
  QTest::newRow("over the cap") << QByteArray(cap, 'b') + QByteArray(cap / 2, 'c')
                                << QByteArray(cap, 'b');
}

void SingleInstanceTest::handsTextOver() {
  QFETCH(QByteArray, sent);
  QFETCH(QByteArray, received);
  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  QSignalSpy spy(&primary, &SingleInstance::commandTextReceived);

  auto result = sendInBackground(sent);
  QTRY_VERIFY_WITH_TIMEOUT(isDone(result), 5000);
  QVERIFY(result.get());
  QCOMPARE(spy.count(), 1);
  QCOMPARE(receivedText(spy).size(), received.size());
  QCOMPARE(receivedText(spy), received);
  // The connection is finished with; nothing more arrives later.
  QTest::qWait(50);
  QCOMPARE(spy.count(), 1);
}

void SingleInstanceTest::acknowledgesOnlyAfterTheTextIsTaken() {
  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  auto result = sendInBackground("late.bas");
  bool senderWaited = false;
  connect(&primary, &SingleInstance::commandTextReceived, this, [&] {
    senderWaited = result.wait_for(150ms) == std::future_status::timeout;
  });
  QTRY_VERIFY_WITH_TIMEOUT(isDone(result), 5000);
  QVERIFY(senderWaited);
  QVERIFY(result.get());
}

void SingleInstanceTest::takesWhatAnEarlyHangUpSent() {
  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  QSignalSpy spy(&primary, &SingleInstance::commandTextReceived);

  // No zero byte: the text is what arrived before the hang-up.
  QLocalSocket partial;
  partial.connectToServer(SingleInstance::socketPath());
  QVERIFY(partial.waitForConnected(1000));
  partial.write("/tmp/ünterminated.bas");
  partial.flush();
  partial.disconnectFromServer();
  QTRY_COMPARE(spy.count(), 1);
  QCOMPARE(receivedText(spy), QByteArray("/tmp/ünterminated.bas"));

  // Connected and gone without a byte: not a message.
  QLocalSocket empty;
  empty.connectToServer(SingleInstance::socketPath());
  QVERIFY(empty.waitForConnected(1000));
  empty.disconnectFromServer();
  QTest::qWait(100);
  QCOMPARE(spy.count(), 1);
  QCOMPARE(handOver(primary, "after"), QByteArray("after"));
}

void SingleInstanceTest::dropsASilentSenderWithoutBlockingOthers() {
  SingleInstance primary;
  primary.setConnectionTimeout(300);
  QVERIFY(primary.tryBecomePrimary());
  QSignalSpy spy(&primary, &SingleInstance::commandTextReceived);

  QLocalSocket silent;
  silent.connectToServer(SingleInstance::socketPath());
  QVERIFY(silent.waitForConnected(1000));
  silent.write("half a pa");  // and then nothing, not even a hang-up
  silent.flush();

  // Others get through meanwhile.
  auto result = sendInBackground("meanwhile.bas");
  QTRY_VERIFY_WITH_TIMEOUT(isDone(result), 5000);
  QVERIFY(result.get());
  QCOMPARE(spy.count(), 1);
  QCOMPARE(receivedText(spy), QByteArray("meanwhile.bas"));

  // The silent one is cut off and its fragment never delivered.
  QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 3000);
  QTest::qWait(50);
  QCOMPARE(spy.count(), 1);
}

// A first instance that was busy (or stopped) past the sender's time-out
// finds the whole text and the sender gone: the sender has said nothing was
// handed over, so the text is left alone.
void SingleInstanceTest::dropsTheTextOfASenderThatGaveUp() {
  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  QSignalSpy spy(&primary, &SingleInstance::commandTextReceived);
  // The receiving side runs only in this thread's event loop, which the
  // sender does not give a turn before it ends.
  auto gaveUp = sendInBackground("late.bas", 100);
  QVERIFY(gaveUp.wait_for(5s) == std::future_status::ready);
  QVERIFY(!gaveUp.get());
  // Connections are taken in turn: once the next one is through, the first
  // has been read.
  QCOMPARE(handOver(primary, "after.bas"), QByteArray("after.bas"));
  QCOMPARE(spy.count(), 1);
  QCOMPARE(receivedText(spy), QByteArray("after.bas"));
}

void SingleInstanceTest::replacesAStaleSocketFile() {
  QFile leftover(SingleInstance::socketPath());
  QVERIFY(leftover.open(QIODevice::WriteOnly));
  leftover.write("left behind");
  leftover.close();

  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  QCOMPARE(handOver(primary, "fresh.bas"), QByteArray("fresh.bas"));
}

void SingleInstanceTest::takesOverFromAKilledFirstInstance() {
  QProcess* probe = startProbe({QStringLiteral("unused")});
  QVERIFY(probe->waitForReadyRead(5000));
  QCOMPARE(probe->readLine().trimmed(), QByteArray("primary"));

  // Another process is first: this one may only hand over.
  SingleInstance refused;
  QVERIFY(!refused.tryBecomePrimary());
  const QByteArray text = "/home/jürgen/über.bas";
  QVERIFY(SingleInstance::sendToPrimary(text));
  QTRY_VERIFY_WITH_TIMEOUT(probe->canReadLine(), 3000);
  QCOMPARE(probe->readLine().trimmed(), "received " + text.toHex());

  // Killed, it leaves its lock file and socket behind.
  ::kill(pid_t(probe->processId()), SIGKILL);
  QVERIFY(probe->waitForFinished(5000));
  QVERIFY(QFileInfo::exists(SingleInstance::lockFilePath()));
  QVERIFY(QFileInfo::exists(SingleInstance::socketPath()));

  SingleInstance successor;
  QVERIFY(successor.tryBecomePrimary());
  QCOMPARE(handOver(successor, "after.bas"), QByteArray("after.bas"));
}

void SingleInstanceTest::takesOverALockNobodyOwns_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::newRow("empty") << QByteArray();
  QTest::newRow("not a lock") << QByteArray("\x01\x02 garbage\n");
  // A running process, but not this program: the test's own parent.
  QTest::newRow("another program's") << QByteArray::number(qint64(::getppid())) + "\nsomething-else\n\n";
  QTest::newRow("this program's, run elsewhere")
      << QByteArray::number(qint64(::getppid())) + "\n" + QCoreApplication::applicationName().toUtf8() +
             "\nsome-other-host\n";
}

void SingleInstanceTest::takesOverALockNobodyOwns() {
  // Lock files no live instance holds, written by hand or left by a crash;
  // an empty one just made might be one being written, so it is a second old.
  QFETCH(QByteArray, content);
  QFile lock(SingleInstance::lockFilePath());
  QVERIFY(lock.open(QIODevice::WriteOnly));
  lock.write(content);
  QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
  lock.close();

  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  QCOMPARE(handOver(primary, "taken.bas"), QByteArray("taken.bas"));
  SingleInstance second;
  QVERIFY(!second.tryBecomePrimary());
}

void SingleInstanceTest::simultaneousStartsGiveOneFirstInstance() {
  constexpr int kRounds = 3;
  constexpr int kProbes = 3;
  for (int round = 0; round < kRounds; ++round) {
    const QString at = QString::number(QDateTime::currentMSecsSinceEpoch() + 400);
    QList<QProcess*> probes;
    for (int i = 0; i < kProbes; ++i) {
      probes << startProbe({"--at", at, "--expect", QString::number(kProbes - 1), "--linger",
                            "4000", QStringLiteral("probe-%1").arg(i)});
    }
    int primaries = 0;
    QStringList received;
    for (int i = 0; i < kProbes; ++i) {
      QProcess* probe = probes[i];
      QVERIFY(probe->waitForFinished(8000));
      QCOMPARE(probe->exitCode(), 0);
      const QList<QByteArray> lines = probe->readAllStandardOutput().trimmed().split('\n');
      if (lines.value(0) == "primary") {
        ++primaries;
        for (const QByteArray& line : lines.mid(1))
          received << QString::fromUtf8(QByteArray::fromHex(line.mid(9)));
      } else {
        QCOMPARE(lines.value(0), QByteArray("secondary sent"));
        received << QStringLiteral("probe-%1").arg(i);  // what the first one must have got
      }
      delete probe;
    }
    QCOMPARE(primaries, 1);
    // Each later start's text arrived exactly once.
    QCOMPARE(received.size(), 2 * (kProbes - 1));
    received.sort();
    for (int i = 0; i < received.size(); i += 2) QCOMPARE(received[i], received[i + 1]);
  }
}

void SingleInstanceTest::senderGivesUpWhenNobodyAnswers() {
  // Nothing running: no waiting for the time-out.
  QElapsedTimer clock;
  clock.start();
  QVERIFY(!SingleInstance::sendToPrimary("nobody.bas", 3000));
  QFile leftover(SingleInstance::socketPath());
  QVERIFY(leftover.open(QIODevice::WriteOnly));
  leftover.close();
  QVERIFY(!SingleInstance::sendToPrimary("nobody.bas", 3000));
  QVERIFY2(clock.elapsed() < 1500, "gave up only at the time-out");

  // Something listens but never acknowledges: false once the time is up.
  QVERIFY(QFile::remove(SingleInstance::socketPath()));
  QLocalServer mute;
  QVERIFY(mute.listen(SingleInstance::socketPath()));
  auto result = sendInBackground("unheard.bas", 300);
  QTRY_VERIFY_WITH_TIMEOUT(isDone(result), 3000);
  QVERIFY(!result.get());
}

void SingleInstanceTest::senderWaitsForAFirstInstanceThatIsStarting() {
  // The lock is held but the socket cannot be reached yet, as in the moment
  // after a first instance has won the election and before it listens.
  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  QSignalSpy spy(&primary, &SingleInstance::commandTextReceived);
  const QString socketPath = SingleInstance::socketPath();
  const QString hidden = socketPath + QStringLiteral(".hidden");
  QVERIFY(QFile::rename(socketPath, hidden));

  auto result = sendInBackground("early.bas", 3000);
  QTest::qWait(200);
  QVERIFY(!isDone(result));
  QVERIFY(QFile::rename(hidden, socketPath));
  QTRY_VERIFY_WITH_TIMEOUT(isDone(result), 5000);
  QVERIFY(result.get());
  QCOMPARE(spy.count(), 1);
  QCOMPARE(receivedText(spy), QByteArray("early.bas"));
}

void SingleInstanceTest::fallsBackToAPrivateFolderUnderTemp() {
  qunsetenv("XDG_RUNTIME_DIR");
  qputenv("TMPDIR", QFile::encodeName(runtime_->path()));
  const QString folder = QFileInfo(SingleInstance::lockFilePath()).absolutePath();
  QVERIFY2(folder.startsWith(runtime_->path() + u'/'), qPrintable(folder));

  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  QCOMPARE(QFileInfo(folder).permissions() & kOpenToOthers, QFile::Permissions());
  QCOMPARE(handOver(primary, "fallback.bas"), QByteArray("fallback.bas"));
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
