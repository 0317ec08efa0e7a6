#include "vantor/platform/PortOption.h"

namespace vantor {

std::optional<quint16> ParsePortOption(const QString& text) {
  bool ok = false;
  const uint value = text.toUInt(&ok);
  if (!ok || value == 0 || value > 65535) return std::nullopt;
  return static_cast<quint16>(value);
}

}  // namespace vantor
