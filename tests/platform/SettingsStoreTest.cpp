#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include "vantor/platform/SettingsStore.h"

namespace vantor {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  QString path() const { return dir_.filePath("settings.ini"); }
  QTemporaryDir dir_;
};

TEST_F(SettingsStoreTest, MissingValuesGiveDefaults) {
  auto store = SettingsStore::OpenFile(path());
  EXPECT_EQ(store->ReadInt("Config", "MaxClient", 10), 10);
  EXPECT_EQ(store->ReadString("Config", "bluepass", "x"), "x");
  EXPECT_FALSE(store->Contains("Config", "MaxClient"));
  EXPECT_FALSE(QFile::exists(path()));  // reading never creates the file
}

TEST_F(SettingsStoreTest, SectionAndValueNamesIgnoreCase) {
  {
    auto store = SettingsStore::OpenFile(path());
    store->WriteInt("Config", "MaxClient", 4);
    store->WriteString("config", "bluepass", "alpha");
    ASSERT_TRUE(store->Sync());
  }
  auto store = SettingsStore::OpenFile(path());
  EXPECT_EQ(store->ReadInt("CONFIG", "maxclient", 10), 4);
  EXPECT_EQ(store->ReadString("Config", "BluePass", ""), "alpha");
  // A write under another spelling replaces the value instead of adding one.
  store->WriteInt("config", "MAXCLIENT", 7);
  store->Sync();
  EXPECT_EQ(store->ReadInt("Config", "MaxClient", 10), 7);
  QFile file(path());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_EQ(text.count("MaxClient"), 1);
  EXPECT_EQ(text.toLower().count("maxclient"), 1);
  EXPECT_EQ(text.toLower().count("[config]"), 1);
}

TEST_F(SettingsStoreTest, NamesWithBlanksRoundTrip) {
  auto store = SettingsStore::OpenFile(path());
  store->WriteString("config", "Installer Language", "1033");
  store->Sync();
  auto again = SettingsStore::OpenFile(path());
  EXPECT_EQ(again->ReadString("Config", "installer language", "1036"), "1033");
}

TEST_F(SettingsStoreTest, IntegersFromTextUseLeadingDigits) {
  auto store = SettingsStore::OpenFile(path());
  store->WriteString("config", "fontsize", "12abc");
  store->WriteString("config", "blank", "");
  store->WriteString("config", "neg", " -42x");
  store->WriteString("config", "huge", "99999999999999");
  EXPECT_EQ(store->ReadInt("config", "fontsize", 8), 12);
  EXPECT_EQ(store->ReadInt("config", "blank", 8), 0);
  EXPECT_EQ(store->ReadInt("config", "neg", 8), -42);
  EXPECT_EQ(store->ReadInt("config", "huge", 8), 2147483647);
}

TEST(ProfileTextToInt, Forms) {
  EXPECT_EQ(ProfileTextToInt("17"), 17);
  EXPECT_EQ(ProfileTextToInt("+5"), 5);
  EXPECT_EQ(ProfileTextToInt("abc"), 0);
  EXPECT_EQ(ProfileTextToInt("-"), 0);
  EXPECT_EQ(ProfileTextToInt("-2147483648"), -2147483647 - 1);
}

TEST(SettingsStoreOpen, EmptyPathMeansUserStoreOtherwiseFile) {
  QTemporaryDir dir;
  const QString file = dir.filePath("x.ini");
  EXPECT_EQ(SettingsStore::Open("Rivak", file)->Location(), file);
  // The user store of one application is one file whatever its spelling.
  EXPECT_EQ(SettingsStore::OpenUser("Rivak")->Location(), SettingsStore::OpenUser("rivak")->Location());
}

}  // namespace
}  // namespace vantor
