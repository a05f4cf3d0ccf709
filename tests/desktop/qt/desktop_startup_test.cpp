// The real program started as a user starts it (offscreen): start-up with
// each form of command text, the settings read before and written after the
// event loop, a second start handing its command text to the first, and the
// orderly end on a quit signal. The program is copied into a fresh folder
// for every test, so that its settings file lives there. The tests that check
// what the window shows start the observed build of the program, which
// writes the file label and the text window to text_window.log beside it.
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The settings file for MainW and the like, with CR LF lines.
QByteArray settingsFile(const QList<QByteArray>& windows, const QList<QByteArray>& general) {
  QByteArray out = "\xEF\xBB\xBF\r\n[Windows]\r\n";
  for (const QByteArray& l : windows) out += l + "\r\n";
  out += "\r\n[General]\r\n";
  for (const QByteArray& l : general) out += l + "\r\n";
  return out;
}

// The value of one key line of a settings file ("" when absent).
QByteArray valueOf(const QByteArray& settings, const QByteArray& key) {
  for (const QByteArray& line : settings.split('\n')) {
    const QByteArray l = line.trimmed();
    if (l.startsWith(key + " =")) return l.mid(key.size() + 2).trimmed();
  }
  return "<absent>";
}
}  // namespace

class DesktopStartupTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void aPathIsAnalysedBelowItsOwnLineAndKeptAtExit();
  void noParametersKeepTheLastFileUnread();
  void aClipboardRequestAnalysesAtOnce();
  void aSecondStartHandsOverAndEndsWithZero();
  void twoStartsAtOnceLeaveOneRunning();
  void aQuitSignalAsSoonAsTheSocketExistsStillSaves();
  void theGeometrySurvivesARunAtScaleOneAndAHalf();
  void withoutADisplayTheProgramSaysSo();
  void fifosBlockNeitherTheStartNorTheWindow();
  void aLiveInstanceThatTakesNothingIsReported();
  void settingsThatCannotBeWrittenAreReported();

 private:
  QProcess* start(const QStringList& arguments, const QProcessEnvironment& env) {
    return startProgram(program_, arguments, env);
  }
  QProcess* startObserved(const QStringList& arguments, const QProcessEnvironment& env) {
    return startProgram(observed_, arguments, env);
  }
  QProcess* startProgram(const QString& program, const QStringList& arguments, const QProcessEnvironment& env);
  QProcessEnvironment environment() const;
  QByteArray log() const { return readAll(folder_->filePath("text_window.log")); }
  QString settingsPath() const { return folder_->filePath("VennikPlus.inf"); }
  QString example(const char* name) const { return QDir(VENNIK_EXAMPLES).absoluteFilePath(name); }
  bool waitUntilListening() {
    return QTest::qWaitFor([&] { return QFile::exists(runtime_->filePath("VennikPlus.socket")); }, 10000);
  }
  // Ends the program as a logout would and returns its exit code.
  int quit(QProcess* p) {
    p->terminate();
    if (!p->waitForFinished(10000)) return -1;
    return p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -2;
  }

  std::unique_ptr<QTemporaryDir> folder_, runtime_;
  QString program_, observed_;
  QList<QProcess*> started_;
};

void DesktopStartupTest::init() {
  folder_ = std::make_unique<QTemporaryDir>();
  runtime_ = std::make_unique<QTemporaryDir>();
  QVERIFY(folder_->isValid() && runtime_->isValid());
  QFile::setPermissions(runtime_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  program_ = folder_->filePath("vennikplus");
  QVERIFY(QFile::copy(VENNIKPLUS, program_));
  observed_ = folder_->filePath("vennikplus-observed");
  QVERIFY(QFile::copy(VENNIKPLUS_OBSERVED, observed_));
}

void DesktopStartupTest::cleanup() {
  for (QProcess* p : started_) {
    if (p->state() != QProcess::NotRunning) {
      p->kill();
      p->waitForFinished(5000);
    }
    delete p;
  }
  started_.clear();
}

QProcessEnvironment DesktopStartupTest::environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", VENNIK_OFFSCREEN);
  env.insert("XDG_RUNTIME_DIR", runtime_->path());
  env.insert("HOME", folder_->path());
  env.remove("XDG_CONFIG_HOME");
  env.remove("XDG_DATA_HOME");
  return env;
}

