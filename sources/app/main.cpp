// The game executable: everything is in the libraries.
#include <AppMain.h>

int main() { return AppMain(); }
