#include "driver/Command.h"

int main(int argc, char** argv) { return tool::RunDriver("kilnartool", argc, argv); }
