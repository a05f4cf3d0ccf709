#pragma once
// The large text area of the main window: plain, editable text without line
// wrapping or length limit and with both scroll bars. A drop on it is not
// inserted at the cursor; it is reported, as a text or as a list of files,
// so that the dropped text or file can be analysed.
#include <QPlainTextEdit>
#include <QStringList>

class QMimeData;

namespace vennik {

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

  // The whole content with lines separated by LF, every character kept
  // (plainText() would turn no-break spaces into blanks).
  QString content() const;

  // Shows the text as setPlainText does; a large one goes in a part at a
  // time, each from its own turn of the event loop, so that the window
  // paints and answers throughout (one call for a report of a million-line
  // source held it still for seconds). Meanwhile filling() is true, the
  // text cannot be edited and textChanged comes from each part. A later
  // call drops what is left of an earlier one. The text may be raw data
  // (QString::fromRawData) as long as its owner calls keepPendingText
  // before changing it; the document gets copies.
  void showText(QString text);
  bool filling() const { return filling_; }
  // Makes what is left to fill a copy of its own: for a text given as raw
  // data (QString::fromRawData) whose owner is about to change it.
  void keepPendingText();
  // Not editable while locked (an analysis is running) or filling.
  void setLocked(bool locked);

  // The most characters one part takes (whole lines, so a little more).
  static constexpr qsizetype kFillPart = qsizetype{1} << 17;

 signals:
  void dropped(const vennik::DropContent& content);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void fillNextPart(quint64 generation);
  void setFilling(bool filling);

  QString pending_;
  qsizetype pendingAt_ = 0;
  quint64 fillGeneration_ = 0;
  bool filling_ = false;
  bool locked_ = false;
};

}  // namespace vennik
