// One section of a profile-style text file (a PLS playlist) read in one
// pass, with the rules of profile files: section and key names without
// regard to case, the first of two equal keys counts, values lose the
// blanks around them and one pair of quotes, and are cut to 511 bytes.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>

class ProfileSection {
 public:
  static constexpr size_t kValueMost = 511;

  // The value, empty when the key is missing.
  std::string Get(const std::string& key) const;
  // The decimal number at the value's start (blanks and a sign first); 0
  // when there is none. Never more than the section has keys.
  long GetInt(const std::string& key) const;

  void Add(const std::string& key, const std::string& value);

 private:
  std::unordered_map<std::string, std::string> m_Values;  // by lower-case key
};

// The section of the file; none when the file cannot be read.
std::optional<ProfileSection> ReadProfileSection(const std::string& path, const std::string& section);
