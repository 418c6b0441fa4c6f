// `twltool proxy`: the proxy settings as the player keeps them. It runs the
// start-up sequence (empty database, the registrations given, the stored
// "ProxyData" of the settings key), applies the settings given as the
// network options page would, stores them when asked, and prints settings
// as plug-ins receive them.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "PlugInDataStart.h"
#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "playback/data/DataSystem.h"

namespace {

struct Registration {
  std::string protocol;
  std::string type;
  LONG port;
};

struct Setting {
  std::string protocol;
  std::string type;  // empty: no proxy
  std::string server;
  LONG port;  // -1: the type's default
};

struct Options {
  std::vector<Registration> registrations;
  std::vector<Setting> settings;
  bool save = false;
  std::vector<std::string> gets;
  std::string plugIns;  // empty: no plug-ins
};

bool ParsePort(const std::string& text, bool emptyIsNone, LONG& port) {
  int64_t value = 0;
  if (emptyIsNone && text.empty()) {
    port = -1;
    return true;
  }
  if (!tool::ParseSigned(text, value) || value < -1 || value > 65535) return false;
  port = static_cast<LONG>(value);
  return true;
}

// PROTO:TYPE:PORT; the type may hold colons.
bool ParseRegistration(const std::string& text, Registration& registration) {
  const size_t first = text.find(':');
  const size_t last = text.rfind(':');
  if (first == std::string::npos || last == first) return false;
  registration.protocol = text.substr(0, first);
  registration.type = text.substr(first + 1, last - first - 1);
  if (registration.protocol.empty() || registration.type.empty()) return false;
  return ParsePort(text.substr(last + 1), false, registration.port);
}

// PROTO:TYPE:SERVER:PORT; the server may hold colons, the port may be
// empty or -1 (the type's default).
bool ParseSetting(const std::string& text, Setting& setting) {
  const size_t first = text.find(':');
  const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  const size_t last = text.rfind(':');
  if (second == std::string::npos || last == second) return false;
  setting.protocol = text.substr(0, first);
  setting.type = text.substr(first + 1, second - first - 1);
  setting.server = text.substr(second + 1, last - second - 1);
  return ParsePort(text.substr(last + 1), true, setting.port);
}

bool ParseOptions(const tool::Args& args, Options& options, std::string& message) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--save") {
      options.save = true;
      continue;
    }
    if (i + 1 == args.size()) {
      message = "bad option " + name;
      return false;
    }
    const std::string& value = args[++i];
    Registration registration;
    Setting setting;
    if (name == "--register" && ParseRegistration(value, registration)) {
      options.registrations.push_back(registration);
    } else if (name == "--set" && ParseSetting(value, setting)) {
      options.settings.push_back(setting);
    } else if (name == "--get") {
      options.gets.push_back(value);
    } else if (name == "--plugins" && !value.empty()) {
      options.plugIns = value;
    } else {
      message = "bad option " + name + " " + value;
      return false;
    }
  }
  return true;
}

// What the options page stores for one row; false when the type is not
// one the protocol has.
bool Apply(CProxyDataBase& proxies, const Setting& setting, std::string& message) {
  CriticalSectionLock lock(proxies.GetLock());
  CProxyInfo* info = proxies.Find(setting.protocol.c_str());
  if (!info) {
    message = "no proxy types registered for " + setting.protocol;
    return false;
  }
  if (setting.type.empty()) {
    info->SelectNone();
    return true;
  }
  LONG index = CProxyInfo::kNoType;
  if (!info->FindType(setting.type.c_str(), &index)) {
    message = "no proxy type " + setting.type + " registered for " + setting.protocol;
    return false;
  }
  info->Select(index, setting.server.c_str(), setting.port);
  return true;
}

// The stored value, read back from the registry, in lower-case hex.
bool StoredHex(std::string& hex) {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return false;
  std::vector<BYTE> bytes;
  bool found = false;
  const bool read = GetRegistryBinaryAlloc(key, "ProxyData", bytes, found);
  RegCloseKey(key);
  if (!read || !found) return false;
  static const char kDigits[] = "0123456789abcdef";
  for (BYTE byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return true;
}

void PrintSetting(CProxyDataBase& proxies, const std::string& protocol) {
  const ProxySetting setting = proxies.GetProxy(protocol.c_str());
  const auto orNone = [](const CStr& text) { return text.IsEmpty() ? "-" : text.c_str(); };
  std::printf("%s %s %s %ld %lu\n", protocol.c_str(), orNone(setting.typeName), orNone(setting.server),
              static_cast<long>(setting.port), static_cast<unsigned long>(setting.option));
}

}  // namespace

TOOL_COMMAND(RunProxy, "proxy",
             "[--plugins DIR] [--register PROTO:TYPE:PORT]... [--set PROTO:TYPE:SERVER:PORT]... [--save] "
             "[--get PROTO]...  run the proxy start-up (clear, with --plugins the proxy types of DIR's plug-ins' "
             "stream providers (their log to stderr), the registrations in order, load \"ProxyData\" from the "
             "settings key), apply each setting as the options page does (empty TYPE: no proxy; empty PORT or -1: the "
             "type's default), with --save store the settings and print 'ProxyData <hex>' (the stored bytes), "
             "then print 'PROTO TYPE|- SERVER|- PORT OPTION' per --get, as plug-ins receive it") {
  Options options;
  std::string message;
  if (!ParseOptions(args, options, message)) return tool::Fail(message);
  std::unique_ptr<twltool::StdoutLogFront> log;
  if (!options.plugIns.empty()) log = std::make_unique<twltool::StdoutLogFront>(stderr);
  twltool::PlugInDataStart start(options.plugIns);
  CDataSystem& data = GetDataSystem();
  CProxyDataBase& proxies = data.GetProxyDataBase();
  try {
    data.InitProxyDataBase([&](CProxyDataBase& database) {
      for (const Registration& registration : options.registrations)
        database.RegisterProxyType(registration.protocol.c_str(), registration.type.c_str(), registration.port);
    });
    for (const Setting& setting : options.settings)
      if (!Apply(proxies, setting, message)) return tool::Fail(message);
    if (options.save) {
      data.SaveProxyData();
      std::string hex;
      if (!StoredHex(hex)) return tool::Fail("the stored value cannot be read back");
      std::printf("ProxyData %s\n", hex.c_str());
    }
  } catch (CError* error) {
    const int code = tool::Fail(error->GetText().c_str());
    DisposeError(error);
    return code;
  }
  for (const std::string& protocol : options.gets) PrintSetting(proxies, protocol);
  return 0;
}
