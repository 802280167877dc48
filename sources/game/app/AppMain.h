// The program: the main window, the application's start-up, game-mode loop
// and shutdown, then the window closes. The command line is not used.
#pragma once

// 0 after a normal run. 1 when the main window cannot be made or the engine
// fails (the reason goes to a message box and the log).
int AppMain();
