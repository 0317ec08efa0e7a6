// vantorsrv: the Vantor server, with its control window or headless.
#include "CommandLine.h"
#include "HeadlessRun.h"
#include "WindowRun.h"

int main(int argc, char** argv) {
  return WindowRequested(argc, argv) ? RunWindow(argc, argv) : RunHeadless(argc, argv);
}
