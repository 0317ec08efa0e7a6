#pragma once
// The controller's display settings and language, read at start-up.

#include <QString>

#include "vantor/texts/Language.h"

namespace vantor {
class SettingsStore;
}

namespace vantor::model {

// Where the client keeps its values (company "VANTOR").
inline constexpr const char* kClientSettingsApplication = "Rivak";
inline constexpr const char* kClientSettingsSection = "config";

namespace setting_name {
inline constexpr const char* kMetric = "metric";  // stored inverted against `imperial`
inline constexpr const char* kDisplayMode = "DisplayMode";
inline constexpr const char* kShowOldPosition = "ShowOldPosition";
inline constexpr const char* kInvertCallsign = "Invertcallsign";
inline constexpr const char* kShowRose = "Showrose";
inline constexpr const char* kShowParlix = "ShowParlix";
inline constexpr const char* kHideSpeed = "DONOTShowspeed";
inline constexpr const char* kFontSize = "fontsize";  // a string
inline constexpr const char* kAcceptAnyTrackSender = "AcceptAnyTrackSender";
// The scope's controller aids, off unless set.
inline constexpr const char* kShowCursorReadout = "ShowCursorReadout";
inline constexpr const char* kBullseye = "Bullseye";
inline constexpr const char* kBullseyeLat = "BullseyeLat";  // strings, decimal degrees
inline constexpr const char* kBullseyeLon = "BullseyeLon";
inline constexpr const char* kShowBraa = "ShowBraa";
inline constexpr const char* kDeclutter = "Declutter";
inline constexpr const char* kConflictAlert = "ConflictAlert";
}  // namespace setting_name

// Flags are stored as integers (0 or 1; any other number reads as set).
struct ClientSettings {
  bool imperial = false;         // feet and nautical miles instead of metric units ("metric" stored inverted)
  bool displayMode = false;      // advanced display
  bool showOldPositions = true;  // history trails
  bool invertCallsign = false;   // label friendly contacts by the text after "(" of their name
  bool showRose = false;
  bool showVoiceWindow = false;
  bool hideSpeed = false;
  int fontSize = 12;  // label font height in pixels (as stored: 0 for a text without leading digits)
  QString fontSizeText = QStringLiteral("12");  // "fontsize" as stored; the settings dialog selects by it
  // Track datagrams from any sender, not only from the server's address.
  bool acceptAnyTrackSender = false;
  bool showCursorReadout = false;               // position readout following the mouse
  bool bullseye = false;                        // bullseye drawn, hostile labels give bearing and range from it
  double bullseyeLatitude = 0.0;                // where it is; (0, 0) while never set
  double bullseyeLongitude = 0.0;
  bool showBraa = false;       // a selected friendly gives BRAA calls on hostile labels
  bool declutter = false;      // labels placed apart, with leader lines
  bool conflictAlert = false;  // friendly aircraft predicted too close
  // From the installer's value; French for an unknown one, whose texts and
  // menu are French.
  Language language = Language::French;

  // Every value from the store, with the defaults for the missing ones.
  static ClientSettings Load(const SettingsStore& store);
  // Writes the values the display settings dialog keeps ("Installer
  // Language" is the installer's and never written). The scope's aids are
  // written only once they differ from their defaults or were stored
  // before, so a store that never knew them stays as it was.
  // False when the store could not be written (a full disk, a read-only
  // folder): its previous content stays and the values stay pending.
  bool Store(SettingsStore& store) const;
  // Only the bullseye's three values (the scope sets it directly); false as
  // Store.
  bool StoreBullseye(SettingsStore& store) const;
  // A bullseye has been placed.
  bool BullseyeSet() const { return bullseyeLatitude != 0.0 || bullseyeLongitude != 0.0; }
};

}  // namespace vantor::model
