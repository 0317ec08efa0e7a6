// The small helpers both programs and the tools share: the installer's
// language, port options and the display check.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "vantor/platform/Display.h"
#include "vantor/platform/InstallerLanguage.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/PortOption.h"
#include "vantor/platform/SettingsStore.h"

namespace vantor {
namespace {

class InstallerLanguageTest : public ::testing::Test {
 protected:
  std::unique_ptr<SettingsStore> Store() { return SettingsStore::OpenFile(dir_.filePath("rivak.ini")); }
  void Write(const QString& section, const QString& name, const QString& value) {
    auto store = Store();
    store->WriteString(section, name, value);
    ASSERT_TRUE(store->Sync());
  }
  QTemporaryDir dir_;
};

TEST_F(InstallerLanguageTest, ThreeValuesNameALanguageEverythingElseIsFrench) {
  EXPECT_EQ(ReadLanguage(*Store()), Language::French);  // nothing stored
  const std::pair<const char*, Language> cases[] = {{"1036", Language::French},    {"1033", Language::English},
                                                    {"1034", Language::Spanish},   {"1031", Language::French},
                                                    {"1033 ", Language::French},   {"", Language::French},
                                                    {"English", Language::French}, {" 1034", Language::French}};
  for (const auto& [value, expected] : cases) {
    Write("config", "Installer Language", value);
    EXPECT_EQ(ReadLanguage(*Store()), expected) << value;
  }
  // A value far longer than any installer writes is no language either.
  Write("config", "Installer Language", QString(300, '1'));
  EXPECT_EQ(ReadLanguage(*Store()), Language::French);
}

TEST_F(InstallerLanguageTest, SectionAndNameCompareWithoutCase) {
  Write("CONFIG", "installer language", "1034");
  EXPECT_EQ(ReadLanguage(*Store()), Language::Spanish);
}

TEST(PortOption, NumbersFromOneTo65535) {
  EXPECT_EQ(ParsePortOption("1"), quint16{1});
  EXPECT_EQ(ParsePortOption("10310"), quint16{10310});
  EXPECT_EQ(ParsePortOption("65535"), quint16{65535});
  for (const char* bad : {"0", "65536", "-1", "", "port", "10310x", "1e3", "4294977606", "0x10"}) {
    EXPECT_EQ(ParsePortOption(bad), std::nullopt) << bad;
  }
}

TEST(Display, NoDisplayWithoutAGuiApplication) {
  // The test runs with a QCoreApplication only, as the headless server does.
  EXPECT_FALSE(HasInteractiveDisplay());
  const std::unique_ptr<Notifier> notifier = NotifierForDisplay("vantor-test", "VANTOR");
  EXPECT_NE(dynamic_cast<StderrNotifier*>(notifier.get()), nullptr);
}

}  // namespace
}  // namespace vantor
