// The commands as the real window runs them: clicks and menu entries, the
// clipboard, drops, the Qt requesters and message boxes, the report file on
// disk, quitting, the hand-off from a later start, and sending to a board
// on a pseudo-terminal.
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QProgressDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <future>
#include <sys/stat.h>

#include "support/fake_board.h"
#include "desktop/qt/desktop_fixture.h"
#include "desktop/qt/board_send_runner.h"
#include "desktop/qt/single_instance.h"
#include "settings/sent/sent_line_maps.h"
#include "system/files/path_ops.h"

using namespace vennik;
using vennik::testing::answerNextDialog;
using vennik::testing::Desktop;
using vennik::testing::fileBytes;
using vennik::testing::qtext;

namespace {
enum Button { kLoad, kRescan, kCrunch, kLibrary, kSave, kCopy, kQuit };

QString clipboard() { return QGuiApplication::clipboard()->text(); }

// Delivers a drag-enter and a drop of `data` at the middle of `target`, as
// the window system does; returns whether the drop was accepted as a copy.
bool drop(QWidget* target, QMimeData* data) {
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent dropEvent(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &dropEvent);
  return dropEvent.isAccepted() && dropEvent.dropAction() == Qt::CopyAction;
}
}  // namespace

class DesktopCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void copyPutsEachModesTextOnTheClipboard();
  void copyTakesWhatTheUserTyped();
  void textDroppedOnTheTextWindowIsAnalysed();
  void filesDroppedOnTheWindowLoadTheFirst();
  void loadUsesTheOpenRequester();
  void aFifoIsRefusedAtOnceWithAMessage();
  void aLargeSourceIsAnalysedWhileTheWindowStaysResponsive();
  void cancelledLoadKeepsEverything();
  void rescanShowsTheFileNameInTheLabel();
  void saveReportAsksBeforeReplacing();
  void libraryAsksYesOrNo();
  void aboutShowsBuildAndHomePage();
  void quitAndTheCloseBoxEndTheLoopButKeepTheWindow();
  void handOffIsTakenInTheEventLoop();
  void handOffFromALaterStartBringsTheWindowBack();
  void sendToBoardTypesTheEnvelopeAndLeavesTheReport();
  void cancellingASendLeavesAutosaveWithoutSaving();
  void closingTheWindowStopsASendBeforeQuitting();
  void aSilentBoardFailsTheSendNamingTheLine();

 private:
  QTemporaryDir temp_;
  QString path(const QString& name) const { return temp_.filePath(name); }
  void write(const QString& name, const QByteArray& bytes) {
    QFile f(path(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
};

void DesktopCommandsTest::initTestCase() {
  QVERIFY(temp_.isValid());
  QVERIFY(QFile::setPermissions(temp_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  // A private runtime folder, so the hand-off channel is this test's own.
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(temp_.path()));
}

void DesktopCommandsTest::init() {
  write("demo.bas", "' demo\r\nDim total\r\ntotal = 1\r\n");
  write("other.bas", "Dim other\r\n");
  QGuiApplication::clipboard()->setText(QStringLiteral("previous"));
}

QString* answerMessageBox();

// The crunched modes (2 to 4) take the crunched program: with the report in
// the window they say so and leave the clipboard as it was.
void DesktopCommandsTest::copyPutsEachModesTextOnTheClipboard() {
  Desktop d([&](ShellState& s) { s.settings.lastFile = path("demo.bas").toStdU16String(); });
  d.window->button(kRescan)->click();
  const QString source = QStringLiteral("' demo\r\nDim total\r\ntotal = 1\r\n");
  const QString window = d.shownText().replace(u'\n', QStringLiteral("\r\n"));
  QVERIFY(window.startsWith(path("demo.bas") + "\r\nTime taken"));
  const QString expected[] = {window,
                              QStringLiteral("previous"),
                              QStringLiteral("previous"),
                              QStringLiteral("previous"),
                              "AUTOSAVE\r\n" + source + QChar(26),
                              "AUTOSAVE\r\n" + source + QChar(3),
                              "AUTO\r\n" + source + QChar(3)};
  for (int mode = 1; mode <= 7; ++mode) {
    const bool crunched = mode >= 2 && mode <= 4;
    for (int how = 0; how < 2; ++how) {
      QGuiApplication::clipboard()->setText(QStringLiteral("previous"));
      std::unique_ptr<QString> message(crunched ? answerMessageBox() : nullptr);
      if (how == 0) {
        d.window->copyOptionAction(mode)->trigger();  // copies at once
      } else {
        d.window->button(kCopy)->click();  // the button reuses the mode
      }
      QCOMPARE(clipboard(), expected[mode - 1]);
      if (crunched) QVERIFY2(message->startsWith("Copy|Crunch the program first"), qPrintable(*message));
    }
  }
  // Crunched, the program goes in the envelope.
  d.window->button(kCrunch)->click();
  d.window->copyOptionAction(4)->trigger();
  QCOMPARE(clipboard(), "AUTO\r\nDim total\r\ntotal = 1\r\n" + QString(QChar(3)));
}

void DesktopCommandsTest::copyTakesWhatTheUserTyped() {
  Desktop d;
  d.window->textWindow()->setFocus();
  QTest::keyClicks(d.window->textWindow(), QStringLiteral("typed"));
  QTest::keyClick(d.window->textWindow(), Qt::Key_Return);
  QTest::keyClicks(d.window->textWindow(), QStringLiteral("by hand"));
  d.window->button(kCopy)->click();
  QCOMPARE(clipboard(), QStringLiteral("typed\r\nby hand"));
  // Typing changes nothing else.
  QVERIFY(d.shell.settings.lastFile.empty());
  QVERIFY(!d.analysis.has_value());
}

void DesktopCommandsTest::textDroppedOnTheTextWindowIsAnalysed() {
  Desktop d([&](ShellState& s) {
    s.settings.lastFile = u"kept.bas";
    s.fileLabel = u"label";
  });
  auto* data = new QMimeData;
  data->setText(QStringLiteral("Dim dropped\r\ndropped = 1\r\n"));
  QVERIFY(drop(d.window->textWindow()->viewport(), data));
  QVERIFY(d.shell.textSourceFlag);
  QCOMPARE(qtext(d.shell.source.text()), QStringLiteral("Dim dropped\r\ndropped = 1\r\n"));
  // The report and the label name the text, no longer the file before it.
  QVERIFY(d.shownText().startsWith(QStringLiteral("Dropped text\nTime taken")));
  QVERIFY(d.shownText().contains(QStringLiteral("dropped")));
  QCOMPARE(d.window->fileLabel()->text(), QStringLiteral("Dropped text"));
  delete data;

  // Files on the text window are loaded, not inserted as text.
  auto* files = new QMimeData;
  files->setUrls({QUrl::fromLocalFile(path("other.bas"))});
  files->setText(path("other.bas"));
  QVERIFY(drop(d.window->textWindow()->viewport(), files));
  QCOMPARE(qtext(d.shell.settings.lastFile), path("other.bas"));
  QVERIFY(!d.shell.textSourceFlag);
  QVERIFY(d.shownText().startsWith(path("other.bas") + "\n" + path("other.bas") + "\nTime taken"));
  QCOMPARE(d.window->fileLabel()->text(), path("other.bas"));
  delete files;
}

void DesktopCommandsTest::filesDroppedOnTheWindowLoadTheFirst() {
  Desktop d;
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(path("demo.bas")), QUrl::fromLocalFile(path("other.bas")),
                 QUrl::fromLocalFile(path("other.bas"))});
  // Dropped on a button: the window as a whole takes it.
  QVERIFY(drop(d.window->button(kCopy), data));
  QCOMPARE(qtext(d.shell.settings.lastFile), path("demo.bas"));
  QCOMPARE(qtext(d.shell.settings.sourceFolder), temp_.path() + "/");
  QVERIFY(d.shownText().contains(QStringLiteral("total")));
  QVERIFY(!d.shownText().contains(QStringLiteral("other")));
  delete data;

  // Text alone is not taken by the window outside the text window.
  auto* text = new QMimeData;
  text->setText(QStringLiteral("Dim x"));
  QVERIFY(!drop(d.window->button(kCopy), text));
  delete text;
}

// What a file requester showed when it opened.
struct Shown {
  QString title, folder, selectedFilter;
  QStringList filters;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
  QString offered;  // the name in the name field
};

// Answers the next file requester with `name` (a cancel when empty) and
// notes what it showed; checks run after the command has ended, so that a
// failed check cannot leave the requester open.
Shown* answerFileRequester(const QString& name) {
  auto* shown = new Shown;
  answerNextDialog<QFileDialog>([shown, name](QFileDialog* dialog) {
    auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    *shown = {dialog->windowTitle(), dialog->directory().absolutePath(), dialog->selectedNameFilter(),
              dialog->nameFilters(), dialog->acceptMode(), nameField->text()};
    if (name.isEmpty()) return dialog->reject();
    // Typed into the name field (selectFile leaves a focused field alone).
    dialog->setDirectory(QFileInfo(name).absolutePath());
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(name).fileName());
    static_cast<QDialog*>(dialog)->accept();
  });
  return shown;
}

