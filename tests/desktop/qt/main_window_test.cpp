// The main window as made: title, menus, buttons, file label and text window,
// laid out for the screen's scale factor. Run once at 96 and once at 144
// pixels per logical inch (VENNIK_EXPECTED_SCALE says which).
#include <QAction>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QClipboard>
#include <QScrollBar>
#include <QtTest>
#include <random>

#include "desktop/qt/desktop_fixture.h"
#include "desktop/qt/screen_scale.h"
#include "desktop/window/window_layout.h"

using namespace vennik;
using vennik::testing::Desktop;
using vennik::testing::qtext;

namespace {
QRect rectOf(const PixelRect& r) { return {r.x, r.y, r.width, r.height}; }

void withScreenScale(ShellState& shell) { shell.scaleFactor = scaleFactorOf(QGuiApplication::primaryScreen()); }
}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void theScreenHasTheExpectedScale();
  void layoutFollowsTheScaleFactor();
  void resizingMovesOnlyTheTextWindow();
  void controlsUseCourierNewAtFontSize();
  void titleIconMenusAndKeys();
  void textWindowIsPlainEditableUnwrappedWithBothScrollBars();
  void aLargeTextIsReadAndEditedAsTheDocumentWouldBe();
  void buttonsHaveTheirCaptionsAndTooltips();
  void copyMarkAndTooltipFollowTheCopyMode();
};

void MainWindowTest::theScreenHasTheExpectedScale() {
  const double expected = qEnvironmentVariable("VENNIK_EXPECTED_SCALE", "1").toDouble();
  QCOMPARE(scaleFactorOf(QGuiApplication::primaryScreen()), expected);
}

void MainWindowTest::layoutFollowsTheScaleFactor() {
  Desktop d(withScreenScale);
  const double s = d.shell.scaleFactor;
  const WindowLayout l = computeWindowLayout(200, 200, 700, 287, s);
  MainWindow& w = *d.window;
  QCOMPARE(w.size(), QSize(l.window.width, l.window.height));
  QCOMPARE(w.pos(), QPoint(l.window.x, l.window.y));
  for (int i = 0; i < kButtonCount; ++i) QCOMPARE(w.button(i)->geometry(), rectOf(l.buttons[static_cast<size_t>(i)]));
  QCOMPARE(w.fileLabel()->geometry(), rectOf(l.fileLabel));
  QCOMPARE(w.textWindow()->geometry(), rectOf(l.textWindow));
  // Positions count from the client area below the menu bar.
  QCOMPARE(w.centralWidget()->y(), w.menuBar()->height());
  if (s == 1.5) {
    QCOMPARE(w.size(), QSize(1050, 430));
    QCOMPARE(w.button(0)->geometry(), QRect(15, 8, 120, 38));
    QCOMPARE(w.textWindow()->pos(), QPoint(15, 82));
  } else {
    QCOMPARE(w.size(), QSize(700, 287));
    QCOMPARE(w.textWindow()->geometry(), QRect(10, 55, 680, 202));
  }
  QCOMPARE(rectOf(w.measures()), rectOf(l.window));
}

void MainWindowTest::resizingMovesOnlyTheTextWindow() {
  Desktop d(withScreenScale);
  MainWindow& w = *d.window;
  const QRect label = w.fileLabel()->geometry();
  const QRect copy = w.button(5)->geometry();
  const QPoint textPos = w.textWindow()->pos();
  w.resize(1201, 433);
  QTRY_COMPARE(w.size(), QSize(1201, 433));
  const PixelSize expected = textWindowSizeAfterResize(1201, 433, d.shell.scaleFactor);
  QTRY_COMPARE(w.textWindow()->size(), QSize(expected.width, expected.height));
  QCOMPARE(w.textWindow()->pos(), textPos);
  QCOMPARE(w.fileLabel()->geometry(), label);
  QCOMPARE(w.button(5)->geometry(), copy);
  // Made as small as it goes, the window still shows the seven buttons whole
  // (it had no least size once); the text window shrinks to nothing.
  w.resize(10, 20);
  QTRY_COMPARE(w.textWindow()->height(), 0);
  QCOMPARE(w.size(), w.minimumSize());
  const QRect client = w.centralWidget()->rect();
  for (int i = 0; i < kButtonCount; ++i)
    QVERIFY2(client.contains(w.button(i)->geometry()), qPrintable(w.button(i)->text()));
}

