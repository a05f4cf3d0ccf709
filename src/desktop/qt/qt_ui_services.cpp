#include "desktop/qt/qt_ui_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "desktop/qt/main_window.h"
#include "desktop/qt/port_dialog.h"

namespace vennik {

namespace {
QString qtext(TextView s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// The busy cursor of a running command gives way to the usual one while a
// requester or message box waits for the user.
class UsualCursor {
 public:
  UsualCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~UsualCursor() { QApplication::restoreOverrideCursor(); }
  UsualCursor(const UsualCursor&) = delete;
  UsualCursor& operator=(const UsualCursor&) = delete;
};

// "txt" for "Text (*.txt)|*.txt;*.csv|...": the extension of the first
// filter's first pattern, which a saved name without one gets.
QString firstExtension(TextView filters) {
  const QStringList parts = qtext(filters).split(u'|');
  if (parts.size() < 2) return {};
  const QString pattern = parts[1].section(u';', 0, 0);
  if (!pattern.startsWith(QLatin1String("*.")) || pattern.mid(2).contains(u'*')) return {};
  return pattern.mid(2);
}

std::optional<Text> runFileDialog(MainWindow& window, const FileRequest& request, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(&window, qtext(request.title), qtext(request.startFolder));
  dialog.setAcceptMode(mode);
  // Any name in an existing folder is accepted: the Open requester takes a
  // typed name of a file that does not exist (its load says it cannot be
  // read). The Save requester asks before replacing a file, and adds the
  // extension first, so that it asks about the file that will be written.
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = nameFiltersOf(request.filters);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
  if (mode == QFileDialog::AcceptSave) dialog.setDefaultSuffix(firstExtension(request.filters));
  if (!request.suggestedName.empty()) dialog.selectFile(qtext(request.suggestedName));
  const UsualCursor cursor;
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return chosen.front().toStdU16String();
}
}  // namespace

QStringList nameFiltersOf(TextView filters) {
  QStringList out;
  const QStringList parts = qtext(filters).split(u'|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    const qsizetype open = description.lastIndexOf(u'(');
    if (open >= 0) description.truncate(open);
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    // "*.*" means every file, also one without a dot in its name.
    for (QString& p : patterns)
      if (p == QLatin1String("*.*")) p = QStringLiteral("*");
    out << description.trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return out;
}

std::optional<Text> QtUiServices::askOpenFileName(const FileRequest& request) {
  return runFileDialog(window_, request, QFileDialog::AcceptOpen);
}

std::optional<Text> QtUiServices::askSaveFileName(const FileRequest& request) {
  return runFileDialog(window_, request, QFileDialog::AcceptSave);
}

bool QtUiServices::askYesNo(TextView title, TextView text, bool yesFirst) {
  QMessageBox box(QMessageBox::NoIcon, qtext(title), qtext(text), QMessageBox::Yes | QMessageBox::No, &window_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(yesFirst ? QMessageBox::Yes : QMessageBox::No);
  const UsualCursor cursor;
  return box.exec() == QMessageBox::Yes;
}

void QtUiServices::showMessage(TextView title, TextView text) {
  QMessageBox box(QMessageBox::NoIcon, qtext(title), qtext(text), QMessageBox::Ok, &window_);
  box.setTextFormat(Qt::PlainText);
  const UsualCursor cursor;
  box.exec();
}

std::optional<size_t> QtUiServices::askChoice(TextView title, TextView text, const std::vector<Text>& choices) {
  QStringList items;
  for (const Text& c : choices) items << qtext(c);
  QInputDialog dialog(&window_);
  dialog.setWindowTitle(qtext(title));
  dialog.setLabelText(qtext(text));
  dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
  dialog.setComboBoxItems(items);
  dialog.setComboBoxEditable(false);
  const UsualCursor cursor;
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const qsizetype picked = items.indexOf(dialog.textValue());
  if (picked < 0) return std::nullopt;
  return static_cast<size_t>(picked);
}

std::optional<PortAnswer> QtUiServices::askBoardPort(const PortRequest& request) {
  const UsualCursor cursor;
  return askPortWithDialog(&window_, request);
}

void QtUiServices::markCopyMode(int32_t mode) { window_.markCopyMode(mode); }

void QtUiServices::setCopyTooltip(TextView tooltip) { window_.setCopyTooltip(qtext(tooltip)); }

void QtUiServices::markKeywordList(int32_t entry) { window_.markKeywordList(entry); }

}  // namespace vennik
