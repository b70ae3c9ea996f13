#pragma once
// The program's entry: decides before any window exists whether the command
// line asks for headless work (info, convert, the comma conversion form) or
// for the desktop program.

// Starts the desktop program (the window layer provides it).
using GuiEntry = int (*)(int argc, char** argv);

// Returns the process exit status. Without `startGui` a command line that
// asks for the desktop program prints the usage and returns 2.
int Kinex2Main(int argc, char** argv, GuiEntry startGui = nullptr);
