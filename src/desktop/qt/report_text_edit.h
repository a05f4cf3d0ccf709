#pragma once
// The large text area of the main window: plain, editable text without line
// wrapping or length limit and with both scroll bars. A drop on it is not
// inserted at the cursor; it is reported, as a text or as a list of files,
// so that the dropped text or file can be analysed.
#include <QPlainTextEdit>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "desktop/window/window_text.h"

class QMimeData;

namespace vennik {

class LargeTextView;

// What a drag carries, as the window sees it: local files when there are any
// (a file manager also offers their paths as text), otherwise the text.
struct DropContent {
  bool isText = false;
  QString text;
  QStringList files;
  bool usable() const { return isText || !files.isEmpty(); }
};
DropContent dropContentOf(const QMimeData* data);

class ReportTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ReportTextEdit(QWidget* parent = nullptr);
  ~ReportTextEdit() override;

  // The whole content with lines separated by LF, every character kept
  // (plainText() would turn no-break spaces into blanks).
  QString content() const;

  // Shows the text. One of kLargeText bytes or more (the report of a
  // source of some 30,000 lines and up) does not go into the document: the
  // area shows it as it is (see large_text_view.h), at once and without a
  // copy, and takes it into its document only when the user first changes
  // it. setPlainText shows a text through the document, as ever.
  void showText(std::shared_ptr<const WindowText> text);
  // The document takes a large text a part at a time, each from its own
  // turn of the event loop, so that the window paints and answers
  // throughout (a million-line report takes a second or two); the view
  // shows it meanwhile, and the edits made meanwhile wait and follow in
  // order. This ends it at once, so that a command reads the text as the
  // user left it.
  void finishTaking();
  // Whether the shown text is outside the document, as a large one is.
  bool showsLargeText() const { return large_ != nullptr; }
  // Where the caret and the other end of the selection are, as the
  // document counts (characters before them, each line end one), however
  // the text is shown.
  int caretPosition() const;
  int anchorPosition() const;
  // True while the document takes in a text the area already shows: its
  // textChanged is no edit of the user's.
  bool filling() const { return filling_; }
  // The most bytes of the text one part takes (whole lines, so a little
  // more).
  static constexpr size_t kFillPart = size_t{1} << 17;
  // Not editable while locked (an analysis is running) or filling.
  void setLocked(bool locked);

  static constexpr size_t kLargeText = size_t{1} << 20;

 signals:
  void dropped(const vennik::DropContent& content);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // For a large text, what the view does in place of the document.
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The large text goes into the document (see finishTaking), the caret,
  // selection and view where they were; `edit` follows once it is there.
  void takeIntoDocument(std::function<void()> edit);
  void takeNextPart(quint64 generation);
  void setFilling(bool filling);

  std::unique_ptr<LargeTextView> large_;
  size_t taken_ = 0;  // bytes of the large text the document holds so far
  quint64 takeGeneration_ = 0;
  std::vector<std::function<void()>> waitingEdits_;
  bool filling_ = false;
  bool locked_ = false;
  bool adjustingBars_ = false;
};

}  // namespace vennik
