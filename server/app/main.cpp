// vantorsrv: the Vantor server, with its control window or headless.
#include "CommandLine.h"
#include "HeadlessRun.h"
#include "WindowRun.h"

int main(int argc, char** argv) {
  return HeadlessRequested(argc, argv) ? RunHeadless(argc, argv) : RunWindow(argc, argv);
}
