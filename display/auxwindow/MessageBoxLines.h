// Breaking a message box's text into lines no wider than a width: a line
// ends at a line break, or, when too wide, at the last space, tab or line
// break of the part that fits, else at the part that fits (at least one
// character). After a line one space, or a carriage return and/or a line
// feed, is skipped; a tab is not. Pure; any thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

using MessageTextMeasure = std::function<int(std::string_view)>;

std::vector<std::string> BreakMessageLines(std::string_view text, int width, const MessageTextMeasure& measure);
