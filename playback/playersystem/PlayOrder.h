// CPlayOrder: the sequence in which the files of the current playlist
// play, as file numbers (a file's place among all file entries of the
// tree). It always holds each file number 0..count-1 exactly once; without
// shuffle it is the identity.
//
// Insertions follow one rule, file by file: the new file's number b first
// raises every stored number >= b by one, then b goes in at index b (in
// order) or, shuffled, at the remainder of the next random value divided by
// (count + 1). A run of files is inserted with that exact result, but in
// O(n log n) instead of O(n) per file, so that adding a folder of tens of
// thousands of files stays quick.
//
// Threading: none; the player system keeps it on the user-interface thread.
#pragma once

#include <windows.h>

#include <vector>

#include "foundation/kernel/Random15.h"

class CPlayOrder {
 public:
  INT GetCount() const { return static_cast<INT>(m_Files.size()); }
  // The file number at an index; -1 outside the order.
  INT GetFile(INT index) const;
  // The index of a file number; -1 when it is not in the order.
  INT IndexOf(INT file) const;
  const std::vector<DWORD>& GetFiles() const { return m_Files; }

  void Clear() { m_Files.clear(); }
  // The identity over `count` files.
  void Reset(INT count);
  // Empties the order and inserts the files 0..count-1 one by one, each at
  // the remainder of the next random value divided by (its number + 1);
  // then, when `first` is a file, swaps it with the file at index 0.
  void Shuffle(INT count, INT first, CRandom15& random);
  // Inserts the files first..first+count-1 (one after the other, as the
  // class comment says). `position` is an index into the order that
  // follows the file it points at (-1 stays -1).
  void InsertFiles(INT first, INT count, bool shuffle, CRandom15& random, INT& position);
  // Removes the file; numbers above it drop by one. Returns the index it
  // had, -1 when it was not in the order.
  INT RemoveFile(INT file);
  // Removes every file whose flag is set (`gone` is indexed by file
  // number); the others close the gaps, keeping their order.
  void RemoveFiles(const std::vector<bool>& gone);
  // Replaces every file number f by map(f).
  template <class Map>
  void Remap(Map map) {
    for (DWORD& file : m_Files) file = static_cast<DWORD>(map(static_cast<INT>(file)));
  }

 private:
  std::vector<DWORD> m_Files;
};