// Answers the next message box with OK and notes its text.
QString* answerMessageBox() {
  auto* text = new QString;
  answerNextDialog<QMessageBox>([text](QMessageBox* box) {
    *text = box->windowTitle() + u'|' + box->text();
    box->button(QMessageBox::Ok)->click();
  });
  return text;
}

void DesktopCommandsTest::loadUsesTheOpenRequester() {
  Desktop d([&](ShellState& s) {
    s.settings.sourceFolder = (temp_.path() + "/").toStdU16String();
    s.fileLabel = u"label";
  });
  d.window->textWindow()->setPlainText(QStringLiteral("the report shown"));
  // A typed name of a file that does not exist is taken, and said to be
  // unreadable; the report shown stays.
  std::unique_ptr<Shown> shown(answerFileRequester(path("new.bas")));
  std::unique_ptr<QString> message(answerMessageBox());
  d.window->button(kLoad)->click();
  QCOMPARE(shown->title, QStringLiteral("Source Code"));
  QCOMPARE(shown->folder, temp_.path());
  QCOMPARE(shown->filters, (QStringList{"BAS (*.bas *.txt)", "All files (*)"}));
  QCOMPARE(shown->selectedFilter, QStringLiteral("BAS (*.bas *.txt)"));
  QCOMPARE(shown->mode, QFileDialog::AcceptOpen);
  QCOMPARE(*message, "Vennik Plus|Cannot read " + path("new.bas") + ":\nNo such file or directory");
  QCOMPARE(d.shownText(), QStringLiteral("the report shown"));
  QVERIFY(d.shell.settings.lastFile.empty());

  // The file label names the file loaded (it kept the one before).
  shown.reset(answerFileRequester(path("demo.bas")));
  for (QAction* a : d.window->menuBar()->actions().first()->menu()->actions())
    if (a->text().remove(u'&') == QStringLiteral("Open")) a->trigger();
  QCOMPARE(shown->title, QStringLiteral("Source Code"));
  QCOMPARE(qtext(d.shell.settings.lastFile), path("demo.bas"));
  QVERIFY(d.shownText().startsWith(path("demo.bas") + "\n\n" + path("demo.bas") + "\nTime taken"));
  QVERIFY(d.shownText().contains(QStringLiteral("total")));
  QCOMPARE(d.window->fileLabel()->text(), path("demo.bas"));
}

