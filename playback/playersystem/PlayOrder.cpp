#include "playback/playersystem/PlayOrder.h"

#include <algorithm>

namespace {

// Counts free slots of the final order, so that the slot of the k-th free
// place is found in O(log n).
class FreeSlots {
 public:
  explicit FreeSlots(size_t count) : m_Tree(count + 1, 0) {
    for (size_t i = 1; i <= count; ++i) {
      m_Tree[i] += 1;
      const size_t parent = i + (i & (~i + 1));
      if (parent <= count) m_Tree[parent] += m_Tree[i];
    }
    m_HighBit = 1;
    while (m_HighBit * 2 <= count) m_HighBit *= 2;
  }

  // The slot (0-based) of the free place with `rank` free places before
  // it; the caller keeps rank below the free count.
  size_t Find(size_t rank) const {
    size_t at = 0;
    for (size_t step = m_HighBit; step != 0; step /= 2) {
      const size_t next = at + step;
      if (next < m_Tree.size() && m_Tree[next] <= rank) {
        at = next;
        rank -= m_Tree[next];
      }
    }
    return at;  // the tree is 1-based: slot `at` (0-based) is tree index at + 1
  }

  void Take(size_t slot) {
    for (size_t i = slot + 1; i < m_Tree.size(); i += i & (~i + 1)) m_Tree[i] -= 1;
  }

 private:
  std::vector<size_t> m_Tree;
  size_t m_HighBit;
};

}  // namespace

INT CPlayOrder::GetFile(INT index) const {
  if (index < 0 || index >= GetCount()) return -1;
  return static_cast<INT>(m_Files[static_cast<size_t>(index)]);
}

INT CPlayOrder::IndexOf(INT file) const {
  if (file < 0) return -1;
  const auto found = std::find(m_Files.begin(), m_Files.end(), static_cast<DWORD>(file));
  return found == m_Files.end() ? -1 : static_cast<INT>(found - m_Files.begin());
}

void CPlayOrder::Reset(INT count) {
  m_Files.resize(static_cast<size_t>(std::max(count, 0)));
  for (size_t i = 0; i < m_Files.size(); ++i) m_Files[i] = static_cast<DWORD>(i);
}

void CPlayOrder::Shuffle(INT count, INT first, CRandom15& random) {
  m_Files.clear();
  INT noPosition = -1;
  InsertFiles(0, count, true, random, noPosition);
  const INT at = IndexOf(first);
  if (at > 0) std::swap(m_Files[0], m_Files[static_cast<size_t>(at)]);
}

// Inserting file j at index p(j) into an order that then holds n + j
// files: the last file inserted keeps its index, so walking the insertions
// backwards each new file takes the p(j)-th slot not taken by a later one;
// the old files fill the slots left, in their old order.
void CPlayOrder::InsertFiles(INT first, INT count, bool shuffle, CRandom15& random, INT& position) {
  if (count <= 0) return;
  const size_t before = m_Files.size();
  first = std::clamp<INT>(first, 0, static_cast<INT>(before));
  for (DWORD& file : m_Files)
    if (file >= static_cast<DWORD>(first)) file += static_cast<DWORD>(count);

  const size_t added = static_cast<size_t>(count);
  if (!shuffle) {
    // Index b for file b: one run at index `first`.
    m_Files.insert(m_Files.begin() + first, added, 0);
    for (size_t j = 0; j < added; ++j) m_Files[static_cast<size_t>(first) + j] = static_cast<DWORD>(first) + j;
    if (position >= first) position += count;
    return;
  }

  std::vector<size_t> indices(added);
  for (size_t j = 0; j < added; ++j) indices[j] = static_cast<size_t>(random.Next()) % (before + j + 1);

  const size_t total = before + added;
  std::vector<DWORD> result(total);
  std::vector<bool> taken(total, false);
  FreeSlots free(total);
  for (size_t j = added; j-- > 0;) {
    const size_t slot = free.Find(indices[j]);
    result[slot] = static_cast<DWORD>(first) + static_cast<DWORD>(j);
    taken[slot] = true;
    free.Take(slot);
  }
  size_t old = 0;
  INT moved = position;
  for (size_t slot = 0; slot < total; ++slot) {
    if (taken[slot]) continue;
    if (static_cast<INT>(old) == position) moved = static_cast<INT>(slot);
    result[slot] = m_Files[old++];
  }
  position = moved;
  m_Files.swap(result);
}

INT CPlayOrder::RemoveFile(INT file) {
  const INT at = IndexOf(file);
  if (at < 0) return -1;
  m_Files.erase(m_Files.begin() + at);
  for (DWORD& value : m_Files)
    if (value > static_cast<DWORD>(file)) value -= 1;
  return at;
}

void CPlayOrder::RemoveFiles(const std::vector<bool>& gone) {
  std::vector<DWORD> below(gone.size() + 1, 0);
  for (size_t file = 0; file < gone.size(); ++file) below[file + 1] = below[file] + (gone[file] ? 1 : 0);
  size_t kept = 0;
  for (DWORD file : m_Files) {
    if (file < gone.size() && gone[file]) continue;
    m_Files[kept++] = file < gone.size() ? file - below[file] : file - below.back();
  }
  m_Files.resize(kept);
}
