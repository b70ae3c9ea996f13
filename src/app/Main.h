#pragma once
// The program's entry: decides before any window exists whether the command
// line asks for headless work (info, convert, the comma conversion form) or
// for the desktop program.

int Kinex2Main(int argc, char** argv);
