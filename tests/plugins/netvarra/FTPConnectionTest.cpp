// FTP logins against a scripted server on 127.0.0.1: the login's replies,
// the errors a server can cause (each a
// clear error, never a hang).
#include <memory>
#include <string>
#include <vector>

#include "NetTestSupport.h"
#include "foundation/kernel/Error.h"
#include "plugins/netvarra/ftp/FTPConnection.h"
#include "support/LoopbackPeer.h"
#include "support/TestPaths.h"

namespace {

constexpr const char* kLogin[] = {"220 ready", "331 password", "230 in", "257 \"/home\" is current"};

std::vector<std::string> LoginSteps() { return {std::begin(kLogin), std::end(kLogin)}; }

// Steps the connection on its events until it is logged in or failed; the
// error's text, or "" when logged in. A connection that neither logs in nor
// fails within 20 s is a hang and fails the test.
std::string DriveLogin(CFTPConnection& connection) {
  for (int pass = 0; pass < 10000; ++pass) {
    const int state = connection.GetState();
    if (state == CFTPConnection::kLoggedIn) return "";
    if (state == CFTPConnection::kFailed) {
      CError* error = connection.GetError();
      std::string text = error ? error->GetText().c_str() : "(no error)";
      if (error) DisposeError(error);
      return text;
    }
    const HANDLE events[] = {connection.GetResolveEvent(), connection.GetNotifyEvent()};
    const DWORD woken = WaitForMultipleObjects(2, events, FALSE, 20000);
    if (woken == WAIT_TIMEOUT) return "hang";
    ResetEvent(events[woken - WAIT_OBJECT_0]);
    connection.Process();
  }
  return "too many passes";
}

class FTPConnectionTest : public nettest::NetTest {
 protected:
  std::string Login(const std::vector<std::string>& steps, const char* user = "alice",
                    const char* password = "s3cret", std::string* record = nullptr, std::string* home = nullptr) {
    const std::string recordPath = twltest::MakeTempDir("ftp") + "/record";
    std::vector<std::string> arguments{"--record", recordPath};
    arguments.insert(arguments.end(), steps.begin(), steps.end());
    std::string result;
    {
      twltest::LoopbackPeer peer("ftp_peer.py", arguments);
      if (peer.Port() == 0) return "no peer";
      CFTPConnection connection;
      connection.Connect("peer.example", peer.Port(), user, password);
      result = DriveLogin(connection);
      if (home) *home = connection.GetHomeDirectory();
      connection.Close();
    }
    // Read once the peer has ended, so that it has recorded everything.
    if (record) *record = twltest::ReadFile(recordPath);
    return result;
  }
};

TEST_F(FTPConnectionTest, LoginSendsUserPassPwd) {
  std::string record, home;
  ASSERT_EQ("", Login(LoginSteps(), "alice", "s3cret", &record, &home));
  EXPECT_EQ("USER alice\r\nPASS s3cret\r\nPWD\r\n", record);
  EXPECT_EQ("/home", home);
}

TEST_F(FTPConnectionTest, ServerReplies) {
  struct Row {
    const char* why;
    std::vector<std::string> steps;
    const char* result;  // "" for logged in; otherwise the start of the error text
    const char* sent;    // what the client sent, or null when not checked
  } rows[] = {
      {"a multi-line 230 with inner 230- and 2301 lines is one reply",
       {"220 ready", "230-Welcome|230-inner|2301 still inside|230 done", "230 no password needed",
        "257 \"/\""},
       "", "USER alice\r\nPASS s3cret\r\nPWD\r\n"},
      {"PASS answered 331", {"220 ready", "331 pw", "331 again"}, "Unexpected FTP reply (331 again)", nullptr},
      {"a 257 without quotes", {"220 ready", "331 pw", "230 in", "257 /home"}, "Error parsing reply.", nullptr},
      {"a doubled quote stays in the name", {"220 ready", "331 pw", "230 in", "257 \"/a\"\"b\" x"}, "", nullptr},
      {"a refused greeting", {"421 busy"}, "Unexpected FTP reply (421 busy)", nullptr},
      {"a 200 KB greeting without a line end fails at once", {"unended:200000"},
       "Unexpected FTP reply (xxxxxxxx", nullptr},
  };
  for (const Row& row : rows) {
    std::string record;
    const std::string result = Login(row.steps, "alice", "s3cret", &record);
    EXPECT_EQ(0u, result.find(row.result)) << row.why << ": " << result.substr(0, 200);
    if (row.sent) {
      EXPECT_EQ(row.sent, record) << row.why;
    }
  }
}

TEST_F(FTPConnectionTest, OversizedGreetingShowsOnlyItsStart) {
  const std::string result = Login({"unended:200000"});
  EXPECT_EQ("Unexpected FTP reply (" + std::string(100, 'x') + ")", result);
}

TEST_F(FTPConnectionTest, UnknownHostFails) {
  CFTPConnection connection;
  connection.Connect("fail.example", 21, "", "");
  EXPECT_NE("", DriveLogin(connection));
  EXPECT_NE("hang", DriveLogin(connection));
}

}  // namespace
