#include "desktop/qt/report_text_edit.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include "base/utf8_text.h"
#include "desktop/qt/large_text_view.h"

namespace vennik {

DropContent dropContentOf(const QMimeData* data) {
  DropContent content;
  if (data == nullptr) return content;
  if (data->hasUrls()) {
    for (const QUrl& url : data->urls())
      if (url.isLocalFile()) content.files << url.toLocalFile();
  }
  if (content.files.isEmpty() && data->hasText()) {
    content.isText = true;
    content.text = data->text();
  }
  return content;
}

ReportTextEdit::ReportTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setMaximumBlockCount(0);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setAcceptDrops(true);
  // Any other way into the document (setPlainText) ends a large text.
  connect(document(), &QTextDocument::contentsChanged, this, [this] {
    if (large_ && !filling_) large_.reset();
  });
  // The document sets the scroll bars for its own (empty) text now and
  // then; a large text puts its own ranges back at once, before the bars
  // cut the view's place down to them, and its steps once the document
  // is done.
  for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
    connect(bar, &QScrollBar::rangeChanged, this, [this] {
      if (!large_ || adjustingBars_) return;
      adjustingBars_ = true;
      large_->adjustScrollBars();
      adjustingBars_ = false;
      QMetaObject::invokeMethod(
          this, [this] { if (large_) large_->adjustScrollBars(); }, Qt::QueuedConnection);
    });
  }
}

ReportTextEdit::~ReportTextEdit() = default;

QString ReportTextEdit::content() const {
  if (large_) {
    const std::string_view text = large_->text().utf8();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  }
  QString text = document()->toRawText();
  for (QChar& c : text) {
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
  }
  return text;
}

void ReportTextEdit::setLocked(bool locked) {
  locked_ = locked;
  setReadOnly(locked_ || filling_);
}

void ReportTextEdit::setFilling(bool filling) {
  filling_ = filling;
  setReadOnly(locked_ || filling_);
  // The history would hold a copy of every part.
  document()->setUndoRedoEnabled(!filling_);
}

