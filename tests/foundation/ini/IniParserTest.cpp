// Reading ini files: lines split into name and value, values handed to
// the items of their names, one message per bad line with its number, and
// files over 1 MiB refused before anything is read.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/kernel/Localizer.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "support/TestPaths.h"

namespace {

// Parses `content` as the file Main.ini in a folder of its own, opened
// by its file:// URL.
bool ParseFileText(const std::string& content, CIniData& data, CStr& errors) {
  const std::string path = twltest::MakeTempDir("ini") + "/Main.ini";
  twltest::WriteFile(path, content);
  return CIniParser().ParseFile(("file://" + path).c_str(), data, errors);
}

// A memory stream that counts its reads and may claim another length.
class ProbeStream : public CMemoryStream {
 public:
  explicit ProbeStream(const std::string& content, LONGLONG claimedLength = kOwnLength) : m_Claimed(claimedLength) {
    BYTE* block = new BYTE[content.size() ? content.size() : 1];
    std::memcpy(block, content.data(), content.size());
    Open(block, static_cast<DWORD>(content.size()), kStreamRead | kStreamSeek, 0, false);
  }
  ~ProbeStream() override { Close(); }

  DWORD Read(void* buffer, DWORD size) override {
    ++reads;
    return CMemoryStream::Read(buffer, size);
  }
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override {
    return m_Claimed == kOwnLength ? CMemoryStream::GetLength(immediate, abortEvent) : m_Claimed;
  }

  static constexpr LONGLONG kOwnLength = -2;
  int reads = 0;

