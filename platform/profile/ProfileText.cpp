#include "ProfileText.h"

#include <unordered_set>

#include "platform/text/NameFold.h"

namespace twl::profile {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

// Names in the order first seen, each once whatever its case.
class DistinctNames {
 public:
  void Add(const std::string& name) {
    if (seen_.insert(FoldName(name)).second) names_.push_back(name);
  }
  std::vector<std::string> Take() { return std::move(names_); }

 private:
  std::unordered_set<std::string> seen_;
  std::vector<std::string> names_;
};

}  // namespace

ProfileText::ProfileText(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    bom_ = kUtf8Mark;
    bytes.remove_prefix(kUtf8Mark.size());
  }
  while (!bytes.empty()) {
    size_t newline = bytes.find('\n');
    std::string_view text = bytes.substr(0, newline);
    std::string ending = newline == std::string_view::npos ? "" : "\n";
    if (!text.empty() && text.back() == '\r') {
      text.remove_suffix(1);
      ending = "\r" + ending;
    }
    lines_.push_back(Parse(std::string(text), std::move(ending)));
    bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
  }
}

ProfileText::Line ProfileText::Parse(std::string text, std::string ending) {
  Line line;
  std::string_view content = Trim(text);
  if (!content.empty() && content.front() == '[') {
    line.kind = Kind::Section;
    content.remove_prefix(1);
    line.name = Trim(content.substr(0, content.find(']')));
  } else if (!content.empty() && content.front() != ';') {
    line.kind = Kind::Entry;
    size_t equals = content.find('=');
    line.name = Trim(content.substr(0, equals));
    if (equals != std::string_view::npos) line.value = Trim(content.substr(equals + 1));
  }
  line.text = std::move(text);
  line.ending = std::move(ending);
  return line;
}

ProfileText::Line ProfileText::Written(std::string text) { return Parse(std::move(text), "\r\n"); }

std::string ProfileText::Bytes() const {
  std::string bytes = bom_;
  for (const auto& line : lines_) bytes += line.text + line.ending;
  return bytes;
}

size_t ProfileText::FindSection(std::string_view section) const {
  std::string wanted = FoldName(Trim(section));
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::Section && FoldName(lines_[i].name) == wanted) return i;
  }
  return std::string::npos;
}

size_t ProfileText::SectionEnd(size_t header) const {
  size_t end = header + 1;
  while (end < lines_.size() && lines_[end].kind != Kind::Section) ++end;
  return end;
}

size_t ProfileText::FindKey(size_t header, std::string_view key) const {
  std::string wanted = FoldName(Trim(key));
  for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (lines_[i].kind == Kind::Entry && FoldName(lines_[i].name) == wanted) return i;
  }
  return std::string::npos;
}

std::vector<std::string> ProfileText::SectionNames() const {
  DistinctNames names;
  for (const auto& line : lines_) {
    if (line.kind == Kind::Section) names.Add(line.name);
  }
  return names.Take();
}

std::optional<std::vector<std::string>> ProfileText::KeyNames(std::string_view section) const {
  size_t header = FindSection(section);
  if (header == std::string::npos) return std::nullopt;
  DistinctNames names;
  for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (lines_[i].kind == Kind::Entry) names.Add(lines_[i].name);
  }
  return names.Take();
}

std::optional<std::string> ProfileText::Value(std::string_view section, std::string_view key) const {
  size_t header = FindSection(section);
  if (header == std::string::npos) return std::nullopt;
  size_t entry = FindKey(header, key);
  if (entry == std::string::npos) return std::nullopt;
  return Unquote(lines_[entry].value);
}

void ProfileText::EndLastLine() {
  if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = "\r\n";
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
  size_t header = FindSection(section);
  if (header == std::string::npos) {
    EndLastLine();
    std::string header(1, '[');
    header.append(section).push_back(']');
    lines_.push_back(Written(std::move(header)));
    lines_.push_back(Written(std::string(key) + "=" + std::string(value)));
    return;
  }
  size_t entry = FindKey(header, key);
  if (entry != std::string::npos) {
    // The key keeps the spelling it has in the file.
    lines_[entry] = Written(lines_[entry].name + "=" + std::string(value));
    return;
  }
  // After the section's last entry, so that blank lines and comments before
  // the next section stay where they are.
  size_t after = header;
  for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (lines_[i].kind == Kind::Entry) after = i;
  }
  if (lines_[after].ending.empty()) lines_[after].ending = "\r\n";
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1),
                Written(std::string(key) + "=" + std::string(value)));
}

bool ProfileText::DeleteKey(std::string_view section, std::string_view key) {
  size_t header = FindSection(section);
  if (header == std::string::npos) return false;
  size_t entry = FindKey(header, key);
  if (entry == std::string::npos) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(entry));
  return true;
}

bool ProfileText::DeleteSection(std::string_view section) {
  bool deleted = false;
  for (size_t header = FindSection(section); header != std::string::npos; header = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
    deleted = true;
  }
  return deleted;
}

}  // namespace twl::profile
