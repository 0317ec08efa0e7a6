// Files replaced whole, and settings, on a full disk and in a read-only
// folder: the failure is told, the previous file is intact (written beside it
// and renamed), and what the program holds stays usable.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileFaults.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/platform/WholeFile.h"

namespace vantor {
namespace {

class SettingsOnAFaultyDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    auto store = SettingsStore::OpenFile(Path());
    store->WriteInt("Config", "MaxClient", 4);
    ASSERT_TRUE(store->Sync());
    previous_ = Contents();
  }
  QString Path() const { return dir_.filePath("settings.ini"); }
  QByteArray Contents() const {
    QFile file(Path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  // Many values, so the file must grow.
  static void WriteMany(SettingsStore& store) {
    for (int i = 0; i < 400; ++i) store.WriteString("Config", QString("key%1").arg(i), QString(40, 'v'));
    store.WriteInt("Config", "MaxClient", 9);
  }

  QTemporaryDir dir_;
  QByteArray previous_;
};

TEST_F(SettingsOnAFaultyDisk, FullDisk) {
  auto store = SettingsStore::OpenFile(Path());
  WriteMany(*store);
  {
    const test::FileSizeLimit full(1024);
    EXPECT_FALSE(store->Sync());
  }
  EXPECT_EQ(Contents(), previous_);
  EXPECT_EQ(store->ReadInt("Config", "MaxClient", 0), 9) << "the program goes on with what it holds";
}

TEST_F(SettingsOnAFaultyDisk, ReadOnlyFolder) {
  auto store = SettingsStore::OpenFile(Path());
  WriteMany(*store);
  {
    const test::ReadOnlyFolder readOnly(dir_.path().toStdString());
    ASSERT_EQ(readOnly.Failed(), "");
    EXPECT_FALSE(store->Sync());
  }
  EXPECT_EQ(Contents(), previous_);
  EXPECT_TRUE(store->Sync()) << "written once the folder takes it again";
  EXPECT_EQ(SettingsStore::OpenFile(Path())->ReadInt("Config", "MaxClient", 0), 9);
}

// QSaveFile by itself commits a file that a full disk cut short.
TEST(WholeFileOnAFaultyDisk, ShortWriteKeepsThePreviousFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("list.txt");
  ASSERT_TRUE(WriteWholeFile(path, "previous\n"));
  QString error;
  {
    const test::FileSizeLimit full(16);
    EXPECT_FALSE(WriteWholeFile(path, QByteArray(300, 'a'), QIODevice::Text, &error));
  }
  EXPECT_FALSE(error.isEmpty());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "previous\n");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
  {
    const test::ReadOnlyFolder readOnly(dir.path().toStdString());
    ASSERT_EQ(readOnly.Failed(), "");
    EXPECT_FALSE(WriteWholeFile(path, "new\n"));
  }
  EXPECT_TRUE(WriteWholeFile(path, "new\n"));
}

}  // namespace
}  // namespace vantor
