#pragma once
// Short texts that name a contact in labels and dialogs.

#include <QString>

#include "vantor/model/CContact.h"

namespace vantor::model {

// The pilot or plane text shown when a contact is picked for a callsign:
// friendly: the name from its first "(" on (the whole name without one), at
// most 30 characters; hostile: characters 5 to 8 of its id in decimal.
QString PilotOrPlaneText(const CContact& contact);

// Label of a friendly contact without callsign: with invertCallsign the 10
// characters after the first "(" of the name (from the start without one),
// otherwise the first 10 characters; then without "(" and ")".
QString FriendlyLabelName(const QString& name, bool invertCallsign);

// Label of a hostile contact without callsign: characters 5 to 8 of its id in
// decimal (fewer or none for a shorter number).
QString HostileIdLabel(int id);

}  // namespace vantor::model
