// The saved FTP servers: keys in any capitalisation, the Lookup rule, the
// ftplogins.dat layout (checked against a file built byte by byte with
// python3's struct), damaged files that must neither crash nor allocate
// what they claim, and the .bad copy that keeps a damaged file's servers.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"
#include "plugins/netvarra/ftp/FTPLoginDataBase.h"
#include "plugins/netvarra/ftp/FTPLoginFile.h"
#include "plugins/netvarra/ftp/PasswordScramble.h"
#include "support/TestPaths.h"

namespace {

CFTPLogin MakeLogin(const char* name, const char* host, const char* alias, const char* user,
                    const std::string& password) {
  CFTPLogin login;
  login.name = name;
  login.host = host;
  login.alias = alias;
  login.user = user;
  login.password = CStr(password.data(), password.size());
  return login;
}

std::string SavedBytes(CFTPLoginDataBase& logins) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 256, false);
  logins.Save(stream);
  const std::string bytes(reinterpret_cast<const char*>(stream.GetBuffer()),
                          static_cast<size_t>(stream.GetLength(true, nullptr)));
  stream.Close();
  return bytes;
}

// Loads `bytes`; the error's text, or "" when it loaded.
std::string LoadBytes(CFTPLoginDataBase& logins, const std::string& bytes, DWORD* streamCode = nullptr) {
  CMemoryStream stream;
  stream.OpenCopy(bytes.data(), static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek);
  try {
    logins.Load(stream);
    return "";
  } catch (CError* error) {
    const std::string text = error->GetText().c_str();
    if (streamCode) {
      auto* streamError = dynamic_cast<CStreamError*>(error);
      *streamCode = streamError ? streamError->GetCode() : 0;
    }
    DisposeError(error);
    return text;
  }
}

std::string U32(uint32_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}
std::string Field(const std::string& text) { return U32(static_cast<uint32_t>(text.size())) + text; }
std::string Record(const std::string& body) { return U32(static_cast<uint32_t>(body.size())) + body; }
std::string Payload(const std::string& records) { return U32(static_cast<uint32_t>(records.size())) + records; }
std::string Body(const std::string& name, const std::string& host, const std::string& alias,
                 const std::string& user, const std::string& password) {
  return Field(name) + Field(host) + Field(alias) + Field(user) + Field(ScramblePassword(password));
}

constexpr const char* kCorrupt = "The FTP password database seems to be corrupted";

TEST(FTPLoginDataBaseTest, KeysAndLookup) {
  CFTPLoginDataBase logins;
  logins.Add(MakeLogin("Work", "FTP.Example.COM", "WorkBox", "bob", "pw"));
  logins.Add(MakeLogin("Mirror", "mirror.example", "", "", ""));
  logins.Add(MakeLogin("Mirror as carol", "mirror.example", "carol", "carol", "x"));
  logins.Add(MakeLogin("Only aliased, user", "two.example", "first", "dave", "d"));
  logins.Add(MakeLogin("Only aliased, anonymous", "two.example", "second", "", ""));

  struct Row {
    const char* why;
    const char* text;
    bool found;
    const char* name;
  } rows[] = {
      {"the alias in any capitalisation", "workbox", true, "Work"},
      {"the alias in capitals", "WORKBOX", true, "Work"},
      {"a host of an aliased login finds it through the host list", "ftp.example.com", true, "Work"},
      {"a host that is a key itself wins over its other logins", "MIRROR.example", true, "Mirror"},
      {"only aliased logins: the anonymous one is preferred", "two.example", true, "Only aliased, anonymous"},
      {"an unknown text", "nowhere.example", false, ""},
  };
  for (const Row& row : rows) {
    CFTPLogin found;
    ASSERT_EQ(row.found, logins.Lookup(row.text, found)) << row.why;
    if (row.found) {
      EXPECT_STREQ(row.name, found.name.c_str()) << row.why;
    }
  }
  CFTPLogin got;
  EXPECT_TRUE(logins.Get("wOrKbOx", got));
  EXPECT_TRUE(logins.Exists("WORKBOX"));
  EXPECT_FALSE(logins.Exists("ftp.example.com")) << "a host behind an alias is no key";

  logins.Remove("WorkBox");
  EXPECT_FALSE(logins.Exists("workbox"));
  EXPECT_FALSE(logins.Lookup("ftp.example.com", got)) << "the removed login left its host list";
  logins.Remove("workbox");  // nothing left under it: no change
  logins.Add(MakeLogin("Replaced", "MIRROR.EXAMPLE", "", "", ""));
  ASSERT_TRUE(logins.Lookup("mirror.example", got));
  EXPECT_STREQ("Replaced", got.name.c_str()) << "an equal key replaces the login";
}

