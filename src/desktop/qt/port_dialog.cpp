#include "desktop/qt/port_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vennik {

namespace {
QString qtext(TextView s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// A listed port's line names more than its path; picked from the list it
// stands for that path, typed in it is the path itself.
QString chosenPath(const QComboBox& ports) {
  const QString text = ports.currentText().trimmed();
  const int listed = ports.findText(ports.currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  return listed >= 0 ? ports.itemData(listed).toString() : text;
}
}  // namespace

std::optional<PortAnswer> askPortWithDialog(QWidget* parent, const PortRequest& request) {
  QDialog dialog(parent);
  dialog.setWindowTitle(qtext(request.title));
  auto* layout = new QVBoxLayout(&dialog);
  if (!request.note.empty()) {
    auto* note = new QLabel(qtext(request.note), &dialog);
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    layout->addWidget(note);
  }

  auto* form = new QFormLayout;
  auto* ports = new QComboBox(&dialog);
  ports->setObjectName(QStringLiteral("port"));
  ports->setEditable(true);
  ports->setInsertPolicy(QComboBox::NoInsert);
  ports->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  ports->setMinimumContentsLength(30);
  for (const PortOffer& offer : request.ports) ports->addItem(qtext(offer.label), qtext(offer.path));
  const int preset = ports->findData(qtext(request.port));
  if (preset >= 0) {
    ports->setCurrentIndex(preset);
  } else {
    ports->setCurrentIndex(-1);
    ports->setEditText(qtext(request.port));
  }
  form->addRow(QStringLiteral("&Port:"), ports);

  auto* speed = new QComboBox(&dialog);
  speed->setObjectName(QStringLiteral("baud"));
  for (int32_t baud : request.bauds) speed->addItem(QString::number(baud), baud);
  speed->setCurrentIndex(std::max(0, speed->findData(request.baud)));
  form->addRow(QStringLiteral("&Speed (baud):"), speed);
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setText(QStringLiteral("&Send"));
  auto named = [ports, ok] { ok->setEnabled(!chosenPath(*ports).isEmpty()); };
  QObject::connect(ports, &QComboBox::editTextChanged, &dialog, named);
  named();
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString path = chosenPath(*ports);
  if (path.isEmpty() || speed->currentIndex() < 0) return std::nullopt;
  return PortAnswer{path.toStdU16String(), speed->currentData().toInt()};
}

}  // namespace vennik
