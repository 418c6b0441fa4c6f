// The product's name, as the program shows and stores it: window captions,
// the tray icon's tip, the %PLAYER% of its texts, the name the host gives
// plug-ins, and the last part of its settings key.
#pragma once

#include <array>
#include <cstddef>

inline constexpr char kProductName[] = "Velbrook Tunewell";

// The maker's key, below HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE.
inline constexpr char kMakerKeyPath[] = "Software\\Velbrook";

// "parent\child" as a terminated text, made at compile time.
template <std::size_t ParentSize, std::size_t ChildSize>
constexpr std::array<char, ParentSize + ChildSize> JoinKeyPath(const char (&parent)[ParentSize],
                                                               const char (&child)[ChildSize]) {
  std::array<char, ParentSize + ChildSize> path{};
  std::size_t at = 0;
  for (std::size_t i = 0; i + 1 < ParentSize; ++i) path[at++] = parent[i];
  path[at++] = '\\';
  for (std::size_t i = 0; i < ChildSize; ++i) path[at++] = child[i];
  return path;
}

// The product's settings key inside the maker's.
inline constexpr std::array kProductSettingsPathText = JoinKeyPath(kMakerKeyPath, kProductName);
inline constexpr const char* kProductSettingsPath = kProductSettingsPathText.data();
