#pragma once
// Port numbers given on a command line.

#include <QString>

#include <optional>

namespace vantor {

// A decimal TCP or UDP port from 1 to 65535; nullopt for anything else.
std::optional<quint16> ParsePortOption(const QString& text);

}  // namespace vantor
