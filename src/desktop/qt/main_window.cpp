#include "desktop/qt/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

#include "desktop/qt/program_icon.h"
#include "desktop/window/shell_state.h"
#include "desktop/window/window_controls.h"

namespace vennik {

namespace {
QString qtext(TextView s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// Glyph images grow with the square of the size; a size no screen can show
// is held here so that an edited settings file cannot exhaust memory.
constexpr int kLargestFontSize = 1000;

QKeySequence keyOf(TextView shortcut) { return QKeySequence(qtext(shortcut), QKeySequence::PortableText); }

QFont controlFont(int fontSize) {
  QFont font(qtext(kFontFamily));
  font.setStyleHint(QFont::TypeWriter);
  // A size of 0 or less gives the family at the usual size.
  if (fontSize > 0) font.setPointSize(std::min(fontSize, kLargestFontSize));
  return font;
}

double screenPixelRatio() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->devicePixelRatio() : 1.0;
}
}  // namespace

MainWindow::MainWindow(const ShellState& shell, QWidget* parent)
    : QMainWindow(parent), scaleFactor_(shell.scaleFactor), pixelRatio_(screenPixelRatio()) {
  setWindowTitle(qtext(kWindowTitle));
  setWindowIcon(programIcon());
  // The menu bar belongs to the window (a desktop-wide menu bar would take it
  // out, and the inner height would no longer count it).
  menuBar()->setNativeMenuBar(false);
  const Settings& s = shell.settings;
  WindowLayout layout = computeWindowLayout(s.mainX, s.mainY, s.mainW, s.mainH, scaleFactor_);
  // On the screen it was stored on, else the main one; whole on it, the
  // buttons narrowed when the screen is too small for their row.
  double squeeze = 1.0;
  const QScreen* screen = QGuiApplication::screenAt(QPoint(toUnits(layout.window.x), toUnits(layout.window.y)));
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QRect a = screen->availableGeometry();
    const PixelRect area{toPixels(a.x()), toPixels(a.y()), toPixels(a.width()), toPixels(a.height())};
    const PixelSize frame = frameAllowance();
    squeeze = buttonSqueeze(area.width - frame.width, scaleFactor_);
    const PixelRect fitted = fitWindowToArea(layout.window, area, frame);
    const PixelRect stored = layout.window;
    layout = computeWindowLayout(s.mainX, s.mainY, s.mainW, s.mainH, scaleFactor_, squeeze);
    if (!(fitted == stored)) {
      layout.window = fitted;
      const PixelSize text = textWindowSizeAfterResize(fitted.width, fitted.height, scaleFactor_);
      layout.textWindow.width = text.width;
      layout.textWindow.height = text.height;
    }
  }
  move(toUnits(layout.window.x), toUnits(layout.window.y));
  resize(std::max(1, toUnits(layout.window.width)), std::max(1, toUnits(layout.window.height)));
  buildMenus();
  buildControls(layout, shell.settings.fontSize);
  // The window adds the menu bar's height to its client area's minimum.
  const PixelSize minimum = minimumClientSize(scaleFactor_, squeeze);
  centralWidget()->setMinimumSize(toUnits(minimum.width), toUnits(minimum.height));
  setAcceptDrops(true);
  sizeAtLastLayout_ = size();
}

PixelSize MainWindow::frameAllowance() const {
  // The frame is known only once a window manager has framed the shown
  // window; until then a title bar and thin borders, as most desktops draw
  // them, are assumed.
  constexpr int kBorder = 4;
  const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  return {toPixels(2 * kBorder), toPixels(title + 2 * kBorder)};
}

int MainWindow::toUnits(int pixels) const { return static_cast<int>(std::lround(pixels / pixelRatio_)); }

int MainWindow::toPixels(int units) const { return static_cast<int>(std::lround(units * pixelRatio_)); }

