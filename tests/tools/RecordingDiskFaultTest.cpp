// The generator's --record file on a full disk and in a read-only folder:
// written beside its name and moved into place only when whole, so the
// previous recording survives and the feed itself goes on.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "FileFaults.h"
#include "TestSupport.h"

namespace vantor::test {
namespace {

struct GeneratorRun {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

GeneratorRun Generate(const QString& record) {
  QProcess process;
  process.start(ProgramPath("vantor-missiongen"),
                {"--stdout", "--fast", "--duration", "3", "--seed", "4", "--record", record});
  GeneratorRun run;
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class RecordingOnAFaultyDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile file(Record());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kPrevious);
  }
  QString Record() const { return dir_.filePath("mission.feed"); }
  static constexpr const char* kPrevious = "Mission start time: 0##10000001 B Previous[Allies]@@44 38 1000 1##";
  QTemporaryDir dir_;
};

TEST_F(RecordingOnAFaultyDisk, WholeRunReplacesThePreviousRecording) {
  const GeneratorRun run = Generate(Record());
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(Contents(Record()), run.out) << "the recording is the feed, whole";
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"mission.feed"});
}

TEST_F(RecordingOnAFaultyDisk, FullDiskKeepsThePreviousRecordingAndTheFeedGoesOn) {
  GeneratorRun run;
  {
    const FileSizeLimit full(4096);  // inherited by the generator
    run = Generate(Record());
  }
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_GT(run.out.size(), 4096) << "the feed is not cut by the recording's failure";
  EXPECT_TRUE(run.err.contains("cannot write the record file")) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("is left as it was")) << run.err.toStdString();
  EXPECT_EQ(Contents(Record()), kPrevious);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"mission.feed"}) << "nothing half-written left";
}

TEST_F(RecordingOnAFaultyDisk, ReadOnlyFolderIsRefusedAtTheStart) {
  GeneratorRun run;
  {
    const ReadOnlyFolder readOnly(dir_.path().toStdString());
    ASSERT_EQ(readOnly.Failed(), "");
    run = Generate(Record());
  }
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("cannot create")) << run.err.toStdString();
  EXPECT_EQ(Contents(Record()), kPrevious);
}

}  // namespace
}  // namespace vantor::test
