#include <gtest/gtest.h>

#include <cstring>

#include "vantor/texts/Texts.h"

namespace vantor {
namespace {

TEST(Texts, LanguageNumbersFromInstallerValue) {
  EXPECT_EQ(LanguageFromInstallerValue("1036"), kLanguageFrench);
  EXPECT_EQ(LanguageFromInstallerValue("1033"), kLanguageEnglish);
  EXPECT_EQ(LanguageFromInstallerValue("1034"), kLanguageSpanish);
  EXPECT_EQ(LanguageFromInstallerValue("1031"), 0);
  EXPECT_EQ(LanguageFromInstallerValue(""), 0);
  EXPECT_EQ(LanguageFromInstallerValue("1033 "), 0);  // exact comparison
}

TEST(Texts, SelectionRuleEnglishSpanishOtherwiseFrench) {
  EXPECT_STREQ(Text(TextId::Cancel, kLanguageEnglish), "Cancel");
  EXPECT_STREQ(Text(TextId::Cancel, kLanguageSpanish), "Cancelar");
  EXPECT_STREQ(Text(TextId::Cancel, kLanguageFrench), "Annuler");
  EXPECT_STREQ(Text(TextId::Cancel, 0), "Annuler");
  EXPECT_STREQ(Text(TextId::Cancel, 131), "Annuler");
}

TEST(Texts, EveryEntryHasThreeTexts) {
  for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
    for (int language : {kLanguageFrench, kLanguageEnglish, kLanguageSpanish}) {
      const char* text = Text(static_cast<TextId>(i), language);
      ASSERT_NE(text, nullptr);
      EXPECT_GT(std::strlen(text), 0u) << "text " << i << " language " << language;
    }
  }
  EXPECT_STREQ(Text(TextId::Count, kLanguageEnglish), "");
}

}  // namespace
}  // namespace vantor
