// CLayoutBox: a layout item that stacks child items side by side
// (horizontal) or one below the other (vertical), hands out the free space
// along its direction by weight and centres its children across it. It
// keeps named template items, and builds children from a short layout text
// in which names stand for copies of templates and parenthesised weight
// pairs for spacers: "t,_,(1 , 1),_,t". After Arrange every child holds its
// rectangle; owners read the children back by index.
//
// The box owns its children (which may be null: they take no space) and
// its templates. One thread at a time.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

#include "display/layout/LayoutItem.h"

class CLayoutBox : public CLayoutItem {
  TWL_DECLARE_CLASS(CLayoutBox)
 public:
  static constexpr INT kHorizontal = 0;
  static constexpr INT kVertical = 1;

  // Vertical, weights 0.
  CLayoutBox() noexcept : CLayoutBox(kVertical, 0, 0) {}
  // Any direction but kHorizontal stacks vertically. Minimum size 0 x 0.
  CLayoutBox(INT direction, double horizontalWeight, double verticalWeight) noexcept
      : CLayoutItem(0, 0, horizontalWeight, verticalWeight), m_Direction(direction) {}
  CLayoutBox(const CLayoutBox&) = delete;
  CLayoutBox& operator=(const CLayoutBox&) = delete;

  INT GetDirection() const { return m_Direction; }
  bool IsVertical() const { return m_Direction != kHorizontal; }
  // The box then reports a minimum size of 0 x 0 to its parent and lays
  // its children out at their content size when given less room.
  void SetGrowToContent(bool grow) { m_GrowToContent = grow; }
  bool GetGrowToContent() const { return m_GrowToContent; }
  INT GetContentWidth() const { return m_ContentWidth; }
  INT GetContentHeight() const { return m_ContentHeight; }

  INT GetChildCount() const { return static_cast<INT>(m_Children.size()); }
  // Null for a null child and for an index outside the children.
  CLayoutItem* GetChild(INT index) const;
  // Inserts the child (null too) before `index`; a negative index, or one
  // past the end, appends. Returns the child.
  CLayoutItem* InsertChild(std::unique_ptr<CLayoutItem> item, INT index = -1);
  // Empties the children; without `deleteChildren` they are let go
  // undeleted, for owners that hold them elsewhere.
  void RemoveAll(bool deleteChildren);

  // Binds the item to the name (case-sensitive), deleting an item bound
  // before.
  void SetItem(const char* name, std::unique_ptr<CLayoutItem> item);
  void RemoveNamedItems();
  // Inserts a copy of the named template at `index` (-1 appends). Without
  // such a template a null child is inserted there and null returned.
  CLayoutItem* AddItem(const char* name, INT index);
  // Inserts a plain item of that minimum size with the two weights of the
  // text ("1,0", "1 , 1", "0.5,2"); null, and nothing inserted, when the
  // text is not two such numbers.
  CLayoutItem* AddSpacer(const char* weights, INT minWidth, INT minHeight, INT index);

  // Builds children from the layout text, entry by entry from `startIndex`
  // on; each parenthesised entry takes the next (minimum width, minimum
  // height) pair of `sizes`. False when any entry failed (a name without a
  // template, a bad weight pair, a spacer without its size pair, text
  // after a ')'); what could be built is kept, and a failed entry leaves a
  // null child at its place.
  template <typename... Sizes>
  bool Parse(INT startIndex, const char* text, Sizes... sizes) {
    static_assert((std::is_integral_v<Sizes> && ...), "sizes are whole pixels");
    const INT list[] = {static_cast<INT>(sizes)..., 0};
    return ParseWithSizes(startIndex, text, list, sizeof...(sizes));
  }
  bool ParseWithSizes(INT startIndex, const char* text, const INT* sizes, size_t sizeCount);

  void ComputeSize() override;
  void Arrange(const RECT& rect) override;
  // Direction, weights, minimum and content size, copies of the children
  // and templates; not the grow-to-content setting.
  std::unique_ptr<CLayoutItem> Clone() const override;

 private:
  struct NamedItem {
    std::string name;
    std::unique_ptr<CLayoutItem> item;
  };

  // Extends a child's minimum size by its share of the free space.
  void SizeChildren(INT width, INT height, std::vector<INT>& widths, std::vector<INT>& heights) const;
  void ShareRemainder(INT remainder, std::vector<INT>& lengths) const;

  INT m_Direction;
  bool m_GrowToContent = false;
  INT m_ContentWidth = 0;
  INT m_ContentHeight = 0;
  std::vector<std::unique_ptr<CLayoutItem>> m_Children;
  std::vector<NamedItem> m_NamedItems;
};
