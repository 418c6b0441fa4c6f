// The weights of a layout spacer as its text gives them: two decimal
// numbers (digits with at most one '.') separated by a ',', with spaces and
// tabs allowed around each: "1,0", "1 , 1", "0.5,2". Anything else is
// refused: "1,", ",1", "1.2.3,0", "1,0,0". Any thread.
#pragma once

#include <string_view>

// False, with the outputs unchanged, when the text is not two such numbers.
bool ParseLayoutWeights(std::string_view text, double& horizontal, double& vertical);
