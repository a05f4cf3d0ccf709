#pragma once
// The program's one window: menu bar, seven buttons, the file label and the
// text window, placed by computeWindowLayout for the screen's scale factor.
// It turns clicks, menu choices, drops and the close box into UiEvents and
// drop signals, and shows what the commands put into the shell state.
#include <QMainWindow>
#include <array>
#include <vector>

#include "desktop/qt/report_text_edit.h"
#include "desktop/window/ui_events.h"
#include "desktop/window/window_layout.h"

class QAction;
class QLabel;
class QPushButton;

namespace vennik {

struct ShellState;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Reads MainX, MainY, MainW, MainH, FontSize and the scale factor.
  explicit MainWindow(const ShellState& shell, QWidget* parent = nullptr);

  ReportTextEdit* textWindow() const { return textWindow_; }
  QLabel* fileLabel() const { return fileLabel_; }
  QPushButton* button(int index) const { return buttons_[static_cast<size_t>(index)]; }
  // The Copy Options entry of a copy mode, 1 to 7.
  QAction* copyOptionAction(int mode) const { return copyOptions_[static_cast<size_t>(mode - 1)]; }

  // The Keywords entry (see keywordListEvent).
  QAction* keywordListAction(int entry) const { return keywordLists_[static_cast<size_t>(entry)]; }

  void markCopyMode(int mode);
  void markKeywordList(int entry);
  void setCopyTooltip(const QString& tooltip);
  // Every button and menu entry but Quit, which stays to end the program.
  void setCommandsEnabled(bool enabled);

  // The measures that the settings keep, in screen pixels: the outer frame's
  // left and top edges, the client width and the client height with the menu
  // bar counted.
  PixelRect measures() const;

  // Screen pixels to the toolkit's own units and back (the same unless the
  // toolkit scales by a device pixel ratio of its own).
  int toUnits(int pixels) const;
  int toPixels(int units) const;

 signals:
  void eventRaised(vennik::UiEvent event);
  void filesDropped(const QStringList& files);
  void textWindowDropped(const vennik::DropContent& content);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenus();
  void buildControls(const WindowLayout& layout, int fontSize);
  // What the window frame adds to the inner width and height, in pixels.
  PixelSize frameAllowance() const;

  double scaleFactor_;
  double pixelRatio_;
  QSize sizeAtLastLayout_;
  std::array<QPushButton*, kButtonCount> buttons_{};
  std::array<QAction*, 7> copyOptions_{};
  std::vector<QAction*> commandEntries_;  // the menu entries but Quit
  std::array<QAction*, kOtherKeywordList + 1> keywordLists_{};
  QLabel* fileLabel_ = nullptr;
  ReportTextEdit* textWindow_ = nullptr;
};

}  // namespace vennik
