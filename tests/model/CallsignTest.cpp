// Callsign numbering and the short texts that name contacts.
#include <gtest/gtest.h>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ContactLabels.h"

namespace vantor::model {
namespace {

class Callsigns : public ::testing::Test {
 protected:
  QString Of(int id) const {
    QString callsign;
    return doc.LookupCallsign(id, callsign) ? callsign : QStringLiteral("<none>");
  }
  ClientState state;
  CRivakDoc doc{state, [] { return std::int64_t{0}; }};
};

TEST_F(Callsigns, NumbersCountUpAndReassignmentFreesTheOldNumberAfterwards) {
  doc.AssignCallsign("KOD", 100);
  doc.AssignCallsign("KOD", 200);
  EXPECT_EQ(Of(100), "KOD1");
  EXPECT_EQ(Of(200), "KOD2");
  // Its own KOD1 still counts while the new number is chosen.
  doc.AssignCallsign("KOD", 100);
  EXPECT_EQ(Of(100), "KOD3");
  doc.AssignCallsign("KOD", 300);
  EXPECT_EQ(Of(300), "KOD1");
}

TEST_F(Callsigns, ReassignmentKeepsTheEntrysPlace) {
  doc.AssignCallsign("KOD", 1);
  doc.AssignCallsign("PAP", 2);
  doc.AssignCallsign("FAL", 1);
  ASSERT_EQ(doc.Callsigns().size(), 2u);
  EXPECT_EQ(doc.Callsigns()[0].id, 1);
  EXPECT_EQ(doc.Callsigns()[0].callsign, "FAL1");
  EXPECT_EQ(doc.Callsigns()[1].callsign, "PAP1");
}

TEST_F(Callsigns, AllTenUsedStartsAgainAtOne) {
  for (int id = 1; id <= 10; ++id) doc.AssignCallsign("KOD", id);
  EXPECT_EQ(Of(10), "KOD10");
  EXPECT_EQ(doc.NextCallsignNumber("KOD"), 1);
  doc.AssignCallsign("KOD", 11);
  EXPECT_EQ(Of(11), "KOD1");
}

TEST_F(Callsigns, PrefixMatchesAnywhereAndCaseMatters) {
  doc.AssignCallsign("KOD", 1);
  EXPECT_EQ(doc.NextCallsignNumber("KO"), 2);  // KOD1 contains KO
  EXPECT_EQ(doc.NextCallsignNumber("OD"), 2);
  EXPECT_EQ(doc.NextCallsignNumber("kod"), 1);
  EXPECT_EQ(doc.NextCallsignNumber("PAP"), 1);
  doc.AssignCallsign("KO", 2);
  EXPECT_EQ(Of(2), "KO2");
}

TEST_F(Callsigns, OnlyTrailingNumbersOneToTenCount) {
  doc.AssignCallsign("F16", 1);  // "F161": its number is 161
  EXPECT_EQ(Of(1), "F161");
  EXPECT_EQ(doc.NextCallsignNumber("F16"), 1);
  doc.AssignCallsign("ZZ99999999999999999", 2);  // an absurdly long number is ignored
  EXPECT_EQ(doc.NextCallsignNumber("ZZ"), 1);
}

TEST_F(Callsigns, SurviveTheContactsRemovalAndComeBackWithIt) {
  doc.UpdateContact(5, "Su-25 (Frog)", 45.0, 38.0, 500.0, 0.0, 1, 'B', 400.0);
  doc.AssignCallsign("BIZ", 5);
  doc.UpdateContact(5, "Su-25 (Frog)", 45.0, 0.0, 0.0, 0.0, 1, 'B', 0.0);
  ASSERT_EQ(doc.FindContact(5), nullptr);
  doc.ClearContacts();
  doc.UpdateContact(5, "Su-25 (Frog)", 45.0, 38.0, 500.0, 0.0, 1, 'B', 400.0);
  EXPECT_EQ(Of(5), "BIZ1");
}

TEST_F(Callsigns, LookupOfAnUnknownIdLeavesTheTextAlone) {
  QString callsign = "keep";
  EXPECT_FALSE(doc.LookupCallsign(42, callsign));
  EXPECT_EQ(callsign, "keep");
}

TEST(ContactLabels, FriendlyLabelWithoutInversionIsTheFirstTenCharacters) {
  // Not the last ten: with "Invertcallsign" 0 the label starts at the name's start.
  EXPECT_EQ(FriendlyLabelName("F-15C (Eagle 1-1)", false), "F-15C Eag");
  EXPECT_EQ(FriendlyLabelName("Tornado GR4 long name", false), "Tornado GR");
  EXPECT_EQ(FriendlyLabelName("Su-27", false), "Su-27");
}

TEST(ContactLabels, FriendlyLabelWithInversionFollowsTheFirstBracket) {
  EXPECT_EQ(FriendlyLabelName("F-15C (Eagle 1-1)", true), "Eagle 1-1");
  EXPECT_EQ(FriendlyLabelName("F-15C (Viper two-three (lead))", true), "Viper two-");
  EXPECT_EQ(FriendlyLabelName("Mirage 2000", true), "Mirage 200");
  EXPECT_EQ(FriendlyLabelName("Ka-50 (", true), "");
  EXPECT_EQ(FriendlyLabelName("", true), "");
}

TEST(ContactLabels, HostileLabelIsCharactersFiveToEightOfTheId) {
  EXPECT_EQ(HostileIdLabel(16777217), "7217");
  EXPECT_EQ(HostileIdLabel(123), "");
  EXPECT_EQ(HostileIdLabel(123456), "56");
  EXPECT_EQ(HostileIdLabel(-16777217), "7721");
}

TEST(ContactLabels, PilotOrPlaneText) {
  CContact friendly;
  friendly.friendly = 1;
  friendly.id = 16777217;
  friendly.name = "F-15C (Eagle 1-1)";
  EXPECT_EQ(PilotOrPlaneText(friendly), "(Eagle 1-1)");
  friendly.name = "A very long aircraft name without any bracket";
  EXPECT_EQ(PilotOrPlaneText(friendly), "A very long aircraft name with");
  friendly.name = "Su-27 (" + QString(40, 'x') + ")";
  EXPECT_EQ(PilotOrPlaneText(friendly).size(), 30);
  CContact hostile = friendly;
  hostile.friendly = 0;
  EXPECT_EQ(PilotOrPlaneText(hostile), "7217");
}

}  // namespace
}  // namespace vantor::model