void DesktopCommandsTest::aFifoIsRefusedAtOnceWithAMessage() {
  Desktop d([&](ShellState& s) { s.settings.lastFile = path("demo.bas").toStdU16String(); });
  d.window->button(kRescan)->click();
  const QString report = d.shownText();
  // Opening a FIFO for reading would wait for a writer that never comes.
  QVERIFY(::mkfifo(QFile::encodeName(path("pipe.bas")).constData(), 0600) == 0);
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(path("pipe.bas"))});
  std::unique_ptr<QString> message(answerMessageBox());
  QVERIFY(drop(d.window->button(kCopy), data));
  delete data;
  QCOMPARE(*message,
           "Vennik Plus|Cannot read " + path("pipe.bas") + ":\nnot a regular file but a named pipe (FIFO)");
  QCOMPARE(d.shownText(), report);
  QCOMPARE(qtext(d.shell.settings.lastFile), path("demo.bas"));
  QCOMPARE(d.window->fileLabel()->text(), path("demo.bas"));
}

void DesktopCommandsTest::aLargeSourceIsAnalysedWhileTheWindowStaysResponsive() {
  // A million lines, written as the benchmark's generator would.
  {
    QFile f(path("big.bas"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray chunk;
    for (int i = 0; i < 1000; ++i) chunk += "total" + QByteArray::number(i % 97) + " = total + " + QByteArray::number(i) + "\r\n";
    for (int i = 0; i < 1000; ++i) f.write(chunk);
  }
  Desktop d([&](ShellState& s) { s.settings.lastFile = path("demo.bas").toStdU16String(); });
  d.window->button(kRescan)->click();
  QVERIFY(!QGuiApplication::overrideCursor());

  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(path("big.bas"))});
  QVERIFY(drop(d.window->button(kCopy), data));
  delete data;
  // The drop has returned to the event loop before the report exists: the
  // analysis runs elsewhere while the window shows it is busy and what is
  // being read, and keeps what is typed away from the report to come.
  QVERIFY(d.controller->analysing());
  QVERIFY(QGuiApplication::overrideCursor());
  QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  QCOMPARE(d.window->fileLabel()->text(), path("big.bas"));
  QCOMPARE(d.shownText(), path("big.bas"));
  QVERIFY(d.window->textWindow()->isReadOnly());
  // Meanwhile another command waits for it.
  QGuiApplication::clipboard()->setText(QStringLiteral("previous"));
  d.window->button(kCopy)->click();
  QCOMPARE(clipboard(), QStringLiteral("previous"));

  QTRY_VERIFY_WITH_TIMEOUT(!d.controller->analysing(), 60000);
  QCOMPARE(d.analysis->lineCount(), 1000000);
  QVERIFY(!QGuiApplication::overrideCursor());
  // The report is shown at once, straight from the window's text (no
  // document holds a copy of it), and can be edited.
  QVERIFY(d.window->textWindow()->showsLargeText());
  QVERIFY(!d.window->textWindow()->isReadOnly());
  QCOMPARE(d.window->textWindow()->content(), qtext(d.shell.textWindow.lines()));
  // The copy ran after the report was shown.
  QTRY_VERIFY(clipboard().startsWith(path("big.bas") + "\r\n" + path("big.bas") + "\r\nTime taken"));
}

