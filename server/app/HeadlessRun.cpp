#include "HeadlessRun.h"

#include <QCoreApplication>

#include "CommandLine.h"
#include "ShutdownSignals.h"
#include "vantor/platform/Notifier.h"
#include "vantor/server/ServerRuntime.h"

int RunHeadless(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const auto commandLine = ParseServerCommandLine();
  if (!commandLine) return 2;
  return ServeHeadless(*commandLine);
}

int ServeHeadless(const ServerCommandLine& commandLine) {
  using vantor::server::ServerRuntime;
  vantor::StderrNotifier notifier(QStringLiteral("vantorsrv"));
  const std::unique_ptr<ServerRuntime> runtime = MakeServerRuntime(commandLine, notifier);
  runtime->LoadStartSettings();
  QObject::connect(runtime.get(), &ServerRuntime::StatusChanged, runtime.get(),
                   [&notifier](const QString& text) { notifier.ShowInformation(text); });

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
