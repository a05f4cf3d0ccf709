#include "desktop/qt/large_text_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTimerEvent>
#include <algorithm>
#include <cmath>

namespace vennik {

namespace {
enum Operation { kLeft, kRight, kWordLeft, kWordRight, kUp, kDown, kLineStart, kLineEnd, kStart, kEnd };

struct KeyMove {
  QKeySequence::StandardKey key;
  Operation operation;
  bool select;
};
// The keys that move the caret, in the order the document's text control
// tries them (the first that matches counts).
constexpr KeyMove kKeyMoves[] = {
    {QKeySequence::MoveToNextChar, kRight, false},        {QKeySequence::MoveToPreviousChar, kLeft, false},
    {QKeySequence::SelectNextChar, kRight, true},         {QKeySequence::SelectPreviousChar, kLeft, true},
    {QKeySequence::SelectNextWord, kWordRight, true},     {QKeySequence::SelectPreviousWord, kWordLeft, true},
    {QKeySequence::SelectStartOfLine, kLineStart, true},  {QKeySequence::SelectEndOfLine, kLineEnd, true},
    {QKeySequence::SelectStartOfBlock, kLineStart, true}, {QKeySequence::SelectEndOfBlock, kLineEnd, true},
    {QKeySequence::SelectStartOfDocument, kStart, true},  {QKeySequence::SelectEndOfDocument, kEnd, true},
    {QKeySequence::SelectPreviousLine, kUp, true},        {QKeySequence::SelectNextLine, kDown, true},
    {QKeySequence::MoveToNextWord, kWordRight, false},    {QKeySequence::MoveToPreviousWord, kWordLeft, false},
    {QKeySequence::MoveToEndOfBlock, kLineEnd, false},    {QKeySequence::MoveToStartOfBlock, kLineStart, false},
    {QKeySequence::MoveToNextLine, kDown, false},         {QKeySequence::MoveToPreviousLine, kUp, false},
    {QKeySequence::MoveToStartOfLine, kLineStart, false}, {QKeySequence::MoveToEndOfLine, kLineEnd, false},
    {QKeySequence::MoveToStartOfDocument, kStart, false}, {QKeySequence::MoveToEndOfDocument, kEnd, false},
};

// Keys the document's text control would change the text for. Undo and
// Redo are not among them: a text just shown has no history.
bool editsText(QKeyEvent* e) {
  for (QKeySequence::StandardKey key :
       {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Delete, QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine,
        QKeySequence::InsertParagraphSeparator, QKeySequence::InsertLineSeparator}) {
    if (e->matches(key)) return true;
  }
  switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return true;
    default:
      break;
  }
  const QString text = e->text();
  return !text.isEmpty() && (text.at(0).isPrint() || text.at(0) == u'\t');
}

// Laid-out lines kept between paints; more are dropped, and laid out again
// when they come back into view.
constexpr size_t kKeptLayouts = 512;
}  // namespace

LargeTextView::LargeTextView(QPlainTextEdit& area, std::shared_ptr<const WindowText> text)
    : area_(area), text_(std::move(text)) {
  focused_ = area_.hasFocus();
  area_.horizontalScrollBar()->setValue(0);
  adjustScrollBars();
  if (focused_) restartBlink();
  area_.viewport()->update();
}

LargeTextView::~LargeTextView() = default;

