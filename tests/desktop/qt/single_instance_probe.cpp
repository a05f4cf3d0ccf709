// A stand-in for a program start, driven by the single-instance tests.
//
//   single_instance_probe [--at EPOCH_MS] [--expect N] [--linger MS] TEXT
//
// Waits until EPOCH_MS (so that several probes start at the same moment),
// then tries to become the first instance. The first prints "primary" and a
// "received HEX" line per hand-off, and quits after N hand-offs or MS
// milliseconds (neither given: runs until killed). A later one hands TEXT
// over and prints "secondary sent" or "secondary unsent".
#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "desktop/qt/single_instance.h"

namespace {

void say(const QByteArray& line) {
  std::fputs(line.constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  qint64 startAt = 0;
  int expect = 0;
  int lingerMs = 0;
  while (args.size() > 1 && args.first().startsWith(QLatin1String("--"))) {
    const QString option = args.takeFirst();
    const qint64 value = args.takeFirst().toLongLong();
    if (option == QLatin1String("--at")) startAt = value;
    if (option == QLatin1String("--expect")) expect = int(value);
    if (option == QLatin1String("--linger")) lingerMs = int(value);
  }
  const QByteArray text = args.value(0).toUtf8();

  const qint64 wait = startAt - QDateTime::currentMSecsSinceEpoch();
  if (wait > 0) QThread::msleep(wait);

  vennik::SingleInstance instance;
  if (!instance.tryBecomePrimary()) {
    say(vennik::SingleInstance::sendToPrimary(text) ? "secondary sent" : "secondary unsent");
    return 0;
  }
  say("primary");
  int received = 0;
  QObject::connect(&instance, &vennik::SingleInstance::commandTextReceived, &app,
                   [&](const QByteArray& payload) {
                     say("received " + payload.toHex());
                     if (++received == expect) QTimer::singleShot(0, &app, &QCoreApplication::quit);
                   });
  if (lingerMs > 0) QTimer::singleShot(lingerMs, &app, &QCoreApplication::quit);
  return app.exec();
}