void ReportTextEdit::showText(std::shared_ptr<const WindowText> text) {
  // Whatever was on its way into the document, and the edits waiting on
  // it, are for a text no longer shown.
  ++takeGeneration_;
  waitingEdits_.clear();
  large_.reset();
  const std::string_view bytes = text->utf8();
  if (bytes.size() < kLargeText) {
    setFilling(false);
    setPlainText(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return;
  }
  // The document lets go of what it held.
  setFilling(true);
  setPlainText(QString());
  setFilling(false);
  large_ = std::make_unique<LargeTextView>(*this, std::move(text));
}

namespace {
// A place in the document counts the characters before it, each line end
// as one.
int documentPosition(const LargeTextView& view, LargeTextView::Position p) {
  const size_t lineStart = view.text().lineStart(static_cast<size_t>(p.line));
  return static_cast<int>(utf16Length(view.text().utf8().substr(0, lineStart)) + static_cast<size_t>(p.column));
}

// Where the part that starts at `from` ends: after the line end that
// follows the part's size, or at the end.
size_t partEnd(std::string_view text, size_t from) {
  if (text.size() - from <= ReportTextEdit::kFillPart) return text.size();
  const size_t lineEnd = text.find('\n', from + ReportTextEdit::kFillPart);
  return lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
}

void appendToDocument(QTextDocument* document, std::string_view utf8) {
  QTextCursor atEnd(document);
  atEnd.movePosition(QTextCursor::End);
  atEnd.insertText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}
}  // namespace

int ReportTextEdit::caretPosition() const {
  return large_ ? documentPosition(*large_, large_->cursor()) : textCursor().position();
}

int ReportTextEdit::anchorPosition() const {
  return large_ ? documentPosition(*large_, large_->anchor()) : textCursor().anchor();
}

void ReportTextEdit::takeIntoDocument(std::function<void()> edit) {
  if (!large_) return edit();
  waitingEdits_.push_back(std::move(edit));
  if (filling_) return;  // on its way already
  taken_ = 0;
  setFilling(true);
  const quint64 generation = ++takeGeneration_;
  QTimer::singleShot(0, this, [this, generation] { takeNextPart(generation); });
}

void ReportTextEdit::takeNextPart(quint64 generation) {
  if (generation != takeGeneration_ || !large_) return;  // shown text replaced, or taken at once
  const std::string_view text = large_->text().utf8();
  const size_t end = partEnd(text, taken_);
  appendToDocument(document(), text.substr(taken_, end - taken_));
  taken_ = end;
  if (end < text.size()) {
    QTimer::singleShot(0, this, [this, generation] { takeNextPart(generation); });
    return;
  }
  finishTaking();
}

void ReportTextEdit::finishTaking() {
  if (!large_ || !filling_) return;
  ++takeGeneration_;
  const std::string_view text = large_->text().utf8();
  if (taken_ < text.size()) appendToDocument(document(), text.substr(taken_));
  const int anchor = anchorPosition();
  const int caret = caretPosition();
  const int top = static_cast<int>(large_->topLine());
  const int left = horizontalScrollBar()->value();
  large_.reset();
  setFilling(false);
  QTextCursor cursor(document());
  cursor.setPosition(anchor);
  cursor.setPosition(caret, QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  verticalScrollBar()->setValue(top);
  horizontalScrollBar()->setValue(left);
  // The document's own idea of its top line follows the bar.
  QPlainTextEdit::scrollContentsBy(0, 0);
  std::vector<std::function<void()>> edits = std::move(waitingEdits_);
  waitingEdits_.clear();
  for (const auto& edit : edits) edit();
}

void ReportTextEdit::paintEvent(QPaintEvent* event) {
  if (large_) return large_->paint(event);
  QPlainTextEdit::paintEvent(event);
}

void ReportTextEdit::keyPressEvent(QKeyEvent* event) {
  if (large_) {
    switch (large_->keyPress(event)) {
      case LargeTextView::KeyUse::Done:
        event->accept();
        return;
      case LargeTextView::KeyUse::NotMine:
        event->ignore();
        return;
      case LargeTextView::KeyUse::Edits: {
        if (locked_) return event->ignore();
        std::shared_ptr<QKeyEvent> key(event->clone());
        takeIntoDocument([this, key] { QPlainTextEdit::keyPressEvent(key.get()); });
        event->accept();
        return;
      }
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

void ReportTextEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!large_) return QPlainTextEdit::inputMethodEvent(event);
  if (locked_ || (event->commitString().isEmpty() && event->preeditString().isEmpty())) return event->ignore();
  std::shared_ptr<QInputMethodEvent> input(event->clone());
  takeIntoDocument([this, input] { QPlainTextEdit::inputMethodEvent(input.get()); });
}

void ReportTextEdit::mousePressEvent(QMouseEvent* event) {
  if (!large_) return QPlainTextEdit::mousePressEvent(event);
  // A middle click pastes the selection where it points.
  if (event->button() == Qt::MiddleButton && !locked_ && QGuiApplication::clipboard()->supportsSelection()) {
    const QPoint at = event->position().toPoint();
    takeIntoDocument([this, at] {
      setTextCursor(cursorForPosition(at));
      insertPlainText(QGuiApplication::clipboard()->text(QClipboard::Selection));
    });
    return;
  }
  large_->mousePress(event);
}

void ReportTextEdit::mouseMoveEvent(QMouseEvent* event) {
  if (large_) return large_->mouseMove(event);
  QPlainTextEdit::mouseMoveEvent(event);
}

void ReportTextEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (large_) return large_->mouseRelease(event);
  QPlainTextEdit::mouseReleaseEvent(event);
}

void ReportTextEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (large_) return large_->mouseDoubleClick(event);
  QPlainTextEdit::mouseDoubleClickEvent(event);
}

void ReportTextEdit::contextMenuEvent(QContextMenuEvent* event) {
  if (!large_) return QPlainTextEdit::contextMenuEvent(event);
  // The document's own menu, its texts translated as its are; an entry
  // that changes the text takes the text into the document first.
  auto label = [](const char* text, QKeySequence::StandardKey key) {
    QString caption = QCoreApplication::translate("QWidgetTextControl", text);
    const QKeySequence keys(key);
    if (!keys.isEmpty()) caption += u'\t' + keys.toString(QKeySequence::NativeText);
    return caption;
  };
  const bool editable = !locked_;
  const bool selected = large_->hasSelection();
  QMenu menu(this);
  menu.addAction(label("&Undo", QKeySequence::Undo))->setEnabled(false);
  menu.addAction(label("&Redo", QKeySequence::Redo))->setEnabled(false);
  menu.addSeparator();
  QAction* cutEntry =
      menu.addAction(label("Cu&t", QKeySequence::Cut), this, [this] { takeIntoDocument([this] { cut(); }); });
  cutEntry->setEnabled(editable && selected);
  menu.addAction(label("&Copy", QKeySequence::Copy), this, [this] {
    if (large_) large_->copy();
  })->setEnabled(selected);
  QAction* pasteEntry =
      menu.addAction(label("&Paste", QKeySequence::Paste), this, [this] { takeIntoDocument([this] { paste(); }); });
  pasteEntry->setEnabled(editable && !QGuiApplication::clipboard()->text().isEmpty());
  QAction* deleteEntry = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "Delete"), this, [this] {
    takeIntoDocument([this] { textCursor().removeSelectedText(); });
  });
  deleteEntry->setEnabled(editable && selected);
  menu.addSeparator();
  menu.addAction(label("Select All", QKeySequence::SelectAll), this, [this] {
    if (large_) large_->selectAll();
  });
  menu.exec(event->globalPos());
}

void ReportTextEdit::scrollContentsBy(int dx, int dy) {
  if (large_) return large_->scrolledTo(verticalScrollBar()->value());
  QPlainTextEdit::scrollContentsBy(dx, dy);
}

void ReportTextEdit::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  if (large_) large_->adjustScrollBars();
}

void ReportTextEdit::showEvent(QShowEvent* event) {
  QPlainTextEdit::showEvent(event);
  if (large_) large_->adjustScrollBars();
}

void ReportTextEdit::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (large_ && event->type() == QEvent::FontChange) large_->relayout();
}

void ReportTextEdit::focusInEvent(QFocusEvent* event) {
  QPlainTextEdit::focusInEvent(event);
  if (large_) large_->focusChanged(true);
}

void ReportTextEdit::focusOutEvent(QFocusEvent* event) {
  QPlainTextEdit::focusOutEvent(event);
  if (large_) large_->focusChanged(false);
}

namespace {
template <typename Event>
void acceptAsCopy(Event* event) {
  if (dropContentOf(event->mimeData()).usable()) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}
}  // namespace

void ReportTextEdit::dragEnterEvent(QDragEnterEvent* event) { acceptAsCopy(event); }

void ReportTextEdit::dragMoveEvent(QDragMoveEvent* event) { acceptAsCopy(event); }

void ReportTextEdit::dropEvent(QDropEvent* event) {
  const DropContent content = dropContentOf(event->mimeData());
  if (!content.usable()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit dropped(content);
}

}  // namespace vennik
