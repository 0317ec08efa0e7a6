#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "vantor/platform/InstallerLanguage.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/texts/Texts.h"

using namespace vantor;
using namespace vantor::server;

namespace {

class ServerConfigTest : public ::testing::Test {
 protected:
  std::unique_ptr<SettingsStore> Store() { return SettingsStore::OpenFile(dir_.filePath("vantorsrv.ini")); }
  QTemporaryDir dir_;
};

}  // namespace

TEST_F(ServerConfigTest, FreshInstallationDefaults) {
  ServerConfig config;
  LoadConfig(*Store(), config);
  LoadStartSettings(*Store(), config);
  EXPECT_EQ(config, DefaultServerConfig());
  for (int side = 0; side < 2; ++side) {
    for (int n = 0; n < 22; ++n) {
      EXPECT_EQ(config.block.airfieldRadarOn[side][n], 1);
      EXPECT_EQ(config.block.airfieldRadarRangeKm[side][n], 50);
    }
    EXPECT_EQ(config.block.awacsMode[side], 10);
    EXPECT_EQ(config.block.radarOnly[side], 0);
    EXPECT_EQ(config.block.awacsLatitude[side], 0.0);
    EXPECT_EQ(config.block.awacsLongitude[side], 0.0);
    EXPECT_EQ(config.block.password[side], "");
  }
  for (int flag : config.radarTypeShown) EXPECT_EQ(flag, 1);
  EXPECT_EQ(config.block.awacsRangeKm, 200);
  EXPECT_EQ(config.block.version, 6);
  EXPECT_EQ(config.maxClient, 2);
  EXPECT_EQ(config.notLaunch, 0);
  EXPECT_EQ(config.feedIntakeBytes, 10000u);
}

TEST_F(ServerConfigTest, SaveThenLoadRoundTripsEveryKey) {
  ServerConfig saved = DefaultServerConfig();
  for (int n = 0; n < 22; ++n) {
    saved.block.airfieldRadarOn[0][n] = n % 2;
    saved.block.airfieldRadarOn[1][n] = (n + 1) % 2;
    saved.block.airfieldRadarRangeKm[0][n] = 2 + n;
    saved.block.airfieldRadarRangeKm[1][n] = 300 - n;
  }
  for (int n = 0; n < 31; ++n) saved.radarTypeShown[n] = n % 3 == 0 ? 0 : 1;
  saved.block.awacsMode = {0, 7};
  saved.block.radarOnly = {1, 0};
  saved.block.awacsRangeKm = 650;
  saved.block.password = {"bleu", "rouge"};
  saved.block.awacsLatitude = {44.5, 43.997740};
  saved.block.awacsLongitude = {37.999020, -1.25};
  saved.maxClient = 7;
  saved.feedIntakeBytes = 1000000;
  SaveConfig(*Store(), saved);

  ServerConfig loaded;
  LoadConfig(*Store(), loaded);
  LoadStartSettings(*Store(), loaded);
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(Store()->ReadString("Config", "Alat0", ""), "44.500000");
  EXPECT_EQ(Store()->ReadString("Config", "Along1", ""), "-1.250000");
  EXPECT_FALSE(Store()->Contains("Config", "notlaunchfalcrest"));  // written by the start only
}

TEST_F(ServerConfigTest, PasswordsAreCutToNineCharacters) {
  Store()->WriteString("Config", "bluepass", "ABCDEFGHIJKL");
  Store()->WriteString("Config", "redpass", "123456789");
  ServerConfig config;
  LoadConfig(*Store(), config);
  EXPECT_EQ(config.block.password[0], "ABCDEFGHI");
  EXPECT_EQ(config.block.password[1], "123456789");

  // Nine bytes at most, never half a character.
  Store()->WriteString("Config", "bluepass", QString::fromUtf8("\u00e9t\u00e9 br\u00fbl\u00e9"));  // 13 bytes
  Store()->WriteString("Config", "redpass", QString::fromUtf8("abcdefgh\u20ac"));                  // 11 bytes
  LoadConfig(*Store(), config);
  EXPECT_EQ(config.block.password[0], "\u00e9t\u00e9 br");  // 8 bytes: the next character would not fit
  EXPECT_EQ(config.block.password[1], "abcdefgh");
  EXPECT_EQ(CutPassword(QString::fromUtf8("\u00e9\u00e9\u00e9\u00e9a\u00e9")), "\u00e9\u00e9\u00e9\u00e9a");
  EXPECT_EQ(CutPassword(QString()), "");
}