TEST(FTPLoginDataBaseTest, EmptyDataBaseIsFourZeroBytes) {
  CFTPLoginDataBase logins;
  EXPECT_EQ(std::string(4, '\0'), SavedBytes(logins));
  logins.Add(MakeLogin("a", "a.example", "", "", ""));
  logins.Remove("a.example");
  EXPECT_EQ(std::string(4, '\0'), SavedBytes(logins)) << "a removed login's node is not saved";
  EXPECT_EQ("", LoadBytes(logins, std::string(4, '\0')));
  EXPECT_EQ(nullptr, logins.GetKeyTree());
}

TEST(FTPLoginDataBaseTest, PasswordsRoundTrip) {
  std::string zeroing;  // bytes whose scrambled form is 0
  for (int i = 0; i < 70; ++i) {
    for (int byte = 1; byte < 256; ++byte) {
      std::string probe = zeroing + static_cast<char>(byte);
      if (ScramblePassword(probe)[static_cast<size_t>(i)] == '\0') {
        zeroing = probe;
        break;
      }
    }
  }
  ASSERT_EQ(70u, zeroing.size()) << "every position has a byte that scrambles to 0";
  const std::string passwords[] = {std::string(100, 'p'), zeroing, "s3cret", ""};
  CFTPLoginDataBase logins;
  for (size_t i = 0; i < std::size(passwords); ++i)
    logins.Add(MakeLogin("n", ("h" + std::to_string(i)).c_str(), "", "u", passwords[i]));
  const std::string saved = SavedBytes(logins);
  CFTPLoginDataBase loaded;
  ASSERT_EQ("", LoadBytes(loaded, saved));
  for (size_t i = 0; i < std::size(passwords); ++i) {
    CFTPLogin login;
    ASSERT_TRUE(loaded.Get(("H" + std::to_string(i)).c_str(), login));
    EXPECT_EQ(passwords[i], std::string(login.password.c_str(), login.password.GetLength())) << i;
  }
  EXPECT_EQ(saved, SavedBytes(loaded)) << "loading and saving again changes nothing";
}

TEST(FTPLoginDataBaseTest, DamagedAndOddFiles) {
  const std::string good = Body("n", "h.example", "", "", "");
  struct Row {
    const char* why;
    std::string file;
    const char* error;  // "" when it loads
    DWORD streamCode;
    const char* expectName;  // the login under "h.example" after loading, or ""
  } rows[] = {
      {"one record", Payload(Record(good)), "", 0, "n"},
      {"extra record bytes are skipped", Payload(Record(good + "extra")), "", 0, "n"},
      {"a repeated key keeps the later record",
       Payload(Record(good) + Record(Body("later", "H.EXAMPLE", "", "", ""))), "", 0, "later"},
      {"bytes after the payload are not read", Payload(Record(good)) + "trailing", "", 0, "n"},
      {"R beyond the payload", Payload(U32(1000) + good), kCorrupt, 0, ""},
      {"a payload of fewer than four bytes", U32(2) + "ab", kCorrupt, 0, ""},
      {"a string longer than its record", Payload(Record(Field("n") + U32(0xFFFFFFF0u))), kCorrupt, 0, ""},
      {"a record too short for its five strings", Payload(Record(Field("n") + Field("h"))), kCorrupt, 0, ""},
      {"a huge length in a file that ends: no 4 GiB allocation",
       U32(0xFFFFFFF0u) + U32(0xFFFFFFE0u) + U32(0xFFFFFF00u), nullptr, CStreamError::kEndOfStream, ""},
      {"a file shorter than its payload", Payload(Record(good)).substr(0, 12), nullptr, CStreamError::kEndOfStream,
       ""},
      {"no length at all", "ab", nullptr, CStreamError::kEndOfStream, ""},
  };
  for (const Row& row : rows) {
    CFTPLoginDataBase logins;
    logins.Add(MakeLogin("old", "old.example", "", "", ""));
    DWORD code = 0;
    const std::string error = LoadBytes(logins, row.file, &code);
    if (row.error) {
      EXPECT_EQ(row.error, error) << row.why;
    } else {
      EXPECT_NE("", error) << row.why;
      EXPECT_EQ(row.streamCode, code) << row.why;
    }
    EXPECT_FALSE(logins.Exists("old.example")) << row.why << ": loading starts from an empty database";
    CFTPLogin login;
    if (*row.expectName) {
      ASSERT_TRUE(logins.Get("h.example", login)) << row.why;
      EXPECT_STREQ(row.expectName, login.name.c_str()) << row.why;
    } else {
      EXPECT_EQ(nullptr, logins.GetKeyTree()) << row.why << ": a failed load leaves the database empty";
    }
  }
}

