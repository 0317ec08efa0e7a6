#pragma once
// A program of the build run as a child of a test: its standard output and
// error merged, on the offscreen platform, ended (terminate, then kill) when
// the test lets go of it.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>

namespace vantor::test {

class ChildProcess {
 public:
  // `program` is a name in BinDir(); `folder` its working folder.
  ChildProcess(const QString& program, const QStringList& arguments, const QString& folder);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Everything the program has written so far.
  QString Output();
  // Runs the event loop until the output holds `text`.
  bool WaitFor(const QString& text, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  QProcess& Get() { return process_; }

 private:
  QProcess process_;
  QString output_;
};

}  // namespace vantor::test
