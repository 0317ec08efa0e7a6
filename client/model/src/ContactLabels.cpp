#include "vantor/model/ContactLabels.h"

namespace vantor::model {
namespace {
constexpr qsizetype kPilotTextLength = 30;
constexpr qsizetype kLabelNameLength = 10;
constexpr qsizetype kIdLabelStart = 4;
constexpr qsizetype kIdLabelLength = 4;
}  // namespace

QString PilotOrPlaneText(const CContact& contact) {
  if (!contact.friendly) return HostileIdLabel(contact.id);
  const qsizetype bracket = contact.name.indexOf(u'(');
  return contact.name.mid(bracket >= 0 ? bracket : 0, kPilotTextLength);
}

QString FriendlyLabelName(const QString& name, bool invertCallsign) {
  QString text;
  if (invertCallsign) {
    const qsizetype bracket = name.indexOf(u'(');
    text = name.mid(bracket >= 0 ? bracket + 1 : 0, kLabelNameLength);
  } else {
    text = name.left(kLabelNameLength);
  }
  text.remove(u'(');
  text.remove(u')');
  return text;
}

QString HostileIdLabel(int id) { return QString::number(id).mid(kIdLabelStart, kIdLabelLength); }

}  // namespace vantor::model
