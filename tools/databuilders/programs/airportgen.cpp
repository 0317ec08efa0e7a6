// vantor-airportgen: the airfield outline file "airport.dat".
#include "vantor/tools/AirportOutlines.h"
#include "vantor/tools/FileBytes.h"
#include "vantor/tools/ToolArguments.h"

using namespace vantor::tools;

int main(int argc, char** argv) {
  ToolArguments arguments("vantor-airportgen",
                          "Writes the airfield outlines drawn in airfield mode: every runway of the airfield table\n"
                          "with its parallel taxiway and links, as closed polylines.",
                          {{"output", "file", "Where to write airport.dat."}});
  if (const auto exit = arguments.Parse(argc, argv)) return *exit;
  if (!arguments.Has("output")) return arguments.Fail("needs --output");
  const std::string text = AirportFileText(vantor::geo::Runways());
  std::string error;
  if (!WriteFileBytes(arguments.Value("output"), std::vector<std::uint8_t>(text.begin(), text.end()), &error))
    return arguments.Fail(error);
  return 0;
}
