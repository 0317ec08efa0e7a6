// Reading the controller's settings and language.
#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "vantor/model/ClientSettings.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/texts/Texts.h"

namespace vantor::model {
namespace {

class Settings : public ::testing::Test {
 protected:
  std::unique_ptr<SettingsStore> Store() { return SettingsStore::OpenFile(dir.filePath("rivak.ini")); }
  ClientSettings Load() { return ClientSettings::Load(*Store()); }
  void WriteString(const char* name, const QString& value, const char* section = "config") {
    auto store = Store();
    store->WriteString(section, name, value);
    store->Sync();
  }
  void WriteInt(const char* name, int value) {
    auto store = Store();
    store->WriteInt("config", name, value);
    store->Sync();
  }
  QTemporaryDir dir;
};

TEST_F(Settings, DefaultsWithNothingStored) {
  const ClientSettings settings = Load();
  EXPECT_EQ(settings.language, Language::French);
  EXPECT_EQ(MenuResourceId(settings.language), 128);
  EXPECT_EQ(settings.imperial, 0);
  EXPECT_EQ(settings.showOldPositions, 1);
  EXPECT_EQ(settings.fontSize, 12);
  EXPECT_EQ(settings.displayMode, 0);
  EXPECT_EQ(settings.invertCallsign, 0);
  EXPECT_EQ(settings.showRose, 0);
  EXPECT_EQ(settings.showVoiceWindow, 0);
  EXPECT_EQ(settings.hideSpeed, 0);
}

TEST_F(Settings, LanguageFromTheInstallerValue) {
  WriteString("Installer Language", "1033");
  EXPECT_EQ(Load().language, Language::English);
  EXPECT_EQ(MenuResourceId(Load().language), 129);
  WriteString("Installer Language", "1034");
  EXPECT_EQ(Load().language, Language::Spanish);
  WriteString("Installer Language", "1036");
  EXPECT_EQ(Load().language, Language::French);
  // Anything else: French texts and the French menu.
  for (const char* odd : {"1031", "1033 ", "", "English"}) {
    WriteString("Installer Language", odd);
    const ClientSettings settings = Load();
    EXPECT_EQ(settings.language, Language::French) << odd;
    EXPECT_EQ(MenuResourceId(settings.language), 128) << odd;
    EXPECT_STREQ(Text(TextId::Cancel, settings.language), "Annuler");
  }
}

TEST_F(Settings, MetricIsStoredInverted) {
  WriteInt("metric", 0);
  EXPECT_EQ(Load().imperial, 1);
  WriteInt("metric", 1);
  EXPECT_EQ(Load().imperial, 0);
  WriteInt("metric", 7);
  EXPECT_EQ(Load().imperial, 0);
}

TEST_F(Settings, FontSizeTextUsesItsLeadingDigits) {
  const std::pair<const char*, int> cases[] = {{"16", 16}, {"abc", 0}, {"14px", 14}, {"", 0}, {"x12", 0}, {"20.5", 20}};
  for (const auto& [text, expected] : cases) {
    WriteString("fontsize", text);
    EXPECT_EQ(Load().fontSize, expected) << text;
  }
}

TEST_F(Settings, EveryValueIsReadUnderItsName) {
  WriteInt("DisplayMode", 1);
  WriteInt("ShowOldPosition", 0);
  WriteInt("Invertcallsign", 1);
  WriteInt("Showrose", 1);
  WriteInt("ShowParlix", 1);
  WriteInt("DONOTShowspeed", 1);
  const ClientSettings settings = Load();
  EXPECT_EQ(settings.displayMode, 1);
  EXPECT_EQ(settings.showOldPositions, 0);
  EXPECT_EQ(settings.invertCallsign, 1);
  EXPECT_EQ(settings.showRose, 1);
  EXPECT_EQ(settings.showVoiceWindow, 1);
  EXPECT_EQ(settings.hideSpeed, 1);
}

TEST_F(Settings, SectionAndNamesCompareWithoutCase) {
  WriteString("INSTALLER LANGUAGE", "1034", "Config");
  WriteString("FontSize", "18", "CONFIG");
  const ClientSettings settings = Load();
  EXPECT_EQ(settings.language, Language::Spanish);
  EXPECT_EQ(settings.fontSize, 18);
}

}  // namespace
}  // namespace vantor::model
