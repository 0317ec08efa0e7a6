// The display settings stored on a full disk: the caller is told, the
// previous settings file is intact, and the values are written once the
// disk takes them.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "FileFaults.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/platform/SettingsStore.h"

namespace vantor::model {
namespace {

TEST(ClientSettingsOnAFaultyDisk, StoreSaysWhenItCannotWrite) {
  QTemporaryDir dir;
  const QString path = dir.filePath("rivak.ini");
  auto store = SettingsStore::OpenFile(path);
  ClientSettings settings;
  ASSERT_TRUE(settings.Store(*store));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray previous = file.readAll();
  file.close();

  settings.imperial = true;
  settings.fontSizeText = QString(3000, '9');  // the file must grow
  {
    const test::FileSizeLimit full(static_cast<std::uint64_t>(previous.size()));
    EXPECT_FALSE(settings.Store(*store));
  }
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), previous);
  file.close();
  EXPECT_TRUE(store->Sync()) << "the pending values are written once there is room";
  EXPECT_TRUE(ClientSettings::Load(*SettingsStore::OpenFile(path)).imperial);
}

}  // namespace
}  // namespace vantor::model
