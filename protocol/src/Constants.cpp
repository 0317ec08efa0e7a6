#include "vantor/protocol/Constants.h"

namespace vantor::protocol {

const std::array<std::string_view, kRadarTypeCount> RadarTypeNames = {
    "AVENGER",          "HAWK SR",        "PATRIOT STR",   "VULCAN",       "ROLAND RDR",       "HAWK TR",
    "STINGER",          "ROLAND ADS",     "1L13 EWR",      "2S6 TUNGUSKA", "55G6 EWR",         "BUK SR",
    "DOG EAR RDR",      "IGLA",           "KUB STR",       "OSA 9A33 LN",  "S-300PS 40B6M TR", "S-300PS 40B6MD SR",
    "S-300PS 64H6E SR", "STRELA-10 9A35", "STRELA-1 9P31", "TOR 9A331",    "ZSU-23-4 SHILKA"};

}  // namespace vantor::protocol
