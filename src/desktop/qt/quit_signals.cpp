#include "desktop/qt/quit_signals.h"

#include <QSocketNotifier>

#include "system/signals/stop_signals.h"

namespace vennik {

QuitSignals::QuitSignals(QObject* parent)
    : QObject(parent),
      signals_(std::make_unique<StopSignals>(StopSignals::Restart::Calls)) {
  // The desktop program runs on POSIX systems only: the handle is the pipe's
  // descriptor, which the event loop watches.
  if (!signals_->wake().valid()) return;
  notifier_ = new QSocketNotifier(static_cast<qintptr>(signals_->wake().native()), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::drain);
}

QuitSignals::~QuitSignals() {
  delete notifier_;  // before the pipe it watches closes
}

void QuitSignals::drain() {
  signals_->drain();
  emit received();
}

}  // namespace vennik
