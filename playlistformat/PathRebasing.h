// Moving entry URLs of a playlist along with the playlist file: a file
// saved at one place and loaded from another takes the entries that lay
// near its old place to the same place near its new one, when they exist
// there (or did not exist at the old place either).
//
// Texts are compared with a leading "file://" (any case) ignored, "/" and
// "\" counting as the same character and letters without case.
//
// Threading: pure functions except for the existence checks of
// RebaseEntryURL, which ask the file layer.
#pragma once

#include <cstddef>
#include <string>

namespace rebasing {

// Equal character for character and of the same length.
bool IsSamePath(const std::string& a, const std::string& b);

// The length of the tail that the two folders share, cut at a separator of
// `stored` (see the definition for the edge cases).
size_t GetCommonPathTailLength(const std::string& stored, const std::string& current);

struct PrefixMatch {
  bool matched;
  size_t urlPosition;     // a: where the rest of the URL starts
  size_t storedPosition;  // b: how much of the stored folder the URL shares
};
PrefixMatch MatchPathPrefix(const std::string& url, const std::string& stored);

// Whether a URL names something that exists: a URL with a scheme (other
// than "file://") always does; a local one when the file (or, with
// `isFolder`, the directory) is there.
using ExistenceCheck = bool (*)(const std::string& url, bool isFolder);
bool ExistsOnDisk(const std::string& url, bool isFolder);

// The URL to use for an entry of a playlist saved in `storedFolder` and
// loaded from `currentFolder`, whose common tail is `tailLength` long.
std::string RebaseEntryURL(const std::string& url, bool isFolder, const std::string& storedFolder,
                           const std::string& currentFolder, size_t tailLength,
                           ExistenceCheck exists = &ExistsOnDisk);

// A text in which ":/" occurs after its second character has a scheme.
bool HasScheme(const std::string& text);
// The text up to and including its last "/" or "\"; empty without one.
std::string FolderOf(const std::string& url);

}  // namespace rebasing
