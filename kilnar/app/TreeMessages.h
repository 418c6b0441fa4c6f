// The texts of the CD file tree and the project from MSG\TREE.MSG beside
// the program. There is no built-in text: a missing file or key gives an
// empty text. The tree writes its complaints to the standard output, one
// line each.
#pragma once

#include <initializer_list>
#include <string>

// The text of the section and key with its figures filled in.
std::string TreeMessage(const char* section, const char* key, std::initializer_list<std::string> figures = {});
// The same text as one line on the standard output.
void PrintTreeMessage(const char* section, const char* key, std::initializer_list<std::string> figures = {});
