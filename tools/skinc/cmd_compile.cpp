// skinc compile FOLDER/ OUT [--unpacked]: a skin folder as a compiled skin
// file; the same folder always gives the same bytes.
#include "Reporting.h"
#include "skins/skin/Skin.h"

TOOL_COMMAND(Compile, "compile",
             "FOLDER/ OUT [--unpacked]  load the whole skin of the folder and write it as a compiled skin file,\n"
             "      its data packed unless --unpacked")
{
  bool packed = true;
  std::vector<std::string> plain;
  for (const std::string& arg : args) {
    if (arg == "--unpacked")
      packed = false;
    else
      plain.push_back(arg);
  }
  if (plain.size() != 2) return tool::Fail("usage: compile FOLDER/ OUT [--unpacked]");
  std::string folder = plain[0];
  if (!skinc::IsFolderName(folder)) folder += "/";
  return skinc::RunReportingErrors([&] {
    CSkin skin;
    skin.LoadFromFolder(folder.c_str());
    skin.SaveCompiled(plain[1].c_str(), packed);
    return 0;
  });
}
