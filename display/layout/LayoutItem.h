// CLayoutItem: one rectangle of a box layout, with a minimum size and two
// stretch weights. A weight shares out free space along a box's direction
// and, across it, says whether the item fills the box (> 0). Arrange gives
// the item its rectangle, from which the owner places its control. One
// thread at a time.
#pragma once

#include <windows.h>

#include <memory>

#include "foundation/kernel/TypedObject.h"

class CLayoutItem : public CTypedObject {
  TWL_DECLARE_CLASS(CLayoutItem)
 public:
  CLayoutItem() noexcept = default;
  CLayoutItem(INT minWidth, INT minHeight, double horizontalWeight, double verticalWeight) noexcept
      : m_MinWidth(minWidth),
        m_MinHeight(minHeight),
        m_HorizontalWeight(horizontalWeight),
        m_VerticalWeight(verticalWeight) {}

  // A plain item's minimum size is fixed; boxes compute theirs.
  virtual void ComputeSize() {}
  virtual void Arrange(const RECT& rect) { m_Rect = rect; }
  // The same minimum size, weights and rectangle; boxes copy their children.
  virtual std::unique_ptr<CLayoutItem> Clone() const;

  INT GetMinWidth() const { return m_MinWidth; }
  INT GetMinHeight() const { return m_MinHeight; }
  double GetHorizontalWeight() const { return m_HorizontalWeight; }
  double GetVerticalWeight() const { return m_VerticalWeight; }
  const RECT& GetRect() const { return m_Rect; }

 protected:
  void SetMinSize(INT width, INT height) {
    m_MinWidth = width;
    m_MinHeight = height;
  }

 private:
  INT m_MinWidth = 0;
  INT m_MinHeight = 0;
  double m_HorizontalWeight = 0;
  double m_VerticalWeight = 0;
  RECT m_Rect{};
};
