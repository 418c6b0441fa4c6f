// Control-connection lines into replies: multi-line replies and the lines
// that must not end them, lines outside replies, the size limits a server
// cannot push past, the 257 directory name and the unexpected-reply error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/kernel/Error.h"
#include "plugins/netvarra/ftp/FTPError.h"
#include "plugins/netvarra/ftp/FTPReplyCode.h"
#include "plugins/netvarra/ftp/FTPReplyCollector.h"

namespace {

std::vector<std::string> AllReplies(FTPReplyCollector& collector) {
  std::vector<std::string> replies;
  std::string reply;
  while (collector.TakeReply(reply)) replies.push_back(reply);
  return replies;
}

// The error text AddLine throws, or "" when it does not.
std::string AddLineError(FTPReplyCollector& collector, const std::string& line) {
  try {
    collector.AddLine(line);
    return "";
  } catch (CError* error) {
    std::string text = error->GetText().c_str();
    DisposeError(error);
    return text;
  }
}

TEST(FTPReplyCollectorTest, MultiLineRepliesAndOtherLines) {
  FTPReplyCollector collector;
  for (const char* line : {"220 ready", "xx", "no code here", "230-Welcome", "230-still inside", "2301 not the end",
                           "230 done", "331 next"})
    collector.AddLine(line);
  EXPECT_EQ((std::vector<std::string>{"220 ready", "230-Welcome\n230-still inside\n2301 not the end\n230 done",
                                      "331 next"}),
            AllReplies(collector));
  EXPECT_EQ((std::deque<std::string>{"xx", "no code here"}), collector.OtherLines());

  collector.AddLine("150-part");
  collector.DropReplies();
  collector.AddLine("226 after a dropped reply");
  EXPECT_EQ(std::vector<std::string>{"226 after a dropped reply"}, AllReplies(collector))
      << "a reply cut off by a new command does not swallow the next one";
}

TEST(FTPReplyCollectorTest, BoundedInput) {
  const std::string unexpectedStart = "Unexpected FTP reply (";
  FTPReplyCollector collector;
  const std::string longLine(FTPReplyCollector::kMaxLineLength + 1, 'a');
  EXPECT_EQ(unexpectedStart + std::string(100, 'a') + ")", AddLineError(collector, longLine))
      << "an overlong line shows its first 100 characters";

  collector.AddLine("230-start");
  std::string error;
  for (int i = 0; i < 40 && error.empty(); ++i)
    error = AddLineError(collector, std::string(FTPReplyCollector::kMaxLineLength - 10, 'b'));
  EXPECT_EQ(0u, error.find(unexpectedStart + "230-start\nbbb")) << error.substr(0, 40);
  EXPECT_EQ(unexpectedStart.size() + 100 + 1, error.size());

  FTPReplyCollector others;
  for (int i = 0; i < 1000; ++i) others.AddLine("noise " + std::to_string(i));
  EXPECT_EQ(FTPReplyCollector::kMaxOtherLines, others.OtherLines().size());
  EXPECT_EQ("noise 999", others.OtherLines().back()) << "the latest lines are kept";
}

TEST(FTPReplyCollectorTest, QuotedDirectoryAndReplyCodes) {
  struct Row {
    const char* reply;
    bool parses;
    const char* name;
  } rows[] = {
      {"257 \"/home/alice\" is current", true, "/home/alice"},
      {"257  \t\"/a \"\"b\"\" c\" x", true, "/a \"\"b\"\" c"},
      {"257 \"\"", true, ""},
      {"257 /no/quotes", false, ""},
      {"257 \"unterminated", false, ""},
      {"257", false, ""},
  };
  for (const Row& row : rows) {
    std::string name;
    EXPECT_EQ(row.parses, ParseQuotedDirectory(row.reply, name)) << row.reply;
    if (row.parses) {
      EXPECT_EQ(row.name, name) << row.reply;
    }
  }
  EXPECT_EQ(230, GetReplyCode("230 ok"));
  EXPECT_EQ(0, GetReplyCode("000"));
  EXPECT_EQ(-1, GetReplyCode("23"));
  EXPECT_EQ(-1, GetReplyCode("2a0 x"));
  EXPECT_EQ(-1, GetReplyCode(nullptr));

  CFTPError error(331, "331 Password required");
  EXPECT_STREQ("FTP error", error.GetCaption().c_str());
  EXPECT_STREQ("Unexpected FTP reply (331 Password required)", error.GetText().c_str());
  EXPECT_EQ(331, error.GetCode());
  CFTPError parse(257, "257 x", "Error parsing reply.");
  EXPECT_STREQ("Error parsing reply.", parse.GetText().c_str());
}

}  // namespace
