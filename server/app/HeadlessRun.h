#pragma once
// vantorsrv without a window: serves at once, as if the start button had
// been pressed, until SIGINT/SIGTERM.

struct ServerCommandLine;

// Creates the application object, parses the command line and serves.
int RunHeadless(int argc, char** argv);
// Serves on the application object that exists.
int ServeHeadless(const ServerCommandLine& commandLine);
