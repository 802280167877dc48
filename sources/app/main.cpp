// The game executable: everything is in the libraries.
#include <AppMain.h>

int main(int argc, char** argv) { return AppMain(argc, argv); }