TEST_F(ServerConfigTest, CoordinatesReadFromTheirFirstNineCharacters) {
  Store()->WriteString("Config", "Alat0", "44.5678901234");
  Store()->WriteString("Config", "Alat1", "not a number");
  Store()->WriteString("Config", "Along0", "   -12.5");
  ServerConfig config;
  config.block.awacsLatitude[1] = 3.5;
  LoadConfig(*Store(), config);
  EXPECT_DOUBLE_EQ(config.block.awacsLatitude[0], 44.56789);
  EXPECT_DOUBLE_EQ(config.block.awacsLatitude[1], 3.5);  // kept
  EXPECT_DOUBLE_EQ(config.block.awacsLongitude[0], -12.5);
  SaveConfig(*Store(), config);
  EXPECT_EQ(Store()->ReadString("Config", "Alat0", ""), "44.567890");
  EXPECT_EQ(FormatCoordinate(44.5), "44.500000");
  EXPECT_FALSE(ParseCoordinate(""));
}

TEST_F(ServerConfigTest, MaxClientIsClampedAndKeysIgnoreCase) {
  auto settings = Store();
  settings->WriteInt("config", "maxclient", 25);
  settings->WriteInt("Config", "NotLaunchFalcrest", 1);
  settings->Sync();
  ServerConfig config;
  LoadStartSettings(*Store(), config);
  EXPECT_EQ(config.maxClient, 10);
  EXPECT_EQ(config.notLaunch, 1);
  Store()->WriteInt("Config", "MaxClient", 0);
  LoadStartSettings(*Store(), config);
  EXPECT_EQ(config.maxClient, 1);
  EXPECT_EQ(ClampMaxClient(-3), 1);
  EXPECT_EQ(ClampMaxClient(4), 4);
}

TEST_F(ServerConfigTest, FeedIntakeIsKeptBetweenTheDefaultAndSixteenMebibytes) {
  ServerConfig config;
  for (const auto& [stored, expected] : std::vector<std::pair<int, std::size_t>>{
           {1000000, 1000000}, {9999, 10000}, {-5, 10000}, {20000000, 16777216}, {16777216, 16777216}}) {
    Store()->WriteInt("Config", "FeedIntake", stored);
    LoadConfig(*Store(), config);
    EXPECT_EQ(config.feedIntakeBytes, expected) << stored;
  }
  Store()->WriteString("Config", "FeedIntake", "lots");
  LoadConfig(*Store(), config);
  EXPECT_EQ(config.feedIntakeBytes, 10000u);
}

TEST_F(ServerConfigTest, LanguageFromTheClientInstaller) {
  auto client = SettingsStore::OpenFile(dir_.filePath("rivak.ini"));
  EXPECT_EQ(ReadLanguage(*client), Language::French);
  client->WriteString("config", "Installer Language", "1034");
  EXPECT_EQ(ReadLanguage(*client), Language::Spanish);
  EXPECT_STREQ(Text(TextId::SrvOnlyFalcrestServer, ReadLanguage(*client)), "Solo el Server puede enviar datos");
  client->WriteString("config", "Installer Language", "1033");
  EXPECT_EQ(ReadLanguage(*client), Language::English);
  client->WriteString("config", "Installer Language", "1031");
  EXPECT_STREQ(Text(TextId::SrvOnlyFalcrestServer, ReadLanguage(*client)),
               "Seul le serveur Falcrest peut envoyer des données");
}

TEST_F(ServerConfigTest, IniTextReadsBackAsTheSameConfiguration) {
  ServerConfig config = DefaultServerConfig();
  config.block.airfieldRadarOn[1][4] = 0;
  config.block.airfieldRadarRangeKm[0][21] = 300;
  config.radarTypeShown[30] = 0;
  config.block.awacsMode = {0, 12};
  config.block.radarOnly = {1, 0};
  config.block.awacsRangeKm = 750;
  config.block.password = {" a,b;c\"d", "\\x=\xc3\xa9"};
  config.block.awacsLatitude = {44.5, 43.99774};
  config.block.awacsLongitude = {37.99902, 39.25};
  config.maxClient = 7;
  config.notLaunch = 1;
  config.feedIntakeBytes = 1000000;

  const QString text = ConfigIniText(config);
  EXPECT_TRUE(text.startsWith("[Config]\na1=1\nb1=1\nR1=50\nRR1=50\na2=1\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("\nAlat1=43.997740\n"));
  EXPECT_TRUE(text.endsWith("\nFeedIntake=1000000\nMaxClient=7\nnotlaunchfalcrest=1\n"));
  EXPECT_EQ(text.count('\n'), 1 + 4 * 22 + 31 + 5 + 2 + 4 + 3);

  QFile file(dir_.filePath("printed.ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.toUtf8());
  file.close();
  const auto printed = SettingsStore::OpenFile(file.fileName());
  ServerConfig read;
  LoadConfig(*printed, read);
  LoadStartSettings(*printed, read);
  EXPECT_EQ(read, config);
}
