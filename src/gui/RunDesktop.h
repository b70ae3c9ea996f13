#pragma once
// The desktop program: `kinex2 [--settings FILE] [DATAFILE]`. Creates the Qt
// application and the main window, opens DATAFILE when given, runs until the
// window closes and saves the settings. Returns the process exit status: 0
// after a normal run, 1 when DATAFILE could not be opened (the reader said
// why) or the arguments are not understood; 2 when the settings FILE cannot
// be read.

int RunDesktop(int argc, char** argv);
