#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "vantor/server/SimulatorLauncher.h"

using namespace vantor::server;
using vantor::test::WaitUntil;

namespace {

// A stand-in simulator: notes its working folder, then ends.
QString WriteSimulator(const QTemporaryDir& dir, const QByteArray& body) {
  const QString path = SimulatorProgramPath(dir.path());
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write("#!/bin/sh\n" + body);
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path;
}

}  // namespace

TEST(SimulatorLauncher, RunsInItsFolderAndReportsItsEnd) {
  QTemporaryDir dir;
  const QString program = WriteSimulator(dir, "pwd > started.txt\nsleep 0.2\n");
  QObject context;
  ProcessSimulatorLauncher launcher;
  bool ended = false;
  bool failed = false;
  launcher.Launch(program, dir.path(), &context, {[&] { failed = true; }, [&] { ended = true; }});
  ASSERT_TRUE(WaitUntil([&] { return ended || failed; }));
  EXPECT_TRUE(ended);
  QFile started(dir.filePath("started.txt"));
  ASSERT_TRUE(started.open(QIODevice::ReadOnly));
  EXPECT_EQ(QDir(QString::fromLocal8Bit(started.readAll().trimmed())).canonicalPath(),
            QDir(dir.path()).canonicalPath());
}

TEST(SimulatorLauncher, MissingProgramFailsToStart) {
  QTemporaryDir dir;
  QObject context;
  ProcessSimulatorLauncher launcher;
  bool ended = false;
  bool failed = false;
  launcher.Launch(SimulatorProgramPath(dir.path()), dir.path(), &context,
                  {[&] { failed = true; }, [&] { ended = true; }});
  ASSERT_TRUE(WaitUntil([&] { return ended || failed; }));
  EXPECT_TRUE(failed);
  EXPECT_FALSE(ended);
}

TEST(SimulatorLauncher, LeavingWhileTheSimulatorRunsNeitherWaitsNorCallsBack) {
  QTemporaryDir dir;
  const QString program = WriteSimulator(dir, "sleep 1\n");
  bool called = false;
  {
    QObject context;
    ProcessSimulatorLauncher launcher;
    launcher.Launch(program, dir.path(), &context, {[&] { called = true; }, [&] { called = true; }});
    WaitUntil([] { return false; }, std::chrono::milliseconds(100));
  }  // returns at once, the simulator keeps running
  WaitUntil([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_FALSE(called);
}
