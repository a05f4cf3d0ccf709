#pragma once
// A large text in the text area without a QTextDocument. A document keeps
// its text as UTF-16 and a block of bookkeeping for every line: the report
// of a million-line source took 75 MB there, on top of the 20 MB the text
// is. Here the area shows the window's own text (UTF-8, shared, never
// copied) and lays out only the lines it needs, as the area's document would
// lay them out, with the same font, tab stops, margins and line heights.
//
// What reading needs works as in the document, to the pixel: scrolling (the
// vertical scroll bar counts lines, the horizontal one pixels), the caret
// moved by the keys and the mouse as QTextCursor moves it, paging, selecting
// with Shift and the mouse, Select All and Copy. Anything that would change
// the text is for the area to do: it first takes the text into its document
// (see ReportTextEdit).
#include <QBasicTimer>
#include <QObject>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <unordered_map>

#include "desktop/window/window_text.h"

class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QPlainTextEdit;

namespace vennik {

class LargeTextView : public QObject {
  Q_OBJECT

 public:
  // A place in the text: a line from 0 and a column counted in UTF-16 code
  // units of that line, as QString counts.
  struct Position {
    qsizetype line = 0;
    qsizetype column = 0;
    friend bool operator==(const Position&, const Position&) = default;
    friend auto operator<=>(const Position&, const Position&) = default;
  };

  // Shows `text` in `area`, whose document holds nothing of it (or is
  // taking it in) meanwhile.
  LargeTextView(QPlainTextEdit& area, std::shared_ptr<const WindowText> text);
  ~LargeTextView() override;

  const WindowText& text() const { return *text_; }
  Position cursor() const { return cursor_; }
  Position anchor() const { return anchor_; }
  bool hasSelection() const { return cursor_ != anchor_; }
  // The selected text, lines separated by LF.
  QString selectedText() const;
  QString lineText(qsizetype line) const;
  // The line at the top of the view. The vertical scroll bar shows it, but
  // the area's document sets the bar for its own (empty) text now and then
  // without a signal: the view keeps its own and puts it back.
  qsizetype topLine() const { return topLine_; }
  // The vertical scroll bar was moved (by the user, or by the view).
  void scrolledTo(int topLine);

  enum class KeyUse { Done, Edits, NotMine };
  // Moves, selects or copies as the document would; Edits for a key that
  // would change the text (the caller decides), NotMine for the rest.
  KeyUse keyPress(QKeyEvent* event);
  void mousePress(QMouseEvent* event);
  void mouseMove(QMouseEvent* event);
  void mouseRelease(QMouseEvent* event);
  void mouseDoubleClick(QMouseEvent* event);
  void paint(QPaintEvent* event);

  // The scroll bars' ranges and steps for this text and the viewport's size.
  void adjustScrollBars();
  // The font or tab stops changed: every line is laid out again.
  void relayout();
  void focusChanged(bool focused);
  void copy() const;
  void selectAll();

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  QTextLayout& layoutOf(qsizetype line) const;
  // A line's height as laid out (a line with a glyph from a taller font is
  // taller), and its block's, which for the last line holds the document's
  // bottom margin too.
  qreal heightOf(qsizetype line) const;
  qreal blockHeight(qsizetype line) const;
  qreal margin() const;
  // The document's vertical offset: minus its top margin while the first
  // line is at the top, else 0.
  int verticalOffset() const;
  // The top of a line relative to the top line's, as the document counts.
  qreal lineTop(qsizetype line) const;
  qreal caretX(Position at) const;
  qsizetype lastLine() const { return static_cast<qsizetype>(text_->lineCount()) - 1; }
  qsizetype lineLength(qsizetype line) const;
  Position hit(QPointF point) const;
  Position moved(Position from, int operation) const;
  void moveTo(Position to, bool keepAnchor, bool keepX = false);
  void pageUpDown(bool down, bool keepAnchor);
  void ensureCursorVisible();
  void restartBlink();
  void setTopLine(qsizetype line);

  QPlainTextEdit& area_;
  std::shared_ptr<const WindowText> text_;
  Position cursor_;
  Position anchor_;
  qsizetype topLine_ = 0;
  qreal cursorX_ = 0;  // the x that Up and Down keep, as QTextCursor keeps it
  // Layouts of the lines lately shown or moved through; rebuilt on demand.
  mutable std::unordered_map<qsizetype, std::unique_ptr<QTextLayout>> layouts_;
  mutable qreal widest_ = 0;  // the widest line laid out so far
  qreal pageY_ = 0;         // the caret's height in the view when paging began
  bool pageYKept_ = false;  // paging goes on from there
  bool selecting_ = false;  // the left button is down over the text
  bool focused_ = false;
  bool caretShown_ = true;
  QBasicTimer blink_;
};

}  // namespace vennik