QProcess* DesktopStartupTest::startProgram(const QString& program, const QStringList& arguments,
                                           const QProcessEnvironment& env) {
  auto* p = new QProcess;
  started_ << p;
  p->setProcessEnvironment(env);
  p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p->start(program, arguments);
  p->waitForStarted();
  return p;
}

void DesktopStartupTest::aPathIsAnalysedBelowItsOwnLineAndKeptAtExit() {
  QFile f(settingsPath());
  QVERIFY(f.open(QIODevice::WriteOnly));
  // MainW above the least width, 690, that shows every button whole.
  f.write(settingsFile({"MainX = 20", "MainW = 720", "FontSize = 11"},
                       {"Data Folder = /data/", "Last file = /old.bas", "Library = alpha beta", "Copy mode = 3"}));
  f.close();

  const QString blink = example("blink.bas");
  QProcess* p = startObserved({blink}, environment());
  QVERIFY(QTest::qWaitFor([&] { return log().contains("Time taken"); }, 10000));
  // The label, the path line, then the report headed by the path again.
  const QByteArray path = blink.toUtf8();
  QVERIFY2(log().startsWith(path + "\n" + path + "\n" + path + "\nTime taken"), log().constData());
  QCOMPARE(quit(p), 0);

  const QByteArray saved = readAll(settingsPath());
  QCOMPARE(valueOf(saved, "Last file"), blink.toUtf8());
  QCOMPARE(valueOf(saved, "Data Folder"), QByteArray("/data/"));  // not changed by this path
  QCOMPARE(valueOf(saved, "Copy mode"), QByteArray("3"));
  QCOMPARE(valueOf(saved, "Library"), QByteArray("alpha beta"));
  QCOMPARE(valueOf(saved, "MainX"), QByteArray("20"));
  QCOMPARE(valueOf(saved, "MainW"), QByteArray("720"));
  QCOMPARE(valueOf(saved, "MainH"), QByteArray("287"));
  QCOMPARE(valueOf(saved, "FontSize"), QByteArray("11"));
}

void DesktopStartupTest::noParametersKeepTheLastFileUnread() {
  QFile f(settingsPath());
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(settingsFile({}, {"Last file = " + example("blink.bas").toUtf8()}));
  f.close();

  QProcess* p = startObserved({}, environment());
  QVERIFY(waitUntilListening());
  QCOMPARE(quit(p), 0);
  // The command text is acted on before the event loop takes the quit
  // signal: by the end, nothing was read or shown.
  QCOMPARE(log(), QByteArray());
  const QByteArray saved = readAll(settingsPath());
  QCOMPARE(valueOf(saved, "Last file"), example("blink.bas").toUtf8());
  // An empty source folder became the Documents folder.
  QCOMPARE(valueOf(saved, "Data Folder"), (folder_->path() + "/Documents/").toUtf8());
}

void DesktopStartupTest::aClipboardRequestAnalysesAtOnce() {
  // A clipboard of its own holds nothing at start: the empty text is analysed.
  QProcess* p = startObserved({"/npp", "1", "/VariableReport"}, environment());
  QVERIFY(QTest::qWaitFor([&] { return log().contains("Time taken"); }, 10000));
  QVERIFY2(log().startsWith("Clipboard\nClipboard\nTime taken"), log().constData());
  QCOMPARE(quit(p), 0);
  QCOMPARE(valueOf(readAll(settingsPath()), "Last file"), QByteArray("Clipboard"));
}

