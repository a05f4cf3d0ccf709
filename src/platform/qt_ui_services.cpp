#include "platform/qt_ui_services.h"

#include <QFileDialog>
#include <QMessageBox>

#include "platform/main_window.h"

namespace vennik {

namespace {
QString qtext(TextView s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

std::optional<Text> runFileDialog(MainWindow& window, const FileRequest& request, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(&window, qtext(request.title), qtext(request.startFolder));
  dialog.setAcceptMode(mode);
  // Any name in an existing folder is accepted: the Open requester takes a
  // file that does not exist (its load gives an empty source), and Save
  // replaces without asking.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  const QStringList filters = nameFiltersOf(request.filters);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
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

bool QtUiServices::askYesNo(TextView title, TextView text) {
  QMessageBox box(QMessageBox::NoIcon, qtext(title), qtext(text), QMessageBox::Yes | QMessageBox::No, &window_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

void QtUiServices::showMessage(TextView title, TextView text) {
  QMessageBox box(QMessageBox::NoIcon, qtext(title), qtext(text), QMessageBox::Ok, &window_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtUiServices::markCopyMode(int32_t mode) { window_.markCopyMode(mode); }

void QtUiServices::setCopyTooltip(TextView tooltip) { window_.setCopyTooltip(qtext(tooltip)); }

}  // namespace vennik
