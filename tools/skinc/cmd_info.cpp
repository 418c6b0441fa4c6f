// skinc info FILE|FOLDER/: the information of a compiled skin or a skin
// folder.
#include <cstdio>

#include "Reporting.h"
#include "foundation/errors/ThreadErrorState.h"
#include "skins/info/SkinInfo.h"

TOOL_COMMAND(Info, "info",
             "FILE|FOLDER/  print the skin's name, copyright, artist, info, version text, path and the minimum\n"
             "      and developed-for player versions as X.YY, one \"Key: value\" line each")
{
  if (args.size() != 1) return tool::Fail("usage: info FILE|FOLDER/");
  return skinc::RunReportingErrors([&] {
    CSkinInfo info;
    const bool loaded = skinc::IsFolderName(args[0]) ? info.LoadFromFolder(args[0].c_str())
                                                       : info.LoadFromCompiledFile(args[0].c_str());
    if (!loaded) return tool::Fail(GetThreadErrorText().c_str());
    std::printf("Name: %s\nCopyright: %s\nArtist: %s\nInfo: %s\nVersion: %s\nPath: %s\n", info.m_Name.c_str(),
                info.m_Copyright.c_str(), info.m_Artist.c_str(), info.m_Info.c_str(), info.m_Version.c_str(),
                info.m_Path.c_str());
    std::printf("MinPlayerVersion: %s\nDevelopedForPlayerVersion: %s\n", FormatPlayerVersion(info.m_MinVersion).c_str(),
                FormatPlayerVersion(info.m_DevelopedForVersion).c_str());
    return 0;
  });
}