void DesktopStartupTest::aSecondStartHandsOverAndEndsWithZero() {
  QProcess* first = startObserved({example("blink.bas")}, environment());
  QVERIFY(QTest::qWaitFor([&] { return log().contains("Time taken"); }, 10000));
  QVERIFY(waitUntilListening());

  // The later starts are the shipped program.
  const QString other = example("thermostat.bas");
  QProcess* second = start({other}, environment());
  QVERIFY(second->waitForFinished(10000));
  QCOMPARE(second->exitStatus(), QProcess::NormalExit);
  QCOMPARE(second->exitCode(), 0);
  // The second start neither read nor wrote settings.
  QVERIFY(!QFile::exists(settingsPath()));

  // The first shows the shortened path in the label and analyses the file.
  QVERIFY(QTest::qWaitFor([&] { return log().startsWith(other.toUtf8() + "\n" + other.toUtf8() + "\nTime taken"); },
                          10000));
  QCOMPARE(first->state(), QProcess::Running);

  // A start without parameters only brings the first to the front; it used
  // to replace the report by that of "none received.". The first instance
  // has taken the text when the start ends, and posted nothing to load.
  const QByteArray shown = log();
  QProcess* third = start({}, environment());
  QVERIFY(third->waitForFinished(10000));
  QCOMPARE(third->exitCode(), 0);
  QCOMPARE(quit(first), 0);
  QCOMPARE(log(), shown);
  QCOMPARE(valueOf(readAll(settingsPath()), "Last file"), other.toUtf8());
}

void DesktopStartupTest::twoStartsAtOnceLeaveOneRunning() {
  QProcess* a = start({example("blink.bas")}, environment());
  QProcess* b = start({example("thermostat.bas")}, environment());
  // One of them hands over and ends with 0; the other keeps running.
  QVERIFY(QTest::qWaitFor([&] { return a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning; },
                          10000));
  QProcess* ended = a->state() == QProcess::NotRunning ? a : b;
  QProcess* running = ended == a ? b : a;
  QCOMPARE(ended->exitCode(), 0);
  QTest::qWait(300);
  QCOMPARE(running->state(), QProcess::Running);
  QCOMPARE(quit(running), 0);
}

void DesktopStartupTest::aQuitSignalAsSoonAsTheSocketExistsStillSaves() {
  // inotify wakes this process the moment the socket file is created or moved
  // into place, so the signal lands as early as another process could send it.
  const int watch = inotify_init1(IN_CLOEXEC);
  QVERIFY(watch >= 0);
  const auto closeWatch = qScopeGuard([watch] { ::close(watch); });
  QVERIFY(inotify_add_watch(watch, QFile::encodeName(runtime_->path()).constData(), IN_CREATE | IN_MOVED_TO) >= 0);
  auto socketCreated = [watch] {
    alignas(inotify_event) char buffer[4096];
    pollfd pfd{watch, POLLIN, 0};
    // The timeout only ends a run whose program never listens.
    while (::poll(&pfd, 1, 10000) == 1) {
      const ssize_t n = ::read(watch, buffer, sizeof buffer);
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && qstrcmp(event->name, "VennikPlus.socket") == 0) return true;
        at += ssize_t(sizeof(inotify_event) + event->len);
      }
    }
    return false;
  };

  for (int run = 0; run < 25; ++run) {
    QFile::remove(settingsPath());
    QProcess* p = start({}, environment());
    QVERIFY2(socketCreated(), qPrintable(QString("run %1: no socket").arg(run)));
    ::kill(pid_t(p->processId()), SIGTERM);
    QVERIFY(p->waitForFinished(10000));
    QVERIFY2(p->exitStatus() == QProcess::NormalExit, qPrintable(QString("run %1: ended by the signal").arg(run)));
    QCOMPARE(p->exitCode(), 0);
    QVERIFY2(QFile::exists(settingsPath()), qPrintable(QString("run %1: settings not written").arg(run)));
  }
}

