// The kestrel program: the application's entry (see app/application.h).
#include "app/application.h"

int main(int argc, char** argv) { return KestrelMain(argc, argv); }
