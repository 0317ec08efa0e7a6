#include <gtest/gtest.h>

#include <cstring>

#include "vantor/texts/QText.h"
#include "vantor/texts/Texts.h"

namespace vantor {
namespace {

TEST(Texts, LanguageFromInstallerValue) {
  EXPECT_EQ(LanguageFromInstallerValue("1036"), Language::French);
  EXPECT_EQ(LanguageFromInstallerValue("1033"), Language::English);
  EXPECT_EQ(LanguageFromInstallerValue("1034"), Language::Spanish);
  EXPECT_EQ(LanguageFromInstallerValue("1031"), std::nullopt);
  EXPECT_EQ(LanguageFromInstallerValue(""), std::nullopt);
  EXPECT_EQ(LanguageFromInstallerValue("1033 "), std::nullopt);  // exact comparison
  for (Language language : kLanguages) EXPECT_EQ(LanguageFromInstallerValue(InstallerValue(language)), language);
}

TEST(Texts, MenuResourceNumbers) {
  EXPECT_EQ(MenuResourceId(Language::French), 128);
  EXPECT_EQ(MenuResourceId(Language::English), 129);
  EXPECT_EQ(MenuResourceId(Language::Spanish), 130);
  for (Language language : kLanguages) EXPECT_EQ(LanguageFromMenuResourceId(MenuResourceId(language)), language);
  EXPECT_EQ(LanguageFromMenuResourceId(0), std::nullopt);
  EXPECT_EQ(LanguageFromMenuResourceId(131), std::nullopt);
}

TEST(Texts, SelectionRuleEnglishSpanishOtherwiseFrench) {
  EXPECT_STREQ(Text(TextId::Cancel, Language::English), "Cancel");
  EXPECT_STREQ(Text(TextId::Cancel, Language::Spanish), "Cancelar");
  EXPECT_STREQ(Text(TextId::Cancel, Language::French), "Annuler");
  // A number that names no language reads French.
  for (int number : {0, 131}) {
    EXPECT_STREQ(Text(TextId::Cancel, LanguageFromMenuResourceId(number).value_or(kFallbackLanguage)), "Annuler");
  }
}

TEST(Texts, EveryEntryHasThreeTexts) {
  for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
    for (Language language : kLanguages) {
      const char* text = Text(static_cast<TextId>(i), language);
      ASSERT_NE(text, nullptr);
      EXPECT_GT(std::strlen(text), 0u) << "text " << i << " language " << MenuResourceId(language);
    }
  }
  EXPECT_STREQ(Text(TextId::Count, Language::English), "");
}

TEST(Texts, QtStringsAreDecodedAsUtf8) {
  EXPECT_EQ(QText(TextId::ScopeMenuAirports, Language::French), QString::fromUtf8("&A\xc3\xa9roports"));
  EXPECT_EQ(QText(TextId::ScopeMenuAirports, Language::French).size(), 10);
  for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
    for (Language language : kLanguages) {
      const char* bytes = Text(static_cast<TextId>(i), language);
      EXPECT_EQ(QText(static_cast<TextId>(i), language).toUtf8(), QByteArray(bytes)) << "text " << i;
    }
  }
}

}  // namespace
}  // namespace vantor