void DesktopCommandsTest::cancelledLoadKeepsEverything() {
  Desktop d;
  auto* data = new QMimeData;
  data->setText(QStringLiteral("Dim held\r\n"));
  QVERIFY(drop(d.window->textWindow()->viewport(), data));
  delete data;
  const QString before = d.shownText();
  std::unique_ptr<Shown> shown(answerFileRequester(QString()));
  d.window->button(kLoad)->click();
  QCOMPARE(shown->title, QStringLiteral("Source Code"));
  QCOMPARE(d.shownText(), before);
  QCOMPARE(qtext(d.shell.source.text()), QStringLiteral("Dim held\r\n"));
  QVERIFY(d.shell.textSourceFlag);
}

void DesktopCommandsTest::rescanShowsTheFileNameInTheLabel() {
  Desktop d([&](ShellState& s) { s.settings.lastFile = path("demo.bas").toStdU16String(); });
  QVERIFY(d.window->fileLabel()->text().isEmpty());
  d.window->button(kRescan)->click();
  QCOMPARE(d.window->fileLabel()->text(), path("demo.bas"));
  QVERIFY(d.shownText().contains(QStringLiteral("total")));
}

void DesktopCommandsTest::saveReportAsksBeforeReplacing() {
  Desktop d([&](ShellState& s) { s.settings.lastFile = path("demo.bas").toStdU16String(); });
  d.window->textWindow()->setPlainText(QStringLiteral("caf\u00e9 \u20ac \u4e2d\nline 2"));
  write("report.txt", "an earlier report, longer than the new one");
  // The typed name gets ".txt" in the requester, which then asks about the
  // file that would be replaced.
  std::unique_ptr<Shown> shown(answerFileRequester(path("report")));
  QString question;
  answerNextDialog<QMessageBox>([&](QMessageBox* box) {
    question = box->text();
    box->button(QMessageBox::Yes)->click();
  });
  d.window->button(kSave)->click();
  QCOMPARE(shown->title, QStringLiteral("Report"));
  // Beside the source (once it was the settings folder), its name offered.
  QCOMPARE(shown->folder, temp_.path());
  QCOMPARE(shown->filters, (QStringList{"Text (*.txt *.csv)", "All files (*)"}));
  QCOMPARE(shown->mode, QFileDialog::AcceptSave);
  QCOMPARE(shown->offered, QStringLiteral("demo.txt"));
  QVERIFY2(question.contains(QStringLiteral("report.txt already exists")), qPrintable(question));
  QCOMPARE(fileBytes(path("report.txt")), QByteArray("caf\xe9 \x80 ?\r\nline 2\r\n"));
  QVERIFY(!QFile::exists(path("report")));
}

