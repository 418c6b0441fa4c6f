#include "display/layout/LayoutItem.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CLayoutItem, CTypedObject)

std::unique_ptr<CLayoutItem> CLayoutItem::Clone() const {
  auto copy = std::make_unique<CLayoutItem>(m_MinWidth, m_MinHeight, m_HorizontalWeight, m_VerticalWeight);
  copy->m_Rect = m_Rect;
  return copy;
}
