// A command line split into arguments by the layer's own rule, handed out
// in one block of pointers followed by the UTF-16 texts they point at.
#include <cstring>
#include <string>
#include <vector>

#include "platform/kernel/CommandLine.h"
#include "twlwin/memory.h"
#include "twlwin/shell.h"
#include "twlwin/text.h"

namespace {

std::string Utf8Of(LPCWSTR wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
  text.resize(static_cast<size_t>(length) - 1);
  return text;
}

std::u16string WideOf(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string wide(static_cast<size_t>(length > 0 ? length : 0), u'\0');
  if (length > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<LPWSTR>(wide.data()),
                        length);
  return wide;
}

}  // namespace

TWLAPI LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count) {
  if (!commandLine || !count) return nullptr;
  std::vector<std::u16string> arguments;
  for (const std::string& argument : twl::SplitCommandLine(Utf8Of(commandLine))) arguments.push_back(WideOf(argument));
  size_t bytes = (arguments.size() + 1) * sizeof(LPWSTR);
  for (const auto& argument : arguments) bytes += (argument.size() + 1) * sizeof(char16_t);
  auto* block = static_cast<unsigned char*>(GlobalLock(GlobalAlloc(GPTR, bytes)));
  if (!block) return nullptr;
  auto* pointers = reinterpret_cast<LPWSTR*>(block);
  auto* texts = reinterpret_cast<char16_t*>(block + (arguments.size() + 1) * sizeof(LPWSTR));
  for (size_t i = 0; i < arguments.size(); ++i) {
    pointers[i] = reinterpret_cast<LPWSTR>(texts);
    std::memcpy(texts, arguments[i].c_str(), (arguments[i].size() + 1) * sizeof(char16_t));
    texts += arguments[i].size() + 1;
  }
  pointers[arguments.size()] = nullptr;
  *count = static_cast<int>(arguments.size());
  return pointers;
}
