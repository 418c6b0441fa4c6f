#include "KeyCodes.h"

#include <windows.h>

namespace twl::qt {

namespace {

struct KeyPair {
  uint32_t keysym;
  unsigned vk;
};

// The X keysym values are the X protocol's; only keys the model knows.
constexpr KeyPair kKeys[] = {
    {0xff08, VK_BACK},     {0xff09, VK_TAB},       {0xff0d, VK_RETURN},   {0xff13, VK_PAUSE},
    {0xff14, VK_SCROLL},   {0xff1b, VK_ESCAPE},    {0xff50, VK_HOME},     {0xff51, VK_LEFT},
    {0xff52, VK_UP},       {0xff53, VK_RIGHT},     {0xff54, VK_DOWN},     {0xff55, VK_PRIOR},
    {0xff56, VK_NEXT},     {0xff57, VK_END},       {0xff61, VK_SNAPSHOT}, {0xff63, VK_INSERT},
    {0xff67, VK_APPS},     {0xff7f, VK_NUMLOCK},   {0xff8d, VK_RETURN},   {0xffaa, VK_MULTIPLY},
    {0xffab, VK_ADD},      {0xffad, VK_SUBTRACT},  {0xffae, VK_DECIMAL},  {0xffaf, VK_DIVIDE},
    {0xffe1, VK_SHIFT},    {0xffe2, VK_SHIFT},     {0xffe3, VK_CONTROL},  {0xffe4, VK_CONTROL},
    {0xffe5, VK_CAPITAL},  {0xffe9, VK_MENU},      {0xffea, VK_MENU},     {0xffe7, VK_MENU},
    {0xffe8, VK_MENU},     {0xffeb, VK_LWIN},      {0xffec, VK_RWIN},     {0xffff, VK_DELETE},
    {0x0020, VK_SPACE},    {0x003b, VK_OEM_1},     {0x003a, VK_OEM_1},    {0x003d, VK_OEM_PLUS},
    {0x002b, VK_OEM_PLUS}, {0x002c, VK_OEM_COMMA}, {0x003c, VK_OEM_COMMA}, {0x002d, VK_OEM_MINUS},
    {0x005f, VK_OEM_MINUS}, {0x002e, VK_OEM_PERIOD}, {0x003e, VK_OEM_PERIOD}, {0x002f, VK_OEM_2},
    {0x003f, VK_OEM_2},    {0x0060, VK_OEM_3},     {0x007e, VK_OEM_3},    {0x005b, VK_OEM_4},
    {0x007b, VK_OEM_4},    {0x005c, VK_OEM_5},     {0x007c, VK_OEM_5},    {0x005d, VK_OEM_6},
    {0x007d, VK_OEM_6},    {0x0027, VK_OEM_7},     {0x0022, VK_OEM_7},
};

// Shifted digits on a US layout: the key is still its digit.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

unsigned VirtualKeyOfKeysym(uint32_t keysym) {
  if (keysym >= 'a' && keysym <= 'z') return keysym - 'a' + 'A';
  if (keysym >= 'A' && keysym <= 'Z') return keysym;
  if (keysym >= '0' && keysym <= '9') return keysym;
  for (int digit = 0; digit < 10; ++digit)
    if (keysym == static_cast<unsigned char>(kShiftedDigits[digit])) return '0' + digit;
  if (keysym >= 0xffbe && keysym <= 0xffd5) return VK_F1 + (keysym - 0xffbe);  // F1..F24
  if (keysym >= 0xffb0 && keysym <= 0xffb9) return VK_NUMPAD0 + (keysym - 0xffb0);
  for (const KeyPair& pair : kKeys)
    if (pair.keysym == keysym) return pair.vk;
  return 0;
}

}  // namespace twl::qt
