#pragma once
// SIGTERM, SIGINT and SIGHUP end the program as the Quit button does, so that
// a logout or a kill from a terminal still stores the settings. The signal
// handler only writes a byte into a pipe; the event loop does the rest.
#include <QObject>
#include <memory>

class QSocketNotifier;

namespace vennik {

class StopSignals;

class QuitSignals : public QObject {
  Q_OBJECT

 public:
  // Only one may exist at a time.
  explicit QuitSignals(QObject* parent = nullptr);
  ~QuitSignals() override;

 signals:
  void received();

 private:
  void drain();
  std::unique_ptr<StopSignals> signals_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vennik