void MainWindowTest::controlsUseCourierNewAtFontSize() {
  Desktop d([](ShellState& s) {
    withScreenScale(s);
    s.settings.fontSize = 12;
  });
  const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
  for (QWidget* control : {static_cast<QWidget*>(d.window->button(0)), static_cast<QWidget*>(d.window->button(6)),
                           static_cast<QWidget*>(d.window->fileLabel()),
                           static_cast<QWidget*>(d.window->textWindow())}) {
    QCOMPARE(control->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(control->font().pointSize(), 12);
    const QFontInfo resolved(control->font());
    QVERIFY2(resolved.fixedPitch(), qPrintable(resolved.family()));
    QCOMPARE(resolved.pixelSize(), qRound(12 * dpi / 72));
  }
  // The menu keeps the platform's font.
  QVERIFY(d.window->menuBar()->font().family() != QStringLiteral("Courier New"));

  // A size of 0 (an empty FontSize line) keeps the family at the usual size.
  Desktop zero([](ShellState& s) { s.settings.fontSize = 0; });
  QCOMPARE(zero.window->button(0)->font().family(), QStringLiteral("Courier New"));
  QVERIFY(zero.window->button(0)->font().pointSizeF() > 0);
}

void MainWindowTest::titleIconMenusAndKeys() {
  Desktop d;
  QCOMPARE(d.window->windowTitle(), QStringLiteral("Vennik Plus"));
  // The program's own icon, not one borrowed from the theme.
  QVERIFY(!d.window->windowIcon().isNull());
  QCOMPARE(d.window->windowIcon().availableSizes().size(), 8);
  QVERIFY(!d.window->menuBar()->isNativeMenuBar());
  const QList<QAction*> menus = d.window->menuBar()->actions();
  QStringList titles, entries, keys;
  // The captions as the user reads them; "&" marks the letter underlined.
  auto shown = [](QString label) { return label.remove(u'&'); };
  for (QAction* m : menus) {
    titles << m->text();
    for (QAction* a : m->menu()->actions()) {
      entries << a->text();
      if (!a->shortcut().isEmpty()) keys << shown(a->text()) + QStringLiteral(": ") + a->shortcut().toString();
      QCOMPARE(a->isCheckable(), shown(m->text()) == QStringLiteral("Copy Options") ||
                                     shown(m->text()) == QStringLiteral("Keywords"));
    }
  }
  QCOMPARE(titles, (QStringList{"&File", "&Copy Options", "&Keywords", "&Board", "&Help"}));
  QCOMPARE(entries, (QStringList{"&Open", "&Save", "&Re-scan", "&Quit", "Copy &text window",
                                 "Copy crunched for &Micromite", "Copy crunched for &RPi",
                                 "Copy crunched for Ma&ximite", "Copy &BAS for Micromite", "Copy BAS for R&Pi",
                                 "Copy BAS for M&aximite", "&Micromite 5.05.03 (built in)", "&PicoMite 6.03.00",
                                 "&CMM2 6.00.00b14", "MMBasic for &Linux 0.7", "MMBasic for &Windows 5.07",
                                 QString::fromUtf8("&Other list\u2026"), "&Send to board\u2026", "&About"}));
  QCOMPARE(keys, (QStringList{"Open: Ctrl+O", "Save: Ctrl+S", "Re-scan: F5", "Quit: Ctrl+Q"}));
  QCOMPARE(d.window->button(5)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
  for (int i : {0, 1, 2, 3, 4, 6}) QVERIFY(d.window->button(i)->shortcut().isEmpty());
}

void MainWindowTest::textWindowIsPlainEditableUnwrappedWithBothScrollBars() {
  Desktop d;
  ReportTextEdit* t = d.window->textWindow();
  QVERIFY(!t->isReadOnly());
  QCOMPARE(t->lineWrapMode(), QPlainTextEdit::NoWrap);
  QCOMPARE(t->maximumBlockCount(), 0);
  QCOMPARE(t->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QCOMPARE(t->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QVERIFY(t->acceptDrops());
  QVERIFY(d.window->acceptDrops());
  QVERIFY(d.window->fileLabel()->text().isEmpty());
  QCOMPARE(d.window->fileLabel()->textFormat(), Qt::PlainText);
  // Every character the user sees is kept, the no-break space included.
  t->setPlainText(QStringLiteral("a\u00a0b\nc"));
  QCOMPARE(t->content(), QStringLiteral("a\u00a0b\nc"));
}

// A text too large for the document is shown without one. Whatever keys
// and clicks the user gives, the caret, the selection and the view go as
// they go in the document, what is copied is the same, and typing takes
// the text into the document at the caret.
void MainWindowTest::aLargeTextIsReadAndEditedAsTheDocumentWouldBe() {
  Desktop d;
  ReportTextEdit* large = d.window->textWindow();
  ReportTextEdit document;
  document.setFont(large->font());
  document.resize(large->size());
  document.show();
  QVERIFY(QTest::qWaitForWindowExposed(&document));

  // Lines of every kind: empty, long, accented, a character outside the
  // Basic Multilingual Plane (two UTF-16 units), words to skip by.
  std::mt19937 random(7);
  const QStringList pieces{"total", " ", "= ", "12", QString::fromUtf8("\u00e9t\u00e9"), QString::fromUtf8("\u20ac"),
                           QString::fromUtf8("\xF0\x9F\x98\x80"), "x.y", "(a, b)", "  "};
  QString text;
  qsizetype bytes = 0;
  for (int line = 0; bytes <= qsizetype{ReportTextEdit::kLargeText}; ++line) {
    QString l;
    const int count = line % 50 == 0 ? 120 : static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) l += pieces[static_cast<qsizetype>(random() % pieces.size())];
    bytes += l.toUtf8().size() + 1;
    text += l + u'\n';
  }
  large->showText(std::make_shared<const WindowText>(text.toStdString()));
  document.setPlainText(text);
  QVERIFY(large->showsLargeText());
  QCOMPARE(large->verticalScrollBar()->maximum(), document.verticalScrollBar()->maximum());

  struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  };
  const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
  const std::vector<Key> keys{
      {Qt::Key_Left, none},      {Qt::Key_Right, none},      {Qt::Key_Up, none},        {Qt::Key_Down, none},
      {Qt::Key_Down, none},      {Qt::Key_Home, none},       {Qt::Key_End, none},       {Qt::Key_Left, shift},
      {Qt::Key_Right, shift},    {Qt::Key_Up, shift},        {Qt::Key_Down, shift},     {Qt::Key_Home, shift},
      {Qt::Key_End, shift},      {Qt::Key_Left, ctrl},       {Qt::Key_Right, ctrl},     {Qt::Key_Left, ctrl | shift},
      {Qt::Key_Right, ctrl | shift}, {Qt::Key_PageDown, none}, {Qt::Key_PageUp, none}, {Qt::Key_PageDown, shift},
      {Qt::Key_PageUp, shift},   {Qt::Key_End, ctrl},        {Qt::Key_Home, ctrl},      {Qt::Key_End, ctrl | shift}};
  // The horizontal scroll bar reaches as far as the widest line laid out
  // so far, which is not quite the same set in the two: where their ranges
  // are alike, the place is too.
  auto differs = [&](const QString& step) -> QString {
    QCoreApplication::processEvents();  // the views paint
    const int vl = large->verticalScrollBar()->value(), vd = document.verticalScrollBar()->value();
    int hl = large->horizontalScrollBar()->value(), hd = document.horizontalScrollBar()->value();
    if (large->horizontalScrollBar()->maximum() != document.horizontalScrollBar()->maximum()) hl = hd;
    if (large->caretPosition() == document.caretPosition() && large->anchorPosition() == document.anchorPosition() &&
        vl == vd && hl == hd)
      return {};
    return QStringLiteral("after %1: caret %2/%3, anchor %4/%5, top line %6/%7, left %8/%9")
        .arg(step)
        .arg(large->caretPosition())
        .arg(document.caretPosition())
        .arg(large->anchorPosition())
        .arg(document.anchorPosition())
        .arg(vl)
        .arg(vd)
        .arg(hl)
        .arg(hd);
  };
  for (int step = 0; step < 400; ++step) {
    QString what;
    if (step % 20 == 19) {
      const QPoint at(static_cast<int>(random() % static_cast<unsigned>(large->viewport()->width())),
                      static_cast<int>(random() % static_cast<unsigned>(large->viewport()->height())));
      const Qt::KeyboardModifiers modifiers = step % 40 == 39 ? shift : none;
      QTest::mouseClick(large->viewport(), Qt::LeftButton, modifiers, at);
      QTest::mouseClick(document.viewport(), Qt::LeftButton, modifiers, at);
      what = QStringLiteral("click at %1,%2").arg(at.x()).arg(at.y());
    } else {
      const Key& key = keys[random() % keys.size()];
      QTest::keyClick(large, key.key, key.modifiers);
      QTest::keyClick(&document, key.key, key.modifiers);
      what = QKeySequence(key.key | key.modifiers).toString();
    }
    const QString difference = differs(QString::number(step) + u' ' + what);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
  }
  // The same selection copies the same text.
  QTest::keyClick(large, Qt::Key_C, ctrl);
  const QString copied = QGuiApplication::clipboard()->text();
  QTest::keyClick(&document, Qt::Key_C, ctrl);
  QCOMPARE(copied, QGuiApplication::clipboard()->text());
  QTest::keyClick(large, Qt::Key_A, ctrl);
  QTest::keyClick(large, Qt::Key_C, ctrl);
  QCOMPARE(QGuiApplication::clipboard()->text(), text);

  // Typing goes where the caret is, as in the document.
  const QPoint middle = large->viewport()->rect().center();
  QTest::mouseClick(large->viewport(), Qt::LeftButton, none, middle);
  QTest::mouseClick(document.viewport(), Qt::LeftButton, none, middle);
  QTest::keyClicks(large, QStringLiteral("typed"));
  QTest::keyClicks(&document, QStringLiteral("typed"));
  // The text goes into the document a part at a time; the keys wait.
  QVERIFY(large->filling());
  QTRY_VERIFY_WITH_TIMEOUT(!large->showsLargeText(), 20000);
  QCOMPARE(large->content(), document.content());
  QVERIFY2(differs(QStringLiteral("typing")).isEmpty(), qPrintable(differs(QStringLiteral("typing"))));
}

void MainWindowTest::buttonsHaveTheirCaptionsAndTooltips() {
  Desktop d;
  const QStringList captions{"Load", "Re-scan", "Crunch", "Library", "Save", "Copy", "Quit"};
  const QStringList tooltips{
      "Load and scan new BAS file",
      "Re-load and scan current BAS file",
      "Remove comments and blank lines from current code. Original code will not be changed.",
      "Save sub/functions to Library. Contents will remain until overwritten.",
      "Save text window contents to file",
      "Copy text window contents to clipboard",
      "Quit the program"};
  for (int i = 0; i < kButtonCount; ++i) {
    QCOMPARE(d.window->button(i)->text(), captions[i]);
    QCOMPARE(d.window->button(i)->toolTip(), tooltips[i]);
  }
}

void MainWindowTest::copyMarkAndTooltipFollowTheCopyMode() {
  const QStringList tooltips{"Copy text window contents to clipboard", "Copy crunched for Micromite/Armite",
                             "Copy crunched for Picromite",            "Copy crunched for Maximite",
                             "Copy uncrunched for Micromite/Armite",   "Copy uncrunched for Picromite",
                             "Copy uncrunched for Maximite"};
  auto checkedModes = [](const Desktop& d) {
    QList<int> modes;
    for (int m = 1; m <= 7; ++m)
      if (d.window->copyOptionAction(m)->isChecked()) modes << m;
    return modes;
  };

  // The stored mode is marked when the window is made.
  Desktop stored([](ShellState& s) { s.settings.copyMode = 6; });
  QCOMPARE(checkedModes(stored), QList<int>{6});
  QCOMPARE(stored.window->button(5)->toolTip(), tooltips[5]);

  // A mode only an edited settings file can give: no mark, the first tooltip.
  Desktop odd([](ShellState& s) { s.settings.copyMode = 12; });
  QCOMPARE(checkedModes(odd), QList<int>{});
  QCOMPARE(odd.window->button(5)->toolTip(), tooltips[0]);

  // Choosing an entry moves mark and tooltip; choosing the marked one keeps it.
  for (int mode : {3, 1, 7, 7, 2, 5, 4, 6}) {
    odd.window->copyOptionAction(mode)->trigger();
    QCOMPARE(odd.shell.settings.copyMode, mode);
    QCOMPARE(checkedModes(odd), QList<int>{mode});
    QCOMPARE(odd.window->button(5)->toolTip(), tooltips[mode - 1]);
  }
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
