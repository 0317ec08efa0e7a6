#include <gtest/gtest.h>

#include "vantor/protocol/TrackRecord.h"

using namespace vantor::protocol;

TEST(TrackRecord, IntakeFormatThenSpeedAtBroadcast) {
  const std::string stored = FormatTrackRecord({.id = 16779010,
                                                .classLetter = 'B',
                                                .name = "Colt 11",
                                                .sideLetter = 'A',
                                                .latitude = 45.0322,
                                                .longitude = 38.9251,
                                                .altitude = 3000.0,
                                                .heading = 1.57});
  EXPECT_EQ(stored, "16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57##");
  EXPECT_EQ(InsertSpeed(stored, 820.0), "16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57 820##");
  EXPECT_EQ(InsertSpeed(stored, 819.6), "16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57 820##");
  EXPECT_EQ(InsertSpeed(stored, 0.0), "16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57 0##");
  EXPECT_EQ(WithSpeedLength(stored, 820.0), InsertSpeed(stored, 820.0).size());
}

TEST(TrackRecord, NumbersAreRoundedToTheirPrecisionAndSigned) {
  const std::string stored = FormatTrackRecord({.id = 20000001,
                                                .classLetter = 'D',
                                                .name = "Tanker",
                                                .sideLetter = 'B',
                                                .latitude = -12.34567,
                                                .longitude = 0.00004,
                                                .altitude = 12.25,
                                                .heading = 6.283185});
  EXPECT_EQ(stored, "20000001DTanker[B]@-12.3457 0.0000 12.2 6.28##");
}

TEST(TrackRecord, LostTrackKeepsTheHeadThroughTheSideBracket) {
  EXPECT_EQ(*LostTrackRecord("16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57##"),
            "16779010BColt 11[A]@0.0 0.0 0.0 0.0 0##");
  // A bracketed part of the name stays: only the first "]@" ends the head.
  EXPECT_EQ(*LostTrackRecord("30000001ASAM [2][B]@44.1 37.2 10.0 0.00##"), "30000001ASAM [2][B]@0.0 0.0 0.0 0.0 0##");
  EXPECT_FALSE(LostTrackRecord("no bracket here##"));
}

TEST(TrackRecord, SpeedOnAShortTextIsAppended) {
  EXPECT_EQ(InsertSpeed("#", 5), "# 5");
  EXPECT_EQ(InsertSpeed("", 5), " 5");
}
