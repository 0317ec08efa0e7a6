#pragma once
// vantorsrv with its control window.

// Creates the application object, parses the command line and runs the
// window until it closes.
int RunWindow(int argc, char** argv);
