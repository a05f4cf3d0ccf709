#include "desktop/qt/report_text_edit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QTextDocument>
#include <QUrl>

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
}

QString ReportTextEdit::content() const {
  QString text = document()->toRawText();
  for (QChar& c : text) {
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
  }
  return text;
}

namespace {
// Where the part that starts at `from` ends: after the line end that
// follows the part's size, or at the end.
qsizetype partEnd(const QString& text, qsizetype from) {
  if (text.size() - from <= ReportTextEdit::kFillPart) return text.size();
  const qsizetype lineEnd = text.indexOf(u'\n', from + ReportTextEdit::kFillPart);
  return lineEnd < 0 ? text.size() : lineEnd + 1;
}
}  // namespace

void ReportTextEdit::setLocked(bool locked) {
  locked_ = locked;
  setReadOnly(locked_ || filling_);
}

void ReportTextEdit::setFilling(bool filling) {
  filling_ = filling;
  setReadOnly(locked_ || filling_);
  // An edit of the filled text could be undone into a half-filled one, and
  // the history would hold a copy of every part.
  document()->setUndoRedoEnabled(!filling_);
}

void ReportTextEdit::showText(QString text) {
  const quint64 generation = ++fillGeneration_;
  const qsizetype first = partEnd(text, 0);
  if (first == text.size()) {
    pending_.clear();
    setFilling(false);
    // A text given as raw data is copied here, so that the document never
    // shares it.
    text.detach();
    setPlainText(text);
    return;
  }
  setFilling(true);
  setPlainText(text.left(first));
  pending_ = std::move(text);
  pendingAt_ = first;
  QTimer::singleShot(0, this, [this, generation] { fillNextPart(generation); });
}

void ReportTextEdit::keepPendingText() {
  if (!filling_) return;
  pending_ = pending_.mid(pendingAt_);
  pending_.detach();
  pendingAt_ = 0;
}

void ReportTextEdit::fillNextPart(quint64 generation) {
  if (generation != fillGeneration_) return;  // a later text took its place
  const qsizetype end = partEnd(pending_, pendingAt_);
  QTextCursor atEnd(document());
  atEnd.movePosition(QTextCursor::End);
  // Each part but the last ends in a line end, which leaves an empty last
  // line for the next part to begin.
  const bool last = end == pending_.size();
  atEnd.insertText(pending_.mid(pendingAt_, end - pendingAt_));
  pendingAt_ = end;
  if (last) {
    pending_ = QString();
    pendingAt_ = 0;
    setFilling(false);
    return;
  }
  QTimer::singleShot(0, this, [this, generation] { fillNextPart(generation); });
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
