// skinc builtin OUT: the built-in skin as the program carries it (resource
// "RAWDATA" 131).
#include <cstdio>

#include <windows.h>

#include "Reporting.h"

TOOL_COMMAND(Builtin, "builtin", "OUT  write the built-in skin (resource RAWDATA 131) to the file OUT")
{
  if (args.size() != 1) return tool::Fail("usage: builtin OUT");
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return tool::Fail("this program carries no built-in skin");
  const DWORD size = SizeofResource(nullptr, resource);
  FILE* out = std::fopen(args[0].c_str(), "wb");
  if (!out) return tool::Fail("cannot write " + args[0]);
  const bool written = std::fwrite(bytes, 1, size, out) == size;
  if (std::fclose(out) != 0 || !written) return tool::Fail("cannot write " + args[0]);
  return 0;
}
