#pragma once
// Radio callsigns given to contacts by the controller.

#include <QString>

#include <array>

namespace vantor::model {

struct CCallsignEntry {
  QString callsign;  // prefix followed by a decimal number
  int id = 0;        // contact id
};

// The prefixes offered by the assignment dialog, in this order.
inline constexpr std::array<const char*, 9> kCallsignPrefixes = {"KOD", "PAP", "FAL", "BIZ", "KUZ",
                                                                 "ALP", "BRA", "CHA", "DEL"};
inline constexpr int kCallsignNumbersPerPrefix = 10;

}  // namespace vantor::model
