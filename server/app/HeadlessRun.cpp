#include "HeadlessRun.h"

#include <QCoreApplication>

#include <cstdio>

#include "CommandLine.h"
#include "PrintConfig.h"
#include "ShutdownSignals.h"
#include "vantor/platform/Notifier.h"
#include "vantor/server/ServerEventLog.h"
#include "vantor/server/ServerRuntime.h"

int RunHeadless(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const auto commandLine = ParseServerCommandLine();
  if (!commandLine) return 2;
  if (commandLine->printConfig) return PrintConfig(*commandLine);
  return ServeHeadless(*commandLine);
}

int ServeHeadless(const ServerCommandLine& commandLine) {
  using vantor::server::ServerRuntime;
  vantor::StderrNotifier notifier(QStringLiteral("vantorsrv"));
  const std::unique_ptr<ServerRuntime> runtime = MakeServerRuntime(commandLine, notifier);
  runtime->LoadStartSettings();
  QObject::connect(runtime.get(), &ServerRuntime::StatusChanged, runtime.get(),
                   [&notifier](const QString& text) { notifier.ShowInformation(text); });
  // The operator's view without a window: one line per event on stdout.
  vantor::server::ServerEventLog events(runtime->Clients(), runtime->Feeds(), runtime->Clock(), runtime->Language(),
                                        runtime->Options().joinTimeout);
  QObject::connect(&events, &vantor::server::ServerEventLog::EventLine, &events, [](const QString& line) {
    const QByteArray text = (line + '\n').toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    std::fflush(stdout);
  });

  ShutdownSignals shutdown([&runtime] {
    runtime->Stop();
    QCoreApplication::quit();
  });
  runtime->StartServer({.launchSimulator = !commandLine.noSimulator});
  notifier.ShowInformation(
      QStringLiteral("feed port %1, client port %2, feed intake %3 bytes per step")
          .arg(runtime->FeedPort() ? QString::number(runtime->FeedPort()) : QStringLiteral("closed"),
               runtime->ClientPort() ? QString::number(runtime->ClientPort()) : QStringLiteral("closed"))
          .arg(runtime->FeedIntakeBytes()));
  return QCoreApplication::exec();
}
