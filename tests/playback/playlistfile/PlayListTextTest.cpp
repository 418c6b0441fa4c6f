// The M3U and PLS readers: how each file text becomes a URL on a drive
// playlist, a local one and a network one, the PLS section rules, and the
// fixtures a Linux player writes read through twltool.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/kernel/Error.h"
#include "playback/playlist/PlayListText.h"
#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

std::vector<std::string> Urls(const std::vector<PlayListTextEntry>& entries) {
  std::vector<std::string> urls;
  for (const auto& entry : entries) urls.push_back(entry.url);
  return urls;
}

bool IsRefused(const std::string& text) {
  try {
    ParsePLS(text, PlayListTextBase::FromUrl("file:///lists/a.pls"));
  } catch (CError* error) {
    const bool corrupted = std::string(error->GetText().c_str()) == "The file is not a valid playlist";
    DisposeError(error);
    return corrupted;
  }
  return false;
}

TEST(PlayListText, FileTextsResolveAgainstThePlayListsPlace) {
  const struct {
    const char* behaviour;
    const char* playlist;
    const char* text;
    const char* url;
  } rows[] = {
      {"a drive playlist's relative line", "file://D:/Lists/a.m3u", "song.mp3", "file://D:/Lists/song.mp3"},
      {"a drive playlist's root line", "file://D:/Lists/a.m3u", "\\Other\\b.mp3", "file://D:\\Other\\b.mp3"},
      {"a drive path", "file://D:/Lists/a.m3u", "E:\\c.mp3", "file://E:\\c.mp3"},
      {"a network URL stands", "file://D:/Lists/a.m3u", "http://host/s.mp3", "http://host/s.mp3"},
      {"a local absolute path", "file:///home/u/a.m3u", "/abs/b.ogg", "file:///abs/b.ogg"},
      {"a local backslash path", "file:///home/u/a.m3u", "\\abs\\b.ogg", "file:///abs/b.ogg"},
      {"a local relative path, backslashes as slashes", "file:///home/u/a.m3u", "sub\\c.ogg",
       "file:///home/u/sub/c.ogg"},
      {"another program's escaped file URL", "file:///home/u/a.m3u", "file:///home/u/Caf%C3%A9.flac",
       "file:///home/u/Caf\xc3\xa9.flac"},
      {"an escaped NUL stays", "file:///home/u/a.m3u", "file:///x%00y", "file:///x%00y"},
      {"a network playlist's root line goes on its folder", "http://host/lists/a.m3u", "\\b.mp3",
       "http://host/lists/\\b.mp3"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(ResolvePlayListText(row.text, PlayListTextBase::FromUrl(row.playlist)), row.url) << row.behaviour;
}

TEST(PlayListText, M3ULinesSkipCommentsBlanksAndReadLatin1) {
  const std::string text =
      "\xEF\xBB\xBF#EXTM3U\r\n  #EXTINF:215,Artist - Title\r\n  song.mp3  \r\n\r\n\tD\xe9j\xe0 vu.mp3\rlast.ogg";
  EXPECT_EQ(Urls(ParseM3U(text, PlayListTextBase::FromUrl("file:///m/a.m3u"))),
            (std::vector<std::string>{"file:///m/song.mp3", "file:///m/D\xc3\xa9j\xc3\xa0 vu.mp3",
                                      "file:///m/last.ogg"}));
  EXPECT_TRUE(ParseM3U("", PlayListTextBase::FromUrl("file:///m/a.m3u")).empty());
}

TEST(PlayListText, PlsSectionsFollowTheirNumbers) {
  const PlayListTextBase base = PlayListTextBase::FromUrl("file:///lists/a.pls");
  const std::vector<PlayListTextEntry> entries = ParsePLS(
      "[playlist]\nNumberOfEntries=1\nFile2=b.mp3\nTitle2 = Bee\nFile1=a.mp3\nFile0=zero.mp3\nFile100001=x.mp3\n"
      "File3=c.mp3\nFile1x=no.mp3\n[other]\nFile4=d.mp3\n",
      base);
  EXPECT_EQ(Urls(entries), (std::vector<std::string>{"file:///lists/a.mp3", "file:///lists/b.mp3",
                                                     "file:///lists/c.mp3"}));
  EXPECT_EQ(entries[1].title, "Bee");
  EXPECT_EQ(Urls(ParsePLS("# note\nplain.mp3\nnext.mp3\n", base)),
            (std::vector<std::string>{"file:///lists/plain.mp3", "file:///lists/next.mp3"}))
      << "an unsectioned text is M3U";
  EXPECT_TRUE(IsRefused("[Playlist]\nFile1=a.mp3\n")) << "no NumberOfEntries";
  EXPECT_TRUE(IsRefused("[Playlist]\nNumberOfEntries=two\nFile1=a.mp3\n"));
  EXPECT_TRUE(IsRefused("[Playlist]"));
  EXPECT_TRUE(IsRefused("[Playlist]\n"));
  EXPECT_TRUE(IsRefused("\n# only comments\n"));
  EXPECT_TRUE(IsRefused("[other]\nNumberOfEntries=1\n"));
}

TEST(TwltoolPlayListText, ListsALinuxPlayerWroteReadWithTheirTitles) {
  const std::string dir = twltest::MakeTempDir("lists");
  twltest::WriteFile(dir + "/list.M3U",
                     "#EXTM3U\r\n#EXTINF:215,Artist - Title\r\n../Music/a.mp3\r\n/abs/b.ogg\r\nCaf\xc3\xa9.flac\r\n"
                     "D\xe9j\xe0 vu.mp3\r\n\r\n");
  twltest::WriteFile(dir + "/list.pls",
                     "[playlist]\r\nFile1=a.mp3\r\nTitle1=One\r\nLength1=10\r\nFile2=file:///x/Caf%C3%A9.flac\r\n"
                     "Title2=Two\r\nLength2=20\r\nFile3=/abs/c.ogg\r\nTitle3=Three\r\nLength3=-1\r\n"
                     "NumberOfEntries=3\r\nVersion=2\r\n");
  twltest::WriteFile(dir + "/empty.m3u", "");
  const twltest::ToolRun m3u = twltest::RunTool("twltool", "playlist read '" + dir + "/list.M3U'");
  EXPECT_EQ(m3u.exitCode, 0) << m3u.err;
  EXPECT_EQ(m3u.out, "text M3U 4\nfile 100 file://" + dir + "/../Music/a.mp3\nfile 100 file:///abs/b.ogg\n" +
                         "file 100 file://" + dir + "/Caf\xc3\xa9.flac\nfile 100 file://" + dir +
                         "/D\xc3\xa9j\xc3\xa0 vu.mp3\n");
  const twltest::ToolRun pls = twltest::RunTool("twltool", "playlist read '" + dir + "/list.pls'");
  EXPECT_EQ(pls.exitCode, 0) << pls.err;
  EXPECT_EQ(pls.out, "text PLS 3\nfile 100 file://" + dir + "/a.mp3\ntitle One\nfile 100 file:///x/Caf\xc3\xa9.flac\n" +
                         "title Two\nfile 100 file:///abs/c.ogg\ntitle Three\n");
  const twltest::ToolRun empty = twltest::RunTool("twltool", "playlist read '" + dir + "/empty.m3u'");
  EXPECT_EQ(empty.out, "text M3U 0\n");
}

TEST(TwltoolPlayListText, TenMebibytesAreReadAndOneByteMoreIsRefused) {
  const std::string dir = twltest::MakeTempDir("big");
  std::string text(10 * 1024 * 1024, '#');
  text[0] = 'a';
  text[1] = '\n';
  twltest::WriteFile(dir + "/max.m3u", text);
  twltest::WriteFile(dir + "/over.m3u", text + "#");
  const twltest::ToolRun max = twltest::RunTool("twltool", "playlist read '" + dir + "/max.m3u'");
  EXPECT_EQ(max.exitCode, 0) << max.err;
  EXPECT_EQ(max.out.rfind("text M3U 1\n", 0), 0u) << max.out;
  const twltest::ToolRun over = twltest::RunTool("twltool", "playlist read '" + dir + "/over.m3u'");
  EXPECT_EQ(over.exitCode, 1);
  EXPECT_NE(over.err.find("The file is not a valid playlist"), std::string::npos) << over.err;
}

}  // namespace
