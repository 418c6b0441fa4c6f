// kilnar: the CD burner. Started without a command line it has nothing to
// burn and ends at once; with one it would open its burn dialog.
#include <cstdio>
#include <string>

namespace {

// The command line after the program's name, as one text.
std::string CommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (CommandLine(argc, argv).empty()) return 0;
  std::fputs("kilnar: the burn dialog is not built yet\n", stderr);
  return 1;
}
