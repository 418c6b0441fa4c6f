#include "driver/Command.h"

int main(int argc, char** argv) { return tool::RunDriver("fndtool", argc, argv); }
