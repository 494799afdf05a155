// vsthost: a command-line VST 2.4 host for inspecting and running plug-ins.
#include <cstdio>

#include "tools/vsthost/Commands.h"

int main(int argc, char** argv) { return vsthost::RunVstHost(argc, argv, stdout, stderr); }
