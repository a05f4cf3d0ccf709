#include "desktop/qt/report_text_edit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
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
