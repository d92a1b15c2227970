#include "app/application.h"

int KestrelMain(int, char**) { return 0; }
int InitApplication(int, char**) { return 0; }