 private:
  LONGLONG m_Claimed;
};

TEST(IniParser, LinesGiveTheirValuesToTheItemsOfTheirNames) {
  INT width = 0, height = 0;
  bool widthFound = false, heightFound = false, colorFound = true;
  COLORREF color = 0;
  CStr title;
  CIniData data;
  data.AddItem(new CIniIntegerItem("Width", &width, &widthFound, true));
  data.AddItem(new CIniIntegerItem("Height", &height, &heightFound, false));
  data.AddItem(new CIniColorItem("Color", &color, &colorFound));
  data.AddItem(new CIniStringItem("Title", &title));
  CStr errors;
  EXPECT_TRUE(ParseFileText(" \t Width \t=\t 12 \t\r\n"
                            "unknown = whatever it is\r\n"
                            "\r\n"
                            "TITLE=  My skin = fine \n"
                            "height=3\n"
                            "Height=4\n",
                            data, errors));
  EXPECT_STREQ(errors, "");
  EXPECT_EQ(width, 12);
  EXPECT_TRUE(widthFound);
  EXPECT_EQ(height, 4) << "the later line wins";
  EXPECT_TRUE(heightFound);
  EXPECT_STREQ(title, "My skin = fine") << "the value runs from the first '=' to the line end";
  EXPECT_TRUE(colorFound) << "the parser never clears a found flag";
  EXPECT_EQ(color, 0u);
}

TEST(IniParser, EachBadLineAddsOneMessageWithItsNumberAndParsingGoesOn) {
  INT width = 0, depth = 0;
  bool depthFound = false;
  CIniData data;
  data.AddItem(new CIniIntegerItem("Width", &width, nullptr, true));
  data.AddItem(new CIniIntegerItem("Depth", &depth, &depthFound, true));
  CStr errors;
  // CR, LF and CR LF each end one line.
  EXPECT_FALSE(ParseFileText("[Window]\r"
                             "; a comment\n"
                             "  Width  =  -x  \r\n"
                             "NoEquals\n"
                             "Empty =   \t\n"
                             "=5\n"
                             "9lives=1\n"
                             "Depth=32\n",
                             data, errors));
  EXPECT_STREQ(errors,
               "Syntax error in 'Main.ini' at line 1 ([Window])\n"
               "Syntax error in 'Main.ini' at line 2 (; a comment)\n"
               "Error in 'Main.ini' at line 3 (Width=-x): value must be an integer\n"
               "Syntax error in 'Main.ini' at line 4 (NoEquals)\n"
               "Syntax error in 'Main.ini' at line 5 (Empty =   \t)\n"
               "Syntax error in 'Main.ini' at line 6 (=5)\n"
               "Syntax error in 'Main.ini' at line 7 (9lives=1)\n");
  EXPECT_EQ(depth, 32) << "lines after bad ones are parsed";
  EXPECT_TRUE(depthFound);
}

// The line's text is the file's: whatever it holds goes into the message
// as it stands, and the message keeps all of its own parts.
TEST(IniParser, TextFromTheFileInAMessageIsNotTakenForPlaceholders) {
  struct {
    const char* behaviour;
    std::string line;
    std::string message;
  } cases[] = {
      {"a value holding the description's placeholder", "Width=%ERRORDESC%",
       "Error in 'Main.ini' at line 1 (Width=%ERRORDESC%): value must be an integer\n"},
      {"a value holding the file name's and line number's", "Width=%FILENAME%:%LINENUM%",
       "Error in 'Main.ini' at line 1 (Width=%FILENAME%:%LINENUM%): value must be an integer\n"},
      {"a bad line holding the description's placeholder", "[%ERRORDESC%]",
       "Syntax error in 'Main.ini' at line 1 ([%ERRORDESC%])\n"},
      {"a NUL byte in a bad value", std::string("Width=x\0y", 9),
       std::string("Error in 'Main.ini' at line 1 (Width=x") + '\0' + "y): value must be an integer\n"},
  };
  for (const auto& c : cases) {
    INT width = 0;
    CIniData data;
    data.AddItem(new CIniIntegerItem("Width", &width, nullptr, true));
    CStr errors;
    EXPECT_FALSE(ParseFileText(c.line, data, errors)) << c.behaviour;
    EXPECT_EQ(std::string(errors.c_str(), errors.GetLength()), c.message) << c.behaviour;
  }
}

// Editors on Windows start UTF-8 files with a byte order mark.
TEST(IniParser, AByteOrderMarkAtTheStartIsNoPartOfTheFirstLine) {
  INT width = 0;
  bool found = false;
  CStr author;
  CIniData data;
  data.AddItem(new CIniIntegerItem("Width", &width, &found, true));
  data.AddItem(new CIniStringItem("Author", &author));
  CStr errors;
  EXPECT_TRUE(ParseFileText("\xEF\xBB\xBFWidth=5\r\nAuthor=J\xc3\xbcrgen\r\n", data, errors));
  EXPECT_STREQ(errors, "");
  EXPECT_TRUE(found);
  EXPECT_EQ(width, 5);
  EXPECT_STREQ(author, "J\xc3\xbcrgen");

  // A mark before text that is not UTF-8 after all: the mark still goes,
  // the text is read as Windows-1252.
  EXPECT_TRUE(ParseFileText("\xEF\xBB\xBF" "Author=J\xfcrgen\n", data, errors));
  EXPECT_STREQ(author, "J\xc3\xbcrgen");

  // Only at the start: elsewhere it is text of its line.
  EXPECT_FALSE(ParseFileText("Width=1\n\xEF\xBB\xBFWidth=2\n", data, errors));
  EXPECT_EQ(width, 1);
}

TEST(IniParser, EmptyFilesAndBlankLinesAreAccepted) {
  for (const char* content : {"", " \t ", "\n\r\n\r", "a=1"}) {
    CIniData data;
    CStr errors;
    EXPECT_TRUE(ParseFileText(content, data, errors)) << '"' << content << '"';
    EXPECT_STREQ(errors, "");
  }
}

TEST(IniParser, MessagesNameTheFileAfterItsLastSlashOrBackslash) {
  for (const char* url : {"file:///skins/Blue/Main.ini", "C:\\Skins\\Blue\\Main.ini", "Main.ini"}) {
    INT value = 0;
    CIniData data;
    data.AddItem(new CIniIntegerItem("N", &value, nullptr, false));
    ProbeStream stream("N=-1");
    CStr errors;
    EXPECT_FALSE(CIniParser().ParseStream(stream, url, data, errors));
    EXPECT_STREQ(errors, "Error in 'Main.ini' at line 1 (N=-1): value must be a non negative integer\n") << url;
  }
}

TEST(IniParser, MessagesComeFromTheLocalizer) {
  GetLocalizer().AddString("IniError.SyntaxError", "%LINENUM%: %LINECONTENT% (%FILENAME%)");
  GetLocalizer().AddString("IniError.ValueError", "%LINENUM%: %ERRORDESC%");
  GetLocalizer().AddString("CIniBooleanItem.ParseError", "ja oder nein");
  bool flag = false;
  CIniData data;
  data.AddItem(new CIniBooleanItem("Flag", &flag));
  ProbeStream stream("?\nFlag=vielleicht");
  CStr errors;
  EXPECT_FALSE(CIniParser().ParseStream(stream, "a/b.ini", data, errors));
  EXPECT_STREQ(errors, "1: ? (b.ini)\n2: ja oder nein\n");
}

TEST(IniParser, FileOverOneMebibyteIsRefusedBeforeItIsRead) {
  const std::string exactlyOneMebibyte = "Width=5\n" + std::string(CIniParser::kMaxFileSize - 8, ' ');
  INT width = 0;
  CIniData data;
  data.AddItem(new CIniIntegerItem("Width", &width, nullptr, true));
  CStr errors;
  ProbeStream fits(exactlyOneMebibyte);
  EXPECT_TRUE(CIniParser().ParseStream(fits, "Main.ini", data, errors));
  EXPECT_EQ(width, 5);

  ProbeStream tooLarge(exactlyOneMebibyte + " ");
  try {
    CIniParser().ParseStream(tooLarge, "Main.ini", data, errors);
    ADD_FAILURE() << "a file of 1 MiB + 1 byte was parsed";
  } catch (CError* error) {
    EXPECT_STREQ(error->GetCaption(), "Ini error");
    EXPECT_STREQ(error->GetText(), "The file is not a valid ini file.");
    DisposeError(error);
  }
  EXPECT_EQ(tooLarge.reads, 0);
}

TEST(IniParser, StreamsOfUnknownLengthAreReadUpToTheLimit) {
  INT width = 0;
  CIniData data;
  data.AddItem(new CIniIntegerItem("Width", &width, nullptr, true));
  CStr errors;
  ProbeStream small("Width=7\n", -1);
  EXPECT_TRUE(CIniParser().ParseStream(small, "Main.ini", data, errors));
  EXPECT_EQ(width, 7);

  ProbeStream endless(std::string(CIniParser::kMaxFileSize + 1, '\n'), -1);
  try {
    CIniParser().ParseStream(endless, "Main.ini", data, errors);
    ADD_FAILURE() << "more than 1 MiB was parsed";
  } catch (CError* error) {
    EXPECT_STREQ(error->GetText(), "The file is not a valid ini file.");
    DisposeError(error);
  }
}

TEST(IniParser, FileShorterThanItsLengthIsTheStreamsEndOfStream) {
  CIniData data;
  CStr errors;
  ProbeStream shortStream("a=1\n", 100);
  try {
    CIniParser().ParseStream(shortStream, "Main.ini", data, errors);
    ADD_FAILURE() << "a short read passed";
  } catch (CStreamError* error) {
    EXPECT_EQ(error->GetCode(), CStreamError::kEndOfStream);
    DisposeError(error);
  }
}

TEST(IniParser, FilesOpenByPathOrUrlAndAMissingOneIsTheStreamsFileNotFound) {
  const std::string dir = twltest::MakeTempDir("files");
  twltest::WriteFile(dir + "/Keys.ini", "Width=3\n");
  for (const std::string& url : {dir + "/Keys.ini", "file://" + dir + "/Keys.ini"}) {
    INT width = 0;
    CIniData data;
    data.AddItem(new CIniIntegerItem("Width", &width, nullptr, true));
    CStr errors;
    EXPECT_TRUE(CIniParser().ParseFile(url.c_str(), data, errors)) << url;
    EXPECT_EQ(width, 3) << url;
  }

  CIniData data;
  CStr errors;
  try {
    CIniParser().ParseFile((dir + "/Missing.ini").c_str(), data, errors);
    ADD_FAILURE() << "a missing file was parsed";
  } catch (CStreamError* error) {
    EXPECT_EQ(error->GetCode(), CStreamError::kFileNotFound) << "readers of optional files catch this code";
    DisposeError(error);
  }

  twltest::WriteFile(dir + "/Large.ini", std::string(CIniParser::kMaxFileSize + 1, '\n'));
  try {
    CIniParser().ParseFile((dir + "/Large.ini").c_str(), data, errors);
    ADD_FAILURE() << "a file over 1 MiB was parsed";
  } catch (CError* error) {
    EXPECT_STREQ(error->GetCaption(), "Ini error");
    DisposeError(error);
  }
}

TEST(IniParser, TextInWindows1252BecomesUtf8AndUtf8StaysAsItIs) {
  CStr author, title;
  CIniData data;
  data.AddItem(new CIniStringItem("Author", &author));
  data.AddItem(new CIniStringItem("Title", &title));
  CStr errors;
  EXPECT_TRUE(ParseFileText("Author=J\xfcrgen Gro\xdf\r\nTitle=\x80 5\r\n", data, errors));
  EXPECT_STREQ(author, "J\xc3\xbcrgen Gro\xc3\x9f");
  EXPECT_STREQ(title, "\xe2\x82\xac 5");

  EXPECT_TRUE(ParseFileText("Author=J\xc3\xbcrgen\n", data, errors));
  EXPECT_STREQ(author, "J\xc3\xbcrgen");
}

TEST(IniData, FindsTheLastAddedItemOfANameWithoutRegardToCase) {
  INT first = 0, second = 0;
  CIniData data;
  CIniItem* older = new CIniIntegerItem("Width", &first, nullptr, true);
  CIniItem* newer = new CIniIntegerItem("WIDTH", &second, nullptr, true);
  data.AddItem(older);
  data.AddItem(newer);
  EXPECT_EQ(data.FindItem("width"), newer);
  EXPECT_EQ(data.FindItem("Widt"), nullptr);
  EXPECT_EQ(data.FindItem("Widths"), nullptr);
  EXPECT_EQ(data.GetHead(), newer);
  EXPECT_EQ(newer->GetNext(), older);

  CStr umlaut;
  data.AddItem(new CIniStringItem("Gr\xc3\xb6\xc3\x9f" "e", &umlaut));
  EXPECT_NE(data.FindItem("GR\xc3\xb6\xc3\x9f" "E"), nullptr) << "letters A-Z fold, other bytes stay";
  EXPECT_EQ(data.FindItem("GR\xc3\x96\xc3\x9f" "E"), nullptr);

  data.RemoveAll();
  EXPECT_EQ(data.GetHead(), nullptr);
  EXPECT_EQ(data.FindItem("width"), nullptr);
}

}  // namespace