QString LargeTextView::lineText(qsizetype line) const {
  const std::string_view bytes = text_->line(static_cast<size_t>(line));
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

qsizetype LargeTextView::lineLength(qsizetype line) const { return layoutOf(line).text().size(); }

QTextLayout& LargeTextView::layoutOf(qsizetype line) const {
  auto found = layouts_.find(line);
  if (found != layouts_.end()) return *found->second;
  // A line or paragraph separator inside a line would break it in two
  // here; it stands as a blank, so that every line is one and a column is a
  // column.
  QString text = lineText(line);
  text.replace(QChar::LineSeparator, u' ').replace(QChar::ParagraphSeparator, u' ');
  auto layout = std::make_unique<QTextLayout>(text, area_.font());
  QTextOption option = area_.document()->defaultTextOption();
  option.setWrapMode(QTextOption::NoWrap);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  QTextLine textLine = layout->createLine();
  if (textLine.isValid()) {
    textLine.setLeadingIncluded(true);
    textLine.setPosition(QPointF(0, 0));
  }
  layout->endLayout();
  if (textLine.isValid()) widest_ = std::max(widest_, textLine.naturalTextWidth());
  return *layouts_.emplace(line, std::move(layout)).first->second;
}

qreal LargeTextView::heightOf(qsizetype line) const {
  const QTextLayout& layout = layoutOf(line);
  return layout.lineCount() ? layout.lineAt(0).height() : QFontMetricsF(area_.font()).lineSpacing();
}

// A line's block in the document: the last one holds the bottom margin too.
qreal LargeTextView::blockHeight(qsizetype line) const {
  return heightOf(line) + (line == lastLine() ? margin() : 0);
}

qreal LargeTextView::margin() const { return area_.document()->documentMargin(); }


int LargeTextView::verticalOffset() const { return topLine() == 0 ? -static_cast<int>(margin()) : 0; }

qreal LargeTextView::lineTop(qsizetype line) const {
  // Far from the view only the side matters: the sum stops there.
  const qreal far = 3.0 * std::max(area_.viewport()->height(), 1);
  const qsizetype top = topLine();
  qreal y = 0;
  for (qsizetype l = top; l < line && y <= far; ++l) y += heightOf(l);
  for (qsizetype l = top - 1; l >= line && y >= -far; --l) y -= heightOf(l);
  return y;
}

void LargeTextView::adjustScrollBars() {
  // As the document reckons its range: the lines wholly in view when the
  // last one is at the bottom make the page, the rest the range.
  const qsizetype lines = static_cast<qsizetype>(text_->lineCount());
  qsizetype page = 0;
  qsizetype maximum = lines - 1;
  if (area_.isVisible()) {
    const qreal room = area_.viewport()->height() - margin() - 1;
    qreal y = 0;
    for (qsizetype line = lastLine(); line >= 0; --line) {
      y += blockHeight(line);
      if (y > room) break;
      ++page;
    }
    maximum = lines - page;
  } else {
    page = static_cast<qsizetype>(area_.viewport()->height() / std::max(1, area_.fontMetrics().lineSpacing()));
  }
  QScrollBar* v = area_.verticalScrollBar();
  v->setRange(0, static_cast<int>(std::clamp<qsizetype>(maximum, 0, INT_MAX)));
  v->setPageStep(static_cast<int>(std::min<qsizetype>(page, INT_MAX)));
  v->setSingleStep(1);
  // The document sets the bar's place for its own text without a word;
  // the place is the view's.
  topLine_ = std::min<qsizetype>(topLine_, v->maximum());
  v->setValue(static_cast<int>(topLine_));
  // As wide as the widest line laid out so far, as the document's: the
  // range grows as lines come into view.
  const int viewWidth = area_.viewport()->width();
  QScrollBar* h = area_.horizontalScrollBar();
  h->setRange(0, std::max(0, static_cast<int>(widest_ + 2 * margin()) - viewWidth));
  h->setPageStep(viewWidth);
  h->setSingleStep(20);
}

void LargeTextView::relayout() {
  layouts_.clear();
  widest_ = 0;
  adjustScrollBars();
  area_.viewport()->update();
}

LargeTextView::Position LargeTextView::hit(QPointF point) const {
  // As the document finds the place under a point: the line whose block
  // holds its height (the first above the text, the last below it), and
  // in the bottom margin the end of the last line.
  const qreal y = point.y() + verticalOffset();
  qsizetype line = topLine();
  qreal top = 0;
  while (line < lastLine() && top + blockHeight(line) <= y) top += blockHeight(line++);
  while (line > 0 && top > y) top -= blockHeight(--line);
  const QTextLayout& layout = layoutOf(line);
  if (!layout.lineCount() || top > y) return {line, 0};
  if (top + layout.lineAt(0).height() <= y) return {line, layout.text().size()};
  const qreal x = point.x() - margin() + area_.horizontalScrollBar()->value();
  return {line, layout.lineAt(0).xToCursor(x)};
}

LargeTextView::Position LargeTextView::moved(Position from, int operation) const {
  const QTextLayout& layout = layoutOf(from.line);
  const qsizetype length = layout.text().size();
  switch (operation) {
    case kLeft:
    case kWordLeft:
      if (from.column > 0) {
        const auto mode = operation == kLeft ? QTextLayout::SkipCharacters : QTextLayout::SkipWords;
        return {from.line, layout.previousCursorPosition(static_cast<int>(from.column), mode)};
      }
      return from.line > 0 ? Position{from.line - 1, lineLength(from.line - 1)} : from;
    case kRight:
    case kWordRight:
      if (from.column < length) {
        const auto mode = operation == kRight ? QTextLayout::SkipCharacters : QTextLayout::SkipWords;
        return {from.line, layout.nextCursorPosition(static_cast<int>(from.column), mode)};
      }
      return from.line < lastLine() ? Position{from.line + 1, 0} : from;
    case kLineStart:
      return {from.line, 0};
    case kLineEnd:
      return {from.line, length};
    case kStart:
      return {0, 0};
    case kEnd:
    default:
      return {lastLine(), lineLength(lastLine())};
  }
}

void LargeTextView::moveTo(Position to, bool keepAnchor, bool keepX) {
  if (to != cursor_) pageYKept_ = false;
  cursor_ = to;
  if (!keepAnchor) anchor_ = to;
  if (!keepX) cursorX_ = caretX(to);
  ensureCursorVisible();
  restartBlink();
  area_.viewport()->update();
}

void LargeTextView::setTopLine(qsizetype line) {
  QScrollBar* v = area_.verticalScrollBar();
  topLine_ = std::clamp<qsizetype>(line, 0, v->maximum());
  v->setValue(static_cast<int>(topLine_));
  area_.viewport()->update();
}

void LargeTextView::scrolledTo(int topLine) {
  topLine_ = topLine;
  area_.viewport()->update();
}

qreal LargeTextView::caretX(Position at) const {
  const QTextLayout& layout = layoutOf(at.line);
  return layout.lineCount() ? layout.lineAt(0).cursorToX(static_cast<int>(at.column)) : 0;
}

void LargeTextView::ensureCursorVisible() {
  // The document's rules, to the pixel: nothing moves while the caret's
  // rectangle is in view; a caret below the view brings its line to the
  // bottom of it, above the view to the top; a caret left or right of the
  // view is centred across it.
  const int viewHeight = area_.viewport()->height();
  const int offset = verticalOffset();
  const qreal top = lineTop(cursor_.line);
  const qreal height = heightOf(cursor_.line);
  if (qRound(top) - offset < 0 || qRound(top + height) - 1 - offset > viewHeight - 1) {
    if (top + height >= offset + viewHeight) {
      qsizetype line = cursor_.line;
      qsizetype below = line;
      qreal reach = height;
      while (reach < viewHeight && line > 0) {
        below = line;
        --line;
        reach += blockHeight(line);
      }
      const int lineOffset = line == 0 ? -static_cast<int>(margin()) : 0;
      setTopLine(reach - lineOffset <= viewHeight ? line : below);
    } else if (top < offset) {
      setTopLine(cursor_.line);
    }
  }
  const qreal x = margin() + caretX(cursor_);
  QScrollBar* h = area_.horizontalScrollBar();
  const int left = qRound(x) - h->value();
  const int right = qRound(x + area_.cursorWidth()) - 1 - h->value();
  const int viewWidth = area_.viewport()->width();
  if (left < 0 || right > viewWidth - 1) {
    adjustScrollBars();  // the caret's line may be the widest yet
    h->setValue(static_cast<int>((qint64{left} + right) / 2) + h->value() - viewWidth / 2);
  }
}

void LargeTextView::pageUpDown(bool down, bool keepAnchor) {
  // As the document pages: the view moves by the lines wholly in it, and
  // the caret goes to the line at the height in the view it had when the
  // paging began (its x kept), or to the first or last line when the view
  // is at the start or end already.
  ensureCursorVisible();
  if (!pageYKept_) pageY_ = lineTop(cursor_.line) - verticalOffset();
  qreal lastY = pageY_;
  const int viewHeight = area_.viewport()->height();
  const qsizetype top = topLine();
  const qreal viewTop = verticalOffset();
  bool toEnd = false;
  if (down) {
    const qreal bottom = viewTop + viewHeight;
    qreal reach = 0;
    qsizetype line = top;
    while (reach + blockHeight(line) <= bottom) {
      if (line == lastLine()) {
        toEnd = true;
        break;
      }
      reach += blockHeight(line++);
    }
    if (!toEnd) setTopLine(line);
  } else {
    const qreal pageTop = viewTop - viewHeight;
    qreal reach = 0;
    qsizetype line = top;
    while (reach >= pageTop) {
      if (line == 0) {
        if (top == 0) lastY = 0;
        break;
      }
      reach -= blockHeight(--line);
    }
    if (pageTop - reach > 0 && line + 1 <= lastLine() && line + 1 != top) ++line;
    setTopLine(line);
  }
  // The caret steps a line at a time, at least once, until it reaches the
  // height it had.
  qsizetype line = cursor_.line;
  if (down && toEnd) {
    line = lastLine();
  } else {
    lastY += verticalOffset();
    if (down) {
      while (line < lastLine()) {
        ++line;
        if (lineTop(line) >= lastY) break;
      }
    } else {
      while (line > 0) {
        --line;
        if (lineTop(line) <= lastY) break;
      }
    }
  }
  if (line == cursor_.line) {
    // It could not step at all: it stays, and so does a selection.
    ensureCursorVisible();
  } else {
    const QTextLayout& layout = layoutOf(line);
    moveTo({line, layout.lineCount() ? layout.lineAt(0).xToCursor(cursorX_) : 0}, keepAnchor, true);
  }
  pageYKept_ = true;
}

LargeTextView::KeyUse LargeTextView::keyPress(QKeyEvent* e) {
  if (layouts_.size() > kKeptLayouts) layouts_.clear();
  if (e->matches(QKeySequence::SelectPreviousPage) || e->matches(QKeySequence::SelectNextPage)) {
    pageUpDown(e->matches(QKeySequence::SelectNextPage), true);
    return KeyUse::Done;
  }
  if (e->matches(QKeySequence::MoveToPreviousPage) || e->matches(QKeySequence::MoveToNextPage)) {
    pageUpDown(e->matches(QKeySequence::MoveToNextPage), false);
    return KeyUse::Done;
  }
  if (e->matches(QKeySequence::SelectAll)) {
    selectAll();
    return KeyUse::Done;
  }
  if (e->matches(QKeySequence::Copy)) {
    copy();
    return KeyUse::Done;
  }
  for (const KeyMove& move : kKeyMoves) {
    if (!e->matches(move.key)) continue;
    Operation operation = move.operation;
    // Selecting a line on from the first or last line selects to the start
    // or end.
    if (operation == kDown && move.select && cursor_.line == lastLine()) operation = kEnd;
    if (operation == kUp && move.select && cursor_.line == 0) operation = kStart;
    if (operation == kUp || operation == kDown) {
      const qsizetype line = cursor_.line + (operation == kUp ? -1 : 1);
      // At the first or last line the caret stays, and so does a selection.
      if (line < 0 || line > lastLine()) {
        ensureCursorVisible();
        return KeyUse::Done;
      }
      const QTextLayout& layout = layoutOf(line);
      moveTo({line, layout.lineCount() ? layout.lineAt(0).xToCursor(cursorX_) : 0}, move.select, true);
      return KeyUse::Done;
    }
    // A selection left by Left or Right ends at its own start or end.
    if (!move.select && hasSelection() && (operation == kLeft || operation == kRight)) {
      moveTo(operation == kLeft ? std::min(cursor_, anchor_) : std::max(cursor_, anchor_), false);
      return KeyUse::Done;
    }
    moveTo(moved(cursor_, operation), move.select);
    return KeyUse::Done;
  }
  if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) return KeyUse::Done;
  return editsText(e) ? KeyUse::Edits : KeyUse::NotMine;
}

