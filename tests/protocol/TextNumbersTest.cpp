#include <gtest/gtest.h>

#include <clocale>

#include "vantor/protocol/TextNumbers.h"

using namespace vantor::protocol;

TEST(TextNumbers, ScanReadsLikePercentLf) {
  const std::string text = "  45.0322 -38.9 +3000 1e2 .5 7.";
  std::size_t pos = 0;
  EXPECT_DOUBLE_EQ(*ScanDouble(text, pos), 45.0322);
  EXPECT_DOUBLE_EQ(*ScanDouble(text, pos), -38.9);
  EXPECT_DOUBLE_EQ(*ScanDouble(text, pos), 3000.0);
  EXPECT_DOUBLE_EQ(*ScanDouble(text, pos), 100.0);
  EXPECT_DOUBLE_EQ(*ScanDouble(text, pos), 0.5);
  EXPECT_DOUBLE_EQ(*ScanDouble(text, pos), 7.0);
  EXPECT_EQ(pos, text.size());
  EXPECT_FALSE(ScanDouble(text, pos));
}

TEST(TextNumbers, ScanRefusesWhatIsNoNumber) {
  for (const char* bad : {"", "   ", "abc", "-", "+-1", "--1", "inf", "nan", "1e999", "@1"}) {
    std::size_t pos = 0;
    EXPECT_FALSE(ScanDouble(bad, pos)) << bad;
    EXPECT_EQ(pos, 0u) << bad;
  }
  std::size_t pos = 0;
  EXPECT_DOUBLE_EQ(*ScanDouble("12abc", pos), 12.0);
  EXPECT_EQ(pos, 2u);
}

TEST(TextNumbers, FixedFormattingMatchesPrintfInTheCLocale) {
  for (double value : {45.03225, 38.92515, -0.00004, 1.5, 2.5, 3000.04999, 819.5, 820.49, 0.0, -12.345678, 1e12}) {
    for (int decimals : {0, 1, 2, 4, 6}) {
      char expected[128];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
      EXPECT_EQ(FormatFixed(value, decimals), expected) << value << " " << decimals;
    }
  }
}

TEST(TextNumbers, CaseHelpers) {
  EXPECT_TRUE(EqualsIgnoringCase("[ALLIES]", "[Allies]"));
  EXPECT_FALSE(EqualsIgnoringCase("[Allies] ", "[Allies]"));
  EXPECT_EQ(ToUpperAscii("sa-11 buk sr"), "SA-11 BUK SR");
}
