// `twltool proxy` in processes of their own, one after the other, so what
// one stores under the settings key is what the next one's start-up loads.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "StoredBytes.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "support/TestPaths.h"

namespace {

using storedbytes::PythonBytes;
using storedbytes::ToHex;

struct ToolRun {
  int exitCode;
  std::string output;
  std::string errors;
};

ToolRun Proxy(const std::string& args) {
  const std::string errorsPath = twltest::MakeTempDir("proxy") + "/errors.txt";
  ToolRun run;
  const int status = twltest::RunCommand(
      "'" + twltest::ProgramPath("twltool") + "' proxy " + args + " 2>'" + errorsPath + "'", &run.output);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.errors = twltest::ReadFile(errorsPath);
  return run;
}

void StoreProxyData(const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE, &key));
  EXPECT_TRUE(SetRegistryBinary(key, "ProxyData", bytes.data(), static_cast<DWORD>(bytes.size())));
  RegCloseKey(key);
}

TEST(TwltoolProxy, OneHttpInfoWithoutProxyIsStoredAsTheSixteenPythonBytes) {
  const ToolRun run = Proxy("--register http:HTTP:8080 --save --get http");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.output, "ProxyData " + ToHex(PythonBytes(R"(w(1) + t(b"http") + w(0))")) + "\nhttp - - -1 0\n");
  EXPECT_EQ(run.output, "ProxyData 01000000040000006874747000000000\nhttp - - -1 0\n");
}

TEST(TwltoolProxy, TheUsersChoiceSurvivesIntoTheNextProcessWhileItsTypeIsRegistered) {
  const std::string ftpTypes = "--register ftp:user@host:8021 --register ftp:HTTP:8080 ";
  ToolRun run = Proxy(ftpTypes + "--set ftp:user@host:gate.example: --save --get ftp");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.output, "ProxyData " +
                            ToHex(PythonBytes(R"(w(1) + t(b"ftp") + t(b"user@host") + t(b"gate.example") + w(-1) + w(1))")) +
                            "\nftp user@host gate.example 8021 1\n");

  run = Proxy("--register FTP:USER@HOST:2121 --get ftp --get http");
  EXPECT_EQ(run.output, "ftp USER@HOST gate.example 2121 1\nhttp - - -1 0\n");
  // The plug-in that knew "user@host" is gone.
  run = Proxy("--register ftp:HTTP:8080 --get ftp");
  EXPECT_EQ(run.output, "ftp - - -1 0\n");
  // A stored setting stays stored until the next save.
  run = Proxy("--register ftp:user@host:8021 --set ftp:HTTP:cache:3128 --get ftp");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("no proxy type HTTP registered for ftp"), std::string::npos) << run.errors;
  run = Proxy("--register ftp:user@host:8021 --get ftp");
  EXPECT_EQ(run.output, "ftp user@host gate.example 8021 1\n");
}

TEST(TwltoolProxy, AStoredPythonValueAnswersAsPlugInsReceiveIt) {
  StoreProxyData(PythonBytes(R"(w(1) + t(b"ftp") + t(b"user@host") + t(b"proxy host") + w(-1) + w(1))"));
  const ToolRun run = Proxy("--register ftp:user@host:8021 --get ftp");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.output, "ftp user@host proxy host 8021 1\n");
}

TEST(TwltoolProxy, ADamagedStoredValueIsReportedAsTheEndOfTheStream) {
  for (const char* stored : {R"((w(1) + t(b"ftp") + t(b"HTTP") + t(b"gate") + w(-1) + w(1))[:-2])",
                             R"(w(1) + w(0xFFFFFFF0) + b"ftp")"}) {
    SCOPED_TRACE(stored);
    StoreProxyData(PythonBytes(stored));
    const ToolRun run = Proxy("--register ftp:HTTP:8080 --get ftp");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_NE(run.errors.find("The end of the stream was reached."), std::string::npos) << run.errors;
  }
}

TEST(TwltoolProxy, RefusesMalformedOptions) {
  for (const char* args : {"--register http:HTTP", "--register :HTTP:80", "--register http::80",
                           "--register http:HTTP:port", "--register http:HTTP:70000", "--set http:HTTP:80",
                           "--get", "--frobnicate x"}) {
    SCOPED_TRACE(args);
    const ToolRun run = Proxy(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "");
  }
}

}  // namespace