TEST(FTPLoginDataBaseTest, FileMadeWithPythonStructLoadsAndSavesUnchanged) {
  const std::string folder = twltest::MakeTempDir("logins") + "/";
  const std::string path = folder + kFTPLoginFileName;
  // Scrambled by our own routine: the table is ours, so python3 only lays
  // out the fields.
  const std::string password = ScramblePassword("x");
  std::string hex;
  for (unsigned char c : password) hex += "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
  const std::string script =
      "import struct,sys\n"
      "def s(b): return struct.pack('<I', len(b)) + b\n"
      "rec = s(b'Local mirror') + s(b'127.0.0.1:2121') + s(b'mirror') + s(b'') + s(b'') \n"
      "rec2 = s(b'Named') + s(b'files.example') + s(b'') + s(b'ann') + s(b'" + hex + "')\n"
      "body = struct.pack('<I', len(rec)) + rec + struct.pack('<I', len(rec2)) + rec2\n"
      "open(sys.argv[1], 'wb').write(struct.pack('<I', len(body)) + body)\n";
  twltest::WriteFile(folder + "make.py", script);
  ASSERT_EQ(0, twltest::RunCommand("python3 '" + folder + "make.py' '" + path + "'"));
  const std::string before = twltest::ReadFile(path);

  CFTPLoginDataBase logins;
  std::string errorText;
  ASSERT_TRUE(LoadFTPLogins(logins, folder, errorText)) << errorText;
  CFTPLogin login;
  ASSERT_TRUE(logins.Lookup("MIRROR", login));
  EXPECT_STREQ("127.0.0.1:2121", login.host.c_str());
  EXPECT_TRUE(login.user.IsEmpty());
  ASSERT_TRUE(logins.Get("files.example", login));
  EXPECT_STREQ("x", login.password.c_str());
  ASSERT_TRUE(SaveFTPLogins(logins, folder));
  // Two records save in the key tree's walk order: with two keys the root
  // is the first added, so the order is the file's own.
  EXPECT_EQ(before, twltest::ReadFile(path)) << "byte-identical after a load and a save";
}

TEST(FTPLoginDataBaseTest, MissingAndDamagedFiles) {
  const std::string folder = twltest::MakeTempDir("logins") + "/";
  CFTPLoginDataBase logins;
  std::string errorText;
  EXPECT_TRUE(LoadFTPLogins(logins, folder, errorText)) << "a missing file is an empty database";

  const std::string truncated = Payload(Record(Body("n", "h.example", "", "", ""))).substr(0, 20);
  twltest::WriteFile(folder + kFTPLoginFileName, truncated);
  logins.Add(MakeLogin("old", "old.example", "", "", ""));
  EXPECT_FALSE(LoadFTPLogins(logins, folder, errorText));
  EXPECT_NE("", errorText);
  EXPECT_EQ(nullptr, logins.GetKeyTree());
  EXPECT_EQ(truncated, twltest::ReadFile(folder + kFTPLoginFileName + std::string(".bad")));
  ASSERT_TRUE(SaveFTPLogins(logins, folder));
  EXPECT_EQ(std::string(4, '\0'), twltest::ReadFile(folder + kFTPLoginFileName));
  EXPECT_EQ(truncated, twltest::ReadFile(folder + kFTPLoginFileName + std::string(".bad")))
      << "the damaged file survives the save";
}

}  // namespace
