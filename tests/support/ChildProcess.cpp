#include "ChildProcess.h"

#include <QProcessEnvironment>

#include "TestSupport.h"

namespace vantor::test {

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments, const QString& folder) {
  process_.setProcessChannelMode(QProcess::MergedChannels);
  process_.setWorkingDirectory(folder);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  process_.setProcessEnvironment(environment);
  process_.start(ProgramPath(program), arguments);
}

ChildProcess::~ChildProcess() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

QString ChildProcess::Output() {
  output_ += QString::fromUtf8(process_.readAll());
  return output_;
}

bool ChildProcess::WaitFor(const QString& text, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return Output().contains(text); }, timeout);
}

}  // namespace vantor::test
