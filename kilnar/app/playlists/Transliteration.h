// Names written to the CD and into its playlists spell the German umlauts
// and sharp s with two letters (Ü as "Ue", ß as "ss", ...): the CD's ISO
// names have no room for them. UTF-8 text has the UTF-8 forms replaced;
// text that is not UTF-8 is taken as Windows-1252 and has those bytes
// replaced.
#pragma once

#include <cstddef>
#include <string>

void TransliterateUmlauts(std::string& text);
std::string Transliterated(std::string text);

// Characters of the name as the CD's Joliet names count them (UTF-16
// units; a byte of text that is not UTF-8 counts as one).
size_t CdNameLength(const std::string& name);
