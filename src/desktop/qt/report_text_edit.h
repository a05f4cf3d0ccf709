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

 signals:
  void dropped(const vennik::DropContent& content);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace vennik
