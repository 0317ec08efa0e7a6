#include "vantor/platform/ToolCommandLine.h"

#include <iostream>

namespace vantor {

std::optional<int> ParseToolCommandLine(QCommandLineParser& parser, const QStringList& arguments, const char* program) {
  if (!parser.parse(arguments)) {
    std::cerr << program << ": " << parser.errorText().toStdString() << "\n(--help lists the options)\n";
    return 2;
  }
  if (parser.isSet("help")) {
    std::cout << parser.helpText().toStdString();
    return 0;
  }
  if (parser.isSet("version")) {
    std::cout << program << " " << VANTOR_VERSION << "\n";
    return 0;
  }
  return std::nullopt;
}

}  // namespace vantor
