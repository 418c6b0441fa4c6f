// Path texts of the burner's playlists: "/" and "\" both separate folders,
// so that playlists written on Windows read alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The text up to and including its last separator; empty without one.
std::string FolderWithSeparator(const std::string& path);
// The text after its last separator.
std::string FileNameOf(const std::string& path);
// The file name without its extension (the text from its last ".").
std::string AlbumNameOf(const std::string& path);
// The folder and the name with one separator between them.
std::string JoinFolder(const std::string& folder, const std::string& name);
// The text after the last "." of the line; empty without one.
std::string ExtensionOf(const std::string& text);
// The local path an entry of a native playlist names: a "file://" URL (any
// case) gives its path, another URL ("scheme://") nothing, a plain text
// itself.
std::string LocalPathOfUrl(const std::string& url);
// The file's whole size; 0 when there is no such file.
uint64_t FileSizeOf(const std::string& path);

// The name a file has on the CD: its transliterated name.
std::string CdFileName(const std::string& name);
// The CD names of the files of one folder, in order: each file's own CD
// name, with "(2)", "(3)", ... before its extension when an earlier file or
// the reserved name already has it without regard to case.
std::vector<std::string> UniqueCdNames(const std::vector<std::string>& paths, const std::string& reserved);
