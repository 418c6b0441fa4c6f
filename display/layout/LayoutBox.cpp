#include "display/layout/LayoutBox.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numeric>

#include "display/layout/LayoutWeights.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CLayoutBox, CLayoutItem)

namespace {

INT ClampToInt(long long value) { return static_cast<INT>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

// A share of free space in whole pixels, truncated towards zero; weights
// from a text can be huge, so the value is kept in range first.
INT TruncateShare(double share) {
  if (std::isnan(share)) return 0;
  return static_cast<INT>(std::clamp<double>(share, INT_MIN, INT_MAX));
}

}  // namespace

CLayoutItem* CLayoutBox::GetChild(INT index) const {
  if (index < 0 || index >= GetChildCount()) return nullptr;
  return m_Children[static_cast<size_t>(index)].get();
}

CLayoutItem* CLayoutBox::InsertChild(std::unique_ptr<CLayoutItem> item, INT index) {
  CLayoutItem* inserted = item.get();
  if (index < 0 || index >= GetChildCount())
    m_Children.push_back(std::move(item));
  else
    m_Children.insert(m_Children.begin() + index, std::move(item));
  return inserted;
}

void CLayoutBox::RemoveAll(bool deleteChildren) {
  if (!deleteChildren) {
    for (auto& child : m_Children) static_cast<void>(child.release());
  }
  m_Children.clear();
}

void CLayoutBox::SetItem(const char* name, std::unique_ptr<CLayoutItem> item) {
  const std::string key = name ? name : "";
  for (NamedItem& named : m_NamedItems) {
    if (named.name == key) {
      named.item = std::move(item);
      return;
    }
  }
  m_NamedItems.push_back({key, std::move(item)});
}

void CLayoutBox::RemoveNamedItems() { m_NamedItems.clear(); }

CLayoutItem* CLayoutBox::AddItem(const char* name, INT index) {
  const std::string key = name ? name : "";
  for (const NamedItem& named : m_NamedItems) {
    if (named.name == key) return InsertChild(named.item ? named.item->Clone() : nullptr, index);
  }
  InsertChild(nullptr, index);
  return nullptr;
}

CLayoutItem* CLayoutBox::AddSpacer(const char* weights, INT minWidth, INT minHeight, INT index) {
  double horizontal = 0;
  double vertical = 0;
  if (!weights || !ParseLayoutWeights(weights, horizontal, vertical)) return nullptr;
  return InsertChild(std::make_unique<CLayoutItem>(minWidth, minHeight, horizontal, vertical), index);
}

void CLayoutBox::ComputeSize() {
  long long along = 0;
  INT across = 0;
  for (const auto& child : m_Children) {
    if (!child) continue;
    child->ComputeSize();
    along += IsVertical() ? child->GetMinHeight() : child->GetMinWidth();
    across = std::max(across, IsVertical() ? child->GetMinWidth() : child->GetMinHeight());
  }
  m_ContentWidth = IsVertical() ? across : ClampToInt(along);
  m_ContentHeight = IsVertical() ? ClampToInt(along) : across;
  if (m_GrowToContent)
    SetMinSize(0, 0);
  else
    SetMinSize(m_ContentWidth, m_ContentHeight);
}

void CLayoutBox::SizeChildren(INT width, INT height, std::vector<INT>& widths, std::vector<INT>& heights) const {
  double horizontalSum = 0;
  double verticalSum = 0;
  for (const auto& child : m_Children) {
    if (!child) continue;
    horizontalSum += child->GetHorizontalWeight();
    verticalSum += child->GetVerticalWeight();
  }
  const double extraWidth = static_cast<double>(width) - m_ContentWidth;
  const double extraHeight = static_cast<double>(height) - m_ContentHeight;
  const double perHorizontal = horizontalSum != 0 ? extraWidth / horizontalSum : 0;
  const double perVertical = verticalSum != 0 ? extraHeight / verticalSum : 0;

  for (const auto& child : m_Children) {
    if (!child) {
      widths.push_back(0);
      heights.push_back(0);
      continue;
    }
    INT w = child->GetMinWidth();
    INT h = child->GetMinHeight();
    if (IsVertical()) {
      if (w < width && child->GetHorizontalWeight() > 0) w = width;
      h = ClampToInt(static_cast<long long>(h) + TruncateShare(child->GetVerticalWeight() * perVertical));
    } else {
      if (h < height && child->GetVerticalWeight() > 0) h = height;
      w = ClampToInt(static_cast<long long>(w) + TruncateShare(child->GetHorizontalWeight() * perHorizontal));
    }
    widths.push_back(w);
    heights.push_back(h);
  }
}

// The pixels that truncation left over go one at a time to the weighted
// children, the largest weight first (the earliest of equal weights), round
// after round. Whole rounds are handed out at once.
void CLayoutBox::ShareRemainder(INT remainder, std::vector<INT>& lengths) const {
  std::vector<size_t> candidates;
  for (size_t i = 0; i < m_Children.size(); ++i) {
    const CLayoutItem* child = m_Children[i].get();
    if (child && (IsVertical() ? child->GetVerticalWeight() : child->GetHorizontalWeight()) > 0)
      candidates.push_back(i);
  }
  if (remainder <= 0 || candidates.empty()) return;
  const auto weightOf = [this](size_t i) {
    return IsVertical() ? m_Children[i]->GetVerticalWeight() : m_Children[i]->GetHorizontalWeight();
  };
  const INT rounds = remainder / static_cast<INT>(candidates.size());
  for (size_t i : candidates) lengths[i] = ClampToInt(static_cast<long long>(lengths[i]) + rounds);
  remainder %= static_cast<INT>(candidates.size());
  std::stable_sort(candidates.begin(), candidates.end(),
                   [&weightOf](size_t a, size_t b) { return weightOf(a) > weightOf(b); });
  for (INT i = 0; i < remainder; ++i) ++lengths[candidates[static_cast<size_t>(i)]];
}

void CLayoutBox::Arrange(const RECT& rect) {
  CLayoutItem::Arrange(rect);
  ComputeSize();
  INT width = ClampToInt(static_cast<long long>(rect.right) - rect.left);
  INT height = ClampToInt(static_cast<long long>(rect.bottom) - rect.top);
  if (m_GrowToContent) {
    width = std::max(width, m_ContentWidth);
    height = std::max(height, m_ContentHeight);
  }

  std::vector<INT> widths;
  std::vector<INT> heights;
  SizeChildren(width, height, widths, heights);
  std::vector<INT>& lengths = IsVertical() ? heights : widths;
  const long long used = std::accumulate(lengths.begin(), lengths.end(), 0LL);
  ShareRemainder(ClampToInt((IsVertical() ? height : width) - used), lengths);

  long long x = rect.left;
  long long y = rect.top;
  for (size_t i = 0; i < m_Children.size(); ++i) {
    CLayoutItem* child = m_Children[i].get();
    if (!child) continue;
    const long long w = widths[i];
    const long long h = heights[i];
    long long left = x;
    long long top = y;
    if (IsVertical()) {
      left = rect.left + ((width - w) >> 1);
      y += h;
    } else {
      top = rect.top + ((height - h) >> 1);
      x += w;
    }
    child->Arrange({ClampToInt(left), ClampToInt(top), ClampToInt(left + w), ClampToInt(top + h)});
  }
}

std::unique_ptr<CLayoutItem> CLayoutBox::Clone() const {
  auto copy = std::make_unique<CLayoutBox>(m_Direction, GetHorizontalWeight(), GetVerticalWeight());
  copy->SetMinSize(GetMinWidth(), GetMinHeight());
  copy->m_ContentWidth = m_ContentWidth;
  copy->m_ContentHeight = m_ContentHeight;
  for (const auto& child : m_Children) copy->m_Children.push_back(child ? child->Clone() : nullptr);
  for (const NamedItem& named : m_NamedItems)
    copy->m_NamedItems.push_back({named.name, named.item ? named.item->Clone() : nullptr});
  return copy;
}
