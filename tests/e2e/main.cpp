// kestrova_e2e.exe SCENARIO INSTALLER ARTIFACT_DIR: runs one scenario.
#include "driver.h"

int main(int argc, char** argv) { return DrvRunMain(argc, argv); }
