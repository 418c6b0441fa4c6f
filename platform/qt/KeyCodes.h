// Which virtual key an X key is: the desktop's keysyms (QKeyEvent's native
// virtual key) as the virtual-key codes the window model takes. Letters
// and digits are their upper-case characters, as on Windows.
#pragma once

#include <cstdint>

namespace twl::qt {

// 0 for a key the model has no code for.
unsigned VirtualKeyOfKeysym(uint32_t keysym);

}  // namespace twl::qt