void MainWindow::buildMenus() {
  size_t copyIndex = 0;
  for (const Menu& menu : mainMenus()) {
    QMenu* qmenu = menuBar()->addMenu(qtext(labelWithAccessKey(menu.title, menu.accessKey)));
    for (const MenuEntry& entry : menu.entries) {
      QAction* action = qmenu->addAction(qtext(labelWithAccessKey(entry.caption, entry.accessKey)));
      if (!entry.shortcut.empty()) action->setShortcut(keyOf(entry.shortcut));
      const UiEvent event = entry.event;
      connect(action, &QAction::triggered, this, [this, event] { emit eventRaised(event); });
      if (event != UiEvent::FileQuit) commandEntries_.push_back(action);
      if (copyModeOfEvent(event)) {
        action->setCheckable(true);
        copyOptions_[copyIndex++] = action;
      }
      if (auto list = keywordListOfEvent(event)) {
        action->setCheckable(true);
        keywordLists_[static_cast<size_t>(*list)] = action;
      }
    }
  }
}

void MainWindow::buildControls(const WindowLayout& layout, int fontSize) {
  auto* client = new QWidget(this);
  setCentralWidget(client);
  const QFont font = controlFont(fontSize);
  auto place = [this](QWidget* w, const PixelRect& r) {
    w->setGeometry(toUnits(r.x), toUnits(r.y), std::max(0, toUnits(r.width)), std::max(0, toUnits(r.height)));
  };

  for (int i = 0; i < kButtonCount; ++i) {
    const ButtonSpec& spec = mainButtons()[static_cast<size_t>(i)];
    auto* button = new QPushButton(qtext(spec.caption), client);
    button->setFont(font);
    button->setAutoDefault(false);
    button->setToolTip(qtext(spec.tooltip));
    if (!spec.shortcut.empty()) button->setShortcut(keyOf(spec.shortcut));
    place(button, layout.buttons[static_cast<size_t>(i)]);
    const UiEvent event = spec.event;
    connect(button, &QPushButton::clicked, this, [this, event] { emit eventRaised(event); });
    buttons_[static_cast<size_t>(i)] = button;
  }

  fileLabel_ = new QLabel(client);
  fileLabel_->setTextFormat(Qt::PlainText);
  fileLabel_->setWordWrap(false);
  fileLabel_->setFont(font);
  place(fileLabel_, layout.fileLabel);

  textWindow_ = new ReportTextEdit(client);
  textWindow_->setFont(font);
  place(textWindow_, layout.textWindow);
  connect(textWindow_, &ReportTextEdit::dropped, this, &MainWindow::textWindowDropped);
}

void MainWindow::markCopyMode(int mode) {
  for (int i = 0; i < 7; ++i) copyOptions_[static_cast<size_t>(i)]->setChecked(i + 1 == mode);
}

void MainWindow::setCommandsEnabled(bool enabled) {
  for (QAction* entry : commandEntries_) entry->setEnabled(enabled);
  for (int i = 0; i < kButtonCount; ++i) {
    if (mainButtons()[static_cast<size_t>(i)].event != UiEvent::QuitButton) button(i)->setEnabled(enabled);
  }
}

void MainWindow::markKeywordList(int entry) {
  for (int i = 0; i <= kOtherKeywordList; ++i) keywordLists_[static_cast<size_t>(i)]->setChecked(i == entry);
}

void MainWindow::setCopyTooltip(const QString& tooltip) { buttons_[kCopyButtonIndex]->setToolTip(tooltip); }

PixelRect MainWindow::measures() const {
  // pos() is the outer frame's corner; the menu bar lies inside the window,
  // so height() already counts it.
  return {toPixels(pos().x()), toPixels(pos().y()), toPixels(width()), toPixels(height())};
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // The first show repeats the size the window was made with; the text
  // window keeps the size it was made with until the size really changes.
  if (event->size() == sizeAtLastLayout_) return;
  sizeAtLastLayout_ = event->size();
  const PixelSize size = textWindowSizeAfterResize(toPixels(width()), toPixels(height()), scaleFactor_);
  textWindow_->resize(std::max(0, toUnits(size.width)), std::max(0, toUnits(size.height)));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The window stays until the program ends, so that its measures can be
  // stored; the Quit command ends the event loop.
  event->ignore();
  emit eventRaised(UiEvent::CloseBox);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (dropContentOf(event->mimeData()).files.isEmpty()) return event->ignore();
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (dropContentOf(event->mimeData()).files.isEmpty()) return event->ignore();
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const DropContent content = dropContentOf(event->mimeData());
  if (content.files.isEmpty()) return event->ignore();
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit filesDropped(content.files);
}

}  // namespace vennik