void LargeTextView::selectAll() {
  // As the document selects all: the caret at the end, the view where it was.
  anchor_ = {0, 0};
  const Position end = moved(cursor_, kEnd);
  if (end != cursor_) pageYKept_ = false;
  cursor_ = end;
  cursorX_ = caretX(cursor_);
  area_.viewport()->update();
}

QString LargeTextView::selectedText() const {
  if (!hasSelection()) return {};
  const Position from = std::min(cursor_, anchor_);
  const Position to = std::max(cursor_, anchor_);
  if (from.line == to.line) return lineText(from.line).mid(from.column, to.column - from.column);
  QString out = lineText(from.line).mid(from.column);
  out += u'\n';
  if (to.line > from.line + 1) {
    // The whole lines between, their LFs included, straight from the text.
    const size_t begin = text_->lineStart(static_cast<size_t>(from.line + 1));
    const size_t end = text_->lineStart(static_cast<size_t>(to.line));
    out += QString::fromUtf8(text_->utf8().data() + begin, static_cast<qsizetype>(end - begin));
  }
  out += lineText(to.line).left(to.column);
  return out;
}

void LargeTextView::copy() const {
  if (hasSelection()) QGuiApplication::clipboard()->setText(selectedText());
}

void LargeTextView::mousePress(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  if (layouts_.size() > kKeptLayouts) layouts_.clear();
  moveTo(hit(e->position()), (e->modifiers() & Qt::ShiftModifier) != 0);
  selecting_ = true;
}

