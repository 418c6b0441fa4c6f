#include "skins/frames/VarSizeWindowSkin.h"

TWL_IMPLEMENT_CLASS(CVarSizeWindowSkin, CSkinBase)
