#include "desktop/qt/quit_signals.h"

#include <QSocketNotifier>
#include <csignal>

#include "system/signals/self_pipe_signals.h"

namespace vennik {

QuitSignals::QuitSignals(QObject* parent)
    : QObject(parent),
      signals_(std::make_unique<SelfPipeSignals>(std::initializer_list<int>{SIGTERM, SIGINT, SIGHUP},
                                                 SelfPipeSignals::Restart::Calls)) {
  if (signals_->fd() < 0) return;
  notifier_ = new QSocketNotifier(signals_->fd(), QSocketNotifier::Read, this);
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
