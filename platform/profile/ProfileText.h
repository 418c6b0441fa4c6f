// The text of a profile (.ini) file as lines, and the edits the profile
// calls make to it. Sections and keys compare without regard to case; the
// first section of a name and its first key of a name are the ones that
// count. Lines the edits do not touch keep their bytes and line ends, so
// comments and the layout of hand-written files survive; the lines the
// edits write end in CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace twl::profile {

class ProfileText {
 public:
  explicit ProfileText(std::string_view bytes);

  std::string Bytes() const;

  // Section names in file order, each once.
  std::vector<std::string> SectionNames() const;
  // The keys of a section in file order, each once; none without the section.
  std::optional<std::vector<std::string>> KeyNames(std::string_view section) const;
  // A key's value without the blanks around it and without one pair of
  // quotes around it.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  void Set(std::string_view section, std::string_view key, std::string_view value);
  // False when there was nothing to delete.
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    Kind kind = Kind::Other;
    std::string text;    // without the line end
    std::string ending;  // "\r\n", "\n" or "" (the last line may have none)
    std::string name;    // section or key, trimmed
    std::string value;   // trimmed, quotes kept
  };

  static Line Parse(std::string text, std::string ending);
  static Line Written(std::string text);
  // Index of the first section of that name, or npos.
  size_t FindSection(std::string_view section) const;
  // One past the last line of the section that starts at `header`.
  size_t SectionEnd(size_t header) const;
  size_t FindKey(size_t header, std::string_view key) const;
  void EndLastLine();

  std::string bom_;
  std::vector<Line> lines_;
};

}  // namespace twl::profile
