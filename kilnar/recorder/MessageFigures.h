// Filling the printf-style formats of the message files. A format comes
// from a file the user may edit, so it is never handed to printf: only the
// conversions %s, %u, %d, %i, %c, %lu and %ld take the next figure, already
// turned into text, "%%" is one "%", and everything else is copied as it
// stands.
#pragma once

#include <string>
#include <vector>

std::string FillFigures(const std::string& format, const std::vector<std::string>& figures);
