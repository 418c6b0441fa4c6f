// Listing lines of every style, as servers send them, and lines that must
// yield nothing rather than a half-read entry.
#include <gtest/gtest.h>

#include <string>

#include "plugins/netvarra/ftp/FTPListLine.h"

namespace {

TEST(FTPListLineTest, LinesOfEveryStyle) {
  struct Row {
    const char* why;
    std::string line;
    int32_t style;  // asked for
    bool parses;
    int32_t parsedStyle, type;
    const char* name;
    int64_t size;
  } rows[] = {
      {"a Unix file", "-rw-r--r--   1 ftp  ftp     5242880 Dec 11 16:20 big.bin\r\n", -1, true, 2, 1, "big.bin",
       5242880},
      {"a Unix folder whose name has a blank", "drwxr-xr-x 2 ftp ftp 4096 Jan  1  2024 with blank\r\n", -1, true, 2,
       2, "with blank", 4096},
      {"a Unix link: the name before the arrow", "lrwxrwxrwx 1 u g 7 Jan 1 2024 latest  \t-> v1.2\r\n", -1, true, 2,
       3, "latest", 7},
      {"a Unix file keeps its arrow", "-rw-r--r-- 1 u g 7 Jan 1 2024 a->b\r\n", -1, true, 2, 1, "a->b", 7},
      {"Unix after a total line", "-rw-r--r-- 1 u g 0 Jan 1 2024 empty\r\n", 0, true, 0, 1, "empty", 0},
      {"a Unix line with tabs", "-rw-r--r--\t1\tu\tg\t12\tJan\t1\t2024\tt.txt\r\n", -1, true, 2, 1, "t.txt", 12},
      {"a Unix line without a name", "-rw-r--r-- 1 u g 12 Jan 1 2024 \r\n", -1, false, -1, 0, "", -1},
      {"a Unix line of an unknown type", "crw-r--r-- 1 u g 12 Jan 1 2024 dev\r\n", -1, false, -1, 0, "", -1},
      {"a Unix size that is no number", "-rw-r--r-- 1 u g big Jan 1 2024 x\r\n", -1, false, -1, 0, "", -1},
      {"a size beyond 64 bits", "-rw-r--r-- 1 u g 99999999999999999999 Jan 1 2024 x\r\n", -1, false, -1, 0, "",
       -1},
      {"a DOS file", "12-11-26  04:20PM            1024 report.doc\r\n", -1, true, 1, 1, "report.doc", 1024},
      {"a DOS folder in any case", "12-11-26  04:20PM       <dir>          My Folder\r\n", -1, true, 1, 2,
       "My Folder", -1},
      {"a DOS line that ends early", "12-11-26  04:20PM\r\n", -1, false, -1, 0, "", -1},
      {"an EPLF file", "+i8388621.29609,m824255902,r,s612,\tREADME\r\n", -1, true, 3, 1, "README", 612},
      {"an EPLF folder", "+i8388621.44468,m839956783,/,\tpub\r\n", -1, true, 3, 2, "pub", -1},
      {"an EPLF size fact without a number", "+s,r,\tfile\r\n", -1, true, 3, 1, "file", -1},
      {"an EPLF line without a tab", "+s12,r, file\r\n", -1, false, -1, 0, "", -1},
      {"an EPLF line with an empty name", "+s12,r,\t\r\n", -1, false, -1, 0, "", -1},
      {"a bracketed file", "- [RWCEAFMS] owner  2048 2024-01-01 notes.txt\r\n", -1, true, 4, 1, "notes.txt", 2048},
      {"a bracketed folder", "d [RWCEAFMS] owner  512 2024-01-01 sub\r\n", -1, true, 4, 2, "sub", 512},
      {"a bracketed line too short for its attributes", "d [RW\r\n", -1, false, -1, 0, "", -1},
      {"no CR at all", "-rw-r--r-- 1 u g 1 Jan 1 2024 x", -1, false, -1, 0, "", -1},
      {"a style above 4", "-rw-r--r-- 1 u g 1 Jan 1 2024 x\r\n", 5, false, -1, 0, "", -1},
      {"an empty line", "\r\n", -1, false, -1, 0, "", -1},
  };
  for (const Row& row : rows) {
    FTPListEntry entry;
    ASSERT_EQ(row.parses, ParseListLine(row.line, entry, row.style)) << row.why;
    EXPECT_EQ(row.parsedStyle, entry.style) << row.why;
    EXPECT_EQ(row.type, entry.type) << row.why;
    EXPECT_EQ(row.name, entry.name) << row.why;
    EXPECT_EQ(row.size, entry.size) << row.why;
  }
}

}  // namespace
