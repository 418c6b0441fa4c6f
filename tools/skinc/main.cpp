#include "driver/Command.h"

int main(int argc, char** argv) { return tool::RunDriver("skinc", argc, argv); }