void LargeTextView::mouseMove(QMouseEvent* e) {
  if (!selecting_ || !(e->buttons() & Qt::LeftButton)) return;
  // Dragged past the top or bottom, the view follows a line at a time.
  const QPointF p = e->position();
  if (p.y() < 0 && topLine() > 0) setTopLine(topLine() - 1);
  if (p.y() > area_.viewport()->height()) setTopLine(topLine() + 1);
  moveTo(hit(p), true);
}

void LargeTextView::mouseRelease(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  selecting_ = false;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (hasSelection() && clipboard->supportsSelection()) clipboard->setText(selectedText(), QClipboard::Selection);
}

void LargeTextView::mouseDoubleClick(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const Position at = hit(e->position());
  const QString line = lineText(at.line);
  QTextBoundaryFinder words(QTextBoundaryFinder::Word, line);
  words.setPosition(at.column);
  const qsizetype start = words.isAtBoundary() && (words.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
                              ? at.column
                              : std::max<qsizetype>(0, words.toPreviousBoundary());
  words.setPosition(at.column);
  const qsizetype end = words.toNextBoundary();
  anchor_ = {at.line, start};
  moveTo({at.line, end < 0 ? line.size() : end}, true);
}

void LargeTextView::paint(QPaintEvent* e) {
  if (layouts_.size() > kKeptLayouts) layouts_.clear();
  const qreal widestBefore = widest_;
  QPainter painter(area_.viewport());
  const QPalette& palette = area_.palette();
  painter.setPen(palette.text().color());
  const qreal x = margin() - area_.horizontalScrollBar()->value();
  const QRect dirty = e->rect();
  const Position from = std::min(cursor_, anchor_);
  const Position to = std::max(cursor_, anchor_);
  const bool caret = focused_ && caretShown_ && !area_.isReadOnly();
  qreal next = -verticalOffset();
  for (qsizetype line = topLine(); line <= lastLine() && next <= dirty.bottom(); ++line) {
    const qreal y = next;
    next += heightOf(line);
    if (next < dirty.top()) continue;
    QTextLayout& layout = layoutOf(line);
    QList<QTextLayout::FormatRange> selection;
    if (hasSelection() && line >= from.line && line <= to.line) {
      // As the document draws it: a selection that goes on past a line
      // takes in its line end.
      QTextLayout::FormatRange range;
      range.start = static_cast<int>(line == from.line ? from.column : 0);
      const qsizetype end = line == to.line ? to.column : layout.text().size() + 1;
      range.length = static_cast<int>(end - range.start);
      range.format.setBackground(palette.brush(QPalette::Highlight));
      range.format.setForeground(palette.brush(QPalette::HighlightedText));
      selection.append(range);
    }
    layout.draw(&painter, QPointF(x, y), selection);
    if (caret && line == cursor_.line)
      layout.drawCursor(&painter, QPointF(x, y), static_cast<int>(cursor_.column), area_.cursorWidth());
  }
  // A line wider than reckoned came into view: the scroll bar reaches it.
  if (widest_ > widestBefore) QMetaObject::invokeMethod(this, [this] { adjustScrollBars(); }, Qt::QueuedConnection);
}

void LargeTextView::focusChanged(bool focused) {
  focused_ = focused;
  if (focused) {
    restartBlink();
  } else {
    blink_.stop();
  }
  area_.viewport()->update();
}

void LargeTextView::restartBlink() {
  caretShown_ = true;
  const int flash = QApplication::cursorFlashTime();
  if (focused_ && flash > 0) {
    blink_.start(flash / 2, this);
  } else {
    blink_.stop();
  }
}

void LargeTextView::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blink_.timerId()) return QObject::timerEvent(event);
  caretShown_ = !caretShown_;
  const qreal top = lineTop(cursor_.line) - verticalOffset();
  const int height = static_cast<int>(std::ceil(heightOf(cursor_.line)));
  area_.viewport()->update(QRect(0, static_cast<int>(std::floor(top)) - 1, area_.viewport()->width(), height + 2));
}

}  // namespace vennik
