// vantor-soundgen: the client's sounds "switch.wav", "interfer.wav", "fall.wav".
#include "vantor/tools/FileBytes.h"
#include "vantor/tools/ToolArguments.h"
#include "vantor/tools/WaveSynth.h"

using namespace vantor::tools;

int main(int argc, char** argv) {
  ToolArguments arguments("vantor-soundgen",
                          "Synthesises the client's sounds into a folder: switch.wav (toggle click), interfer.wav\n"
                          "(start-up) and fall.wav (exit).",
                          {{"output-dir", "folder", "Where to write the three files."}});
  if (const auto exit = arguments.Parse(argc, argv)) return *exit;
  if (!arguments.Has("output-dir")) return arguments.Fail("needs --output-dir");
  std::string error;
  for (const char* name : {"switch.wav", "interfer.wav", "fall.wav"})
    if (!WriteFileBytes(arguments.Value("output-dir") + "/" + name, SoundFile(name), &error))
      return arguments.Fail(error);
  return 0;
}
