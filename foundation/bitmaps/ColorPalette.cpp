#include "foundation/bitmaps/ColorPalette.h"

#include "foundation/containers/AssignDWordArray.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CColorPalette, CDynamicObject)

CColorPalette::~CColorPalette() { FreeDWordArray(m_Entries, m_Count); }

void CColorPalette::SetEntries(DWORD n, const DWORD* source) { AssignDWordArray(m_Entries, m_Count, n, source); }