void DesktopStartupTest::theGeometrySurvivesARunAtScaleOneAndAHalf() {
  QProcessEnvironment env = environment();
  env.insert("QT_ENABLE_HIGHDPI_SCALING", "0");
  env.insert("QT_FONT_DPI", "144");
  for (int run = 0; run < 2; ++run) {
    QProcess* p = start({}, env);
    QVERIFY(waitUntilListening());
    QCOMPARE(quit(p), 0);
    const QByteArray saved = readAll(settingsPath());
    QCOMPARE(valueOf(saved, "MainX"), QByteArray("200"));
    QCOMPARE(valueOf(saved, "MainY"), QByteArray("200"));
    QCOMPARE(valueOf(saved, "MainW"), QByteArray("700"));
    QCOMPARE(valueOf(saved, "MainH"), QByteArray("287"));
  }
}

void DesktopStartupTest::withoutADisplayTheProgramSaysSo() {
  QProcessEnvironment env = environment();
  env.remove("QT_QPA_PLATFORM");
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(program_, {example("blink.bas")});
  QVERIFY(p.waitForFinished(10000));
  QCOMPARE(p.exitStatus(), QProcess::NormalExit);
  QCOMPARE(p.exitCode(), 1);
  QVERIFY(p.readAllStandardError().contains("no display"));
  QVERIFY(!QFile::exists(settingsPath()));
}

void DesktopStartupTest::fifosBlockNeitherTheStartNorTheWindow() {
  // Opening a FIFO for reading waits for a writer: a settings file or a
  // source that is one once froze the program for good.
  QVERIFY(::mkfifo(QFile::encodeName(settingsPath()).constData(), 0600) == 0);
  const QString fifo = folder_->filePath("pipe.bas");
  QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
  const QString blink = example("blink.bas");
  QProcess* first = startObserved({blink}, environment());
  QVERIFY(QTest::qWaitFor([&] { return log().contains("Time taken"); }, 10000));
  QVERIFY(waitUntilListening());
  const QByteArray shown = log();

  // The hand-off event is posted before the later start ends, so the first
  // instance tries the FIFO before it takes the quit signal below.
  QProcess* second = start({fifo}, environment());
  QVERIFY(second->waitForFinished(10000));
  QCOMPARE(second->exitCode(), 0);
  QCOMPARE(quit(first), 0);
  // Its message box named the FIFO; the report shown stayed.
  QCOMPARE(log(), shown);
  const QByteArray saved = readAll(settingsPath());
  QCOMPARE(valueOf(saved, "Last file"), blink.toUtf8());
  QCOMPARE(valueOf(saved, "MainW"), QByteArray("700"));  // the defaults, not the FIFO, were read
}

void DesktopStartupTest::aLiveInstanceThatTakesNothingIsReported() {
  // A live process holds the lock but never listens.
  QLockFile held(runtime_->filePath("VennikPlus.lock"));
  QVERIFY(held.tryLock(0));
  QProcess p;
  p.setProcessEnvironment(environment());
  p.start(program_, {example("blink.bas")});
  QVERIFY(p.waitForFinished(20000));
  QCOMPARE(p.exitStatus(), QProcess::NormalExit);
  QCOMPARE(p.exitCode(), 1);
  QVERIFY2(p.readAllStandardError().contains("did not take the command line in time"), "no message");
  QVERIFY(held.isLocked());
  QVERIFY(!QFile::exists(settingsPath()));
}

void DesktopStartupTest::settingsThatCannotBeWrittenAreReported() {
  // A folder in the settings file's place: neither read nor replaced, also
  // for root, whom no permission stops.
  QVERIFY(QDir(folder_->path()).mkdir("VennikPlus.inf"));
  QProcess p;
  p.setProcessEnvironment(environment());
  p.start(program_, QStringList());
  QVERIFY(waitUntilListening());
  p.terminate();
  QVERIFY(p.waitForFinished(10000));
  QCOMPARE(p.exitStatus(), QProcess::NormalExit);
  QCOMPARE(p.exitCode(), 0);
  const QByteArray error = p.readAllStandardError();
  QVERIFY2(error.contains("cannot write the settings to " + QFile::encodeName(settingsPath()) + ": Is a directory"),
           error.constData());
}

QTEST_GUILESS_MAIN(DesktopStartupTest)
#include "desktop_startup_test.moc"
