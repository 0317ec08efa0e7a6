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
  auto store = SettingsStore::openFile(path());
  EXPECT_EQ(store->readInt("Config", "MaxClient", 10), 10);
  EXPECT_EQ(store->readString("Config", "bluepass", "x"), "x");
  EXPECT_FALSE(store->contains("Config", "MaxClient"));
  EXPECT_FALSE(QFile::exists(path()));  // reading never creates the file
}

TEST_F(SettingsStoreTest, SectionAndValueNamesIgnoreCase) {
  {
    auto store = SettingsStore::openFile(path());
    store->writeInt("Config", "MaxClient", 4);
    store->writeString("config", "bluepass", "alpha");
    ASSERT_TRUE(store->sync());
  }
  auto store = SettingsStore::openFile(path());
  EXPECT_EQ(store->readInt("CONFIG", "maxclient", 10), 4);
  EXPECT_EQ(store->readString("Config", "BluePass", ""), "alpha");
  // A write under another spelling replaces the value instead of adding one.
  store->writeInt("config", "MAXCLIENT", 7);
  store->sync();
  EXPECT_EQ(store->readInt("Config", "MaxClient", 10), 7);
  QFile file(path());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_EQ(text.count("MaxClient"), 1);
  EXPECT_EQ(text.toLower().count("maxclient"), 1);
  EXPECT_EQ(text.toLower().count("[config]"), 1);
}

TEST_F(SettingsStoreTest, NamesWithBlanksRoundTrip) {
  auto store = SettingsStore::openFile(path());
  store->writeString("config", "Installer Language", "1033");
  store->sync();
  auto again = SettingsStore::openFile(path());
  EXPECT_EQ(again->readString("Config", "installer language", "1036"), "1033");
}

TEST_F(SettingsStoreTest, IntegersFromTextUseLeadingDigits) {
  auto store = SettingsStore::openFile(path());
  store->writeString("config", "fontsize", "12abc");
  store->writeString("config", "blank", "");
  store->writeString("config", "neg", " -42x");
  store->writeString("config", "huge", "99999999999999");
  EXPECT_EQ(store->readInt("config", "fontsize", 8), 12);
  EXPECT_EQ(store->readInt("config", "blank", 8), 0);
  EXPECT_EQ(store->readInt("config", "neg", 8), -42);
  EXPECT_EQ(store->readInt("config", "huge", 8), 2147483647);
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
  EXPECT_EQ(SettingsStore::open("Rivak", file)->location(), file);
  // The user store of one application is one file whatever its spelling.
  EXPECT_EQ(SettingsStore::openUser("Rivak")->location(), SettingsStore::openUser("rivak")->location());
}

}  // namespace
}  // namespace vantor