void DesktopCommandsTest::libraryAsksYesOrNo() {
  Desktop d([&](ShellState& s) { s.settings.lastFile = path("demo.bas").toStdU16String(); });
  d.window->button(kRescan)->click();
  QString title, text;
  answerNextDialog<QMessageBox>([&](QMessageBox* box) {
    title = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::No)->click();
  });
  d.window->button(kLibrary)->click();
  QCOMPARE(title, QStringLiteral("Library!"));
  QCOMPARE(text, QStringLiteral("Replace Functions, subs, constants and\nGlobal variables in the Library?"));
  QVERIFY(d.shell.settings.library.empty());
  answerNextDialog<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  d.window->button(kLibrary)->click();
  QCOMPARE(qtext(d.shell.settings.library), QStringLiteral("total"));
}

void DesktopCommandsTest::aboutShowsBuildAndHomePage() {
  Desktop d;
  QString title, text;
  answerNextDialog<QMessageBox>([&](QMessageBox* box) {
    title = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  QAction* about = d.window->menuBar()->actions().last()->menu()->actions().first();
  about->trigger();
  QCOMPARE(title, QStringLiteral("Vennik Plus"));
  QCOMPARE(text, QStringLiteral("Build 25\n2025/01/02\nhttps://github.com/vennikplus/vennikplus"));
}

void DesktopCommandsTest::quitAndTheCloseBoxEndTheLoopButKeepTheWindow() {
  {
    Desktop d;
    QTimer::singleShot(0, d.window.get(), [&] { d.window->button(kQuit)->click(); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(d.shell.quitFlag);
  }
  {
    Desktop d;
    QTimer::singleShot(0, d.window.get(), [&] { d.window->close(); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(d.shell.quitFlag);
    // Still there, so that its measures can be stored.
    QVERIFY(d.window->isVisible());
  }
}

void DesktopCommandsTest::handOffIsTakenInTheEventLoop() {
  Desktop d;
  d.controller->receiveHandOff(path("demo.bas").toUtf8());
  // Nothing is read or changed in the receiving step.
  QVERIFY(d.shell.settings.lastFile.empty());
  QVERIFY(!d.analysis.has_value());
  QCoreApplication::sendPostedEvents(d.controller.get(), DesktopController::handOffEventType());
  QVERIFY(d.analysis.has_value());
  QCOMPARE(qtext(d.shell.settings.lastFile), path("demo.bas"));
  QCOMPARE(d.window->fileLabel()->text(), path("demo.bas"));
  QCOMPARE(qtext(d.shell.settings.sourceFolder), temp_.path() + "/");
  // No path line of its own: the report's first line names the file.
  QVERIFY(d.shownText().startsWith(path("demo.bas") + "\nTime taken"));
}

void DesktopCommandsTest::handOffFromALaterStartBringsTheWindowBack() {
  Desktop d;
  SingleInstance primary;
  QVERIFY(primary.tryBecomePrimary());
  QObject::connect(&primary, &SingleInstance::commandTextReceived, d.controller.get(),
                   &DesktopController::receiveHandOff);

  d.window->showMinimized();
  QTRY_VERIFY(d.window->isMinimized());
  const QByteArray text = path("other.bas").toUtf8();
  auto sent = std::async(std::launch::async, [text] { return SingleInstance::sendToPrimary(text); });
  QTRY_VERIFY(sent.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready);
  QVERIFY(sent.get());
  // The receiving step was done before the sender was let go.
  QCOMPARE(qtext(d.shell.settings.lastFile), path("other.bas"));
  QVERIFY(!d.window->isMinimized());
  QVERIFY(d.window->isVisible());
  QTRY_VERIFY(d.analysis.has_value());
  QCOMPARE(d.window->fileLabel()->text(), path("other.bas"));
  QVERIFY(d.shownText().contains(QStringLiteral("other")));

  // A start without parameters only brings the window back: the report, the
  // current file and so Last file stay (they became "none received." once).
  const QString report = d.shownText();
  d.window->hide();
  auto empty = std::async(std::launch::async, [] { return SingleInstance::sendToPrimary(QByteArray()); });
  QTRY_VERIFY(empty.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready);
  QVERIFY(empty.get());
  QVERIFY(d.window->isVisible());
  QCoreApplication::sendPostedEvents(d.controller.get(), DesktopController::handOffEventType());
  QCOMPARE(d.window->fileLabel()->text(), path("other.bas"));
  QCOMPARE(qtext(d.shell.settings.lastFile), path("other.bas"));
  QCOMPARE(d.shownText(), report);
}

namespace {
using vennik::testing::FakeBoard;

QAction* sendEntry(MainWindow& window) {
  for (QAction* menu : window.menuBar()->actions())
    for (QAction* a : menu->menu()->actions())
      if (a->text().remove(u'&') == QStringLiteral("Send to board\u2026")) return a;
  return nullptr;
}

// Answers the port requester by typing `port`, as for a port the system
// does not list, and notes what it offered at first.
QString* answerPortRequester(const std::string& port) {
  auto* offered = new QString;
  answerNextDialog<QDialog>([offered, port](QDialog* dialog) {
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("port"));
    if (!combo) return dialog->reject();
    *offered = combo->currentText();
    combo->setEditText(QString::fromStdString(port));
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  return offered;
}

// Starts Send to board on a board that stays silent, so that only a stop
// from the window ends the send, and waits until its first line is out.
void startSilentSend(Desktop& d, FakeBoard& board) {
  std::unique_ptr<QString> offered(answerPortRequester(board.port()));
  sendEntry(*d.window)->trigger();
  QVERIFY(d.controller->sending());
  board.awaitLines(1);
}
}  // namespace

// Copy mode 1 asks which board; the board gets Ctrl-C, then the envelope
// Copy would give in that mode; the report and the copy mode stay; the map
// of the board's lines is kept for the port, where `term` finds it.
void DesktopCommandsTest::sendToBoardTypesTheEnvelopeAndLeavesTheReport() {
  const QString example = QStringLiteral(VENNIK_EXAMPLES "/blink.bas");
  const QString settingsFolder = path("settings") + "/";
  Desktop d([&](ShellState& s) {
    s.settings.lastFile = example.toStdU16String();
    s.settingsFolder = settingsFolder.toStdU16String();
  });
  d.window->button(kRescan)->click();
  const QString report = d.shownText();
  FakeBoard board(FakeBoard::Behaviour::Echo);
  QVERIFY(!board.port().empty());

  QStringList boards;
  std::unique_ptr<QString> offered;
  answerNextDialog<QInputDialog>([&](QInputDialog* dialog) {
    boards = dialog->comboBoxItems();
    dialog->setTextValue(QStringLiteral("Copy BAS for RPi"));
    offered.reset(answerPortRequester(board.port()));
    dialog->accept();
  });
  std::unique_ptr<QString> message(answerMessageBox());
  sendEntry(*d.window)->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!d.controller->sending(), 30000);
  QTRY_VERIFY(!message->isEmpty());

  QCOMPARE(boards, (QStringList{"Copy crunched for Micromite", "Copy crunched for RPi", "Copy crunched for Maximite",
                                "Copy BAS for Micromite", "Copy BAS for RPi", "Copy BAS for Maximite"}));
  const QByteArray source = fileBytes(example);
  const std::string received = board.finish();
  QCOMPARE(QByteArray::fromStdString(received), "\x03" "AUTOSAVE\r\n" + source + "\x03");
  const QString lines = QString::number(source.count('\n') + 1);
  QVERIFY2(message->startsWith("Send to board|Sent " + lines + " lines, " +
                               QString::number(received.size() - 1) + " bytes to " +
                               QString::fromStdString(board.port()) + " in "),
           qPrintable(*message));
  QVERIFY2(message->endsWith(QStringLiteral("(Copy BAS for RPi).")), qPrintable(*message));
  QCOMPARE(d.shownText(), report);
  QCOMPARE(d.shell.settings.copyMode, 1);
  QVERIFY(d.window->button(kLoad)->isEnabled());
  QCOMPARE(qtext(d.shell.boardPort), QString::fromStdString(board.port()));
  const std::optional<BoardLineMap> kept =
      sentMapFor(sentMapsFolder((settingsFolder + "VennikPlus.inf").toStdString()), sentMapPortKey(board.port()));
  QVERIFY(kept);
  QCOMPARE(QString::fromStdString(kept->files.front()), example);
  const std::optional<LineOrigin> last = kept->origin(source.count('\n'), BoardLineCount::Memory);
  QVERIFY(last);
  QCOMPARE(last->line, source.count('\n'));
}

// Ctrl-Z would save what the board holds: mode 2 leaves with Ctrl-C instead.
// Meanwhile only Quit can be used.
void DesktopCommandsTest::cancellingASendLeavesAutosaveWithoutSaving() {
  Desktop d([&](ShellState& s) {
    s.settings.lastFile = path("demo.bas").toStdU16String();
    s.settings.copyMode = 2;
    s.boardTimeoutMs = 600000;
  });
  d.window->button(kRescan)->click();
  d.window->button(kCrunch)->click();
  FakeBoard board(FakeBoard::Behaviour::Silent);
  startSilentSend(d, board);
  QProgressDialog* progress = d.controller->boardSender().progressDialog();
  QVERIFY(progress && progress->isVisible());
  QVERIFY(!d.window->button(kLoad)->isEnabled());
  QVERIFY(!sendEntry(*d.window)->isEnabled());
  QVERIFY(d.window->button(kQuit)->isEnabled());

  std::unique_ptr<QString> message(answerMessageBox());
  progress->findChild<QPushButton*>()->click();
  QTRY_VERIFY_WITH_TIMEOUT(!d.controller->sending(), 30000);
  QTRY_VERIFY(!message->isEmpty());
  QCOMPARE(QByteArray::fromStdString(board.finish()), QByteArray("\x03" "AUTOSAVE\r\n" "\x03"));
  QVERIFY2(message->contains(" stopped by the user after line 1 of 3 (\"AUTOSAVE\"); Ctrl-C was sent"),
           qPrintable(*message));
  QVERIFY(d.window->button(kLoad)->isEnabled());
}

// Ctrl-C would save what the board holds: mode 3 sends nothing more. The
// loop ends only once the send has, with no message in the way.
void DesktopCommandsTest::closingTheWindowStopsASendBeforeQuitting() {
  Desktop d([&](ShellState& s) {
    s.settings.lastFile = path("demo.bas").toStdU16String();
    s.settings.copyMode = 3;
    s.boardTimeoutMs = 600000;
  });
  d.window->button(kRescan)->click();
  d.window->button(kCrunch)->click();
  FakeBoard board(FakeBoard::Behaviour::Silent);
  startSilentSend(d, board);
  QTimer::singleShot(0, d.window.get(), [&] { d.window->close(); });
  QCOMPARE(QApplication::exec(), 0);
  QVERIFY(d.shell.quitFlag);
  QVERIFY(!d.controller->sending());
  QCOMPARE(QByteArray::fromStdString(board.finish()), QByteArray("\x03" "AUTOSAVE\r\n"));
}

void DesktopCommandsTest::aSilentBoardFailsTheSendNamingTheLine() {
  Desktop d([&](ShellState& s) {
    s.settings.lastFile = path("demo.bas").toStdU16String();
    s.settings.copyMode = 5;
    s.boardTimeoutMs = 300;
  });
  d.window->button(kRescan)->click();
  FakeBoard board(FakeBoard::Behaviour::Silent);
  std::unique_ptr<QString> offered(answerPortRequester(board.port()));
  std::unique_ptr<QString> message(answerMessageBox());
  sendEntry(*d.window)->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!d.controller->sending(), 30000);
  QTRY_VERIFY(!message->isEmpty());
  QCOMPARE(*message, "Send to board|The send to " + QString::fromStdString(board.port()) +
                         " stopped after line 1 of 4 (\"AUTOSAVE\"): the board has not echoed it for 0.3 s (is it "
                         "at its prompt, at 115200 baud?); Ctrl-C was sent, which leaves AUTOSAVE without saving on "
                         "the boards that allow it.");
  QCOMPARE(QByteArray::fromStdString(board.finish()), QByteArray("\x03" "AUTOSAVE\r\n" "\x03"));
}

QTEST_MAIN(DesktopCommandsTest)
#include "desktop_commands_test.moc"
