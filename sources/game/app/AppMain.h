// The program: the main window, the application's start-up, game-mode loop
// and shutdown, then the window closes.
#pragma once

// 0 after a normal run. 1 when the main window cannot be made or the engine
// fails (the reason goes to a message box and the log). The command line
// takes "--main-menu" (the boot screens lead to the full game's main menu);
// unknown arguments are logged and ignored.
int AppMain(int argc = 0, char** argv = nullptr);

// Applies the command line's options; false when an argument was not known.
bool ApplyCommandLine(int argc, char** argv);
