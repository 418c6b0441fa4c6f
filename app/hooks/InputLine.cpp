#include "app/hooks/InputLine.h"

#include <charconv>
#include <string>
#include <vector>

#include "app/keys/Hotkey.h"

namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    const size_t start = line.find_first_not_of(" \t\r\n", at);
    if (start == std::string_view::npos) break;
    const size_t end = std::min(line.find_first_of(" \t\r\n", start), line.size());
    words.push_back(line.substr(start, end - start));
    at = end;
  }
  return words;
}

template <class Number>
std::optional<Number> Decimal(std::string_view word) {
  Number value{};
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

std::optional<UINT> TrayMessage(std::string_view name) {
  static constexpr struct {
    std::string_view name;
    UINT message;
  } kMessages[] = {
      {"mousemove", WM_MOUSEMOVE},         {"lbuttondown", WM_LBUTTONDOWN}, {"lbuttonup", WM_LBUTTONUP},
      {"lbuttondblclk", WM_LBUTTONDBLCLK}, {"rbuttondown", WM_RBUTTONDOWN}, {"rbuttonup", WM_RBUTTONUP},
      {"rbuttondblclk", WM_RBUTTONDBLCLK},
  };
  for (const auto& known : kMessages)
    if (known.name == name) return known.message;
  return std::nullopt;
}

}  // namespace

std::optional<InputLine> ParseInputLine(std::string_view line) {
  const std::vector<std::string_view> words = Words(line);
  if (words.empty()) return std::nullopt;
  const std::string_view command = words[0];
  InputLine input;
  if ((command == "click" || command == "rclick" || command == "move") && words.size() == 3) {
    const auto x = Decimal<int>(words[1]);
    const auto y = Decimal<int>(words[2]);
    if (!x || !y) return std::nullopt;
    input.kind = command == "click"    ? InputLine::Kind::kClick
                 : command == "rclick" ? InputLine::Kind::kRightClick
                                       : InputLine::Kind::kMove;
    input.x = *x;
    input.y = *y;
    return input;
  }
  if (command == "menu" && words.size() == 2) {
    input.kind = InputLine::Kind::kMenu;
    if (words[1] == "none") return input;
    const auto id = Decimal<UINT>(words[1]);
    if (!id || *id == 0 || *id > 0xFFFF) return std::nullopt;
    input.value = *id;
    return input;
  }
  if (command == "tray" && words.size() == 2) {
    const auto message = TrayMessage(words[1]);
    if (!message) return std::nullopt;
    input.kind = InputLine::Kind::kTray;
    input.value = *message;
    return input;
  }
  if (command == "snap" && words.size() == 1) return input;
  if (command == "key" && words.size() >= 2) {
    // The text runs to the end of the line: "Ctrl + P" is one hotkey.
    const size_t start = static_cast<size_t>(words[1].data() - line.data());
    const size_t end = static_cast<size_t>(words.back().data() + words.back().size() - line.data());
    CHotkey hotkey;
    if (!hotkey.Parse(std::string(line.substr(start, end - start)).c_str())) return std::nullopt;
    if (hotkey.GetKey() == 0 || hotkey.GetKey() > 0xFF) return std::nullopt;
    input.kind = InputLine::Kind::kKey;
    input.value = hotkey.GetKey();
    input.modifiers = hotkey.GetModifiers();
    return input;
  }
  return std::nullopt;
}
