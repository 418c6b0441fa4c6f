#include "PlayListTrees.h"

#include <gtest/gtest.h>

#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"

void TreeBuilder::Fill(CPlayListEntryHolder& list, const std::string& text) {
  const size_t end = Parse(list, text, 0);
  EXPECT_EQ(end, text.size()) << "unbalanced tree text: " << text;
}

CPlayListEntry* TreeBuilder::NewFile(const std::string& name) {
  return new CPlayListFileEntry(m_Files.Get(("file:///" + name).c_str()), 100);
}

CPlayListEntry* TreeBuilder::NewFolder(const std::string& name) {
  return new CPlayListFolderEntry(m_Folders.Get(("file:///" + name).c_str()));
}

size_t TreeBuilder::Parse(CPlayListEntryHolder& list, const std::string& text, size_t at) {
  while (at < text.size()) {
    const char c = text[at];
    if (c == ' ') {
      ++at;
      continue;
    }
    if (c == '}') return at;
    const size_t end = text.find_first_of(" {}", at);
    const std::string name = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? text.size() : end;
    if (at < text.size() && text[at] == '{') {
      auto* folder = static_cast<CPlayListFolderEntry*>(NewFolder(name));
      list.Insert(folder, -1);
      at = Parse(folder->GetContents(), text, at + 1);
      if (at < text.size()) ++at;  // the closing brace
    } else {
      list.Insert(NewFile(name), -1);
    }
  }
  return at;
}

CPlayListFolderEntry* FolderAt(CPlayListEntryHolder& list, INT index) {
  return static_cast<CPlayListFolderEntry*>(list.GetEntry(index));
}

std::string NameOf(const CPlayListEntry* entry) {
  if (!entry) return "null";
  const std::string url = entry->GetURL();
  return url.substr(url.rfind('/') + 1);
}

std::string Describe(const CPlayListEntryHolder& list) {
  std::string text;
  for (INT i = 0; i < list.GetCount(); ++i) {
    const CPlayListEntry* entry = list.GetEntry(i);
    if (!text.empty()) text += ' ';
    text += NameOf(entry);
    if (entry->IsFolder())
      text += '{' + Describe(static_cast<const CPlayListFolderEntry*>(entry)->GetContents()) + '}';
  }
  return text;
}

std::string Numbers(const CPlayListEntryHolder& list) {
  std::string text;
  for (INT i = 0; i < list.GetCount(); ++i) {
    const CPlayListEntry* entry = list.GetEntry(i);
    if (!text.empty()) text += ' ';
    text += NameOf(entry) + '(' + std::to_string(entry->GetFileNumber()) + ',' +
            std::to_string(entry->GetEntryNumber()) + ')';
    if (entry->IsFolder()) {
      const std::string inner = Numbers(static_cast<const CPlayListFolderEntry*>(entry)->GetContents());
      if (!inner.empty()) text += ' ' + inner;
    }
  }
  return text;
}

namespace {

struct Totals {
  INT files = 0;
  INT entries = 0;
};

// Checks one list whose first entry must carry the given numbers; adds what
// it holds to the totals.
std::string CheckList(const CPlayListEntryHolder& list, INT fileBase, INT entryBase, Totals& totals) {
  INT file = fileBase;
  INT entry = entryBase;
  Totals inside;
  for (INT i = 0; i < list.GetCount(); ++i) {
    const CPlayListEntry* e = list.GetEntry(i);
    const std::string where = NameOf(e) + ": ";
    if (e->GetHolder() != &list) return where + "holder is not its list";
    if (e->GetIndex() != i) return where + "index " + std::to_string(e->GetIndex()) + " at " + std::to_string(i);
    if (e->GetFileNumber() != file) return where + "file number " + std::to_string(e->GetFileNumber());
    if (e->GetEntryNumber() != entry) return where + "entry number " + std::to_string(e->GetEntryNumber());
    ++entry;
    ++inside.entries;
    if (e->IsFolder()) {
      const CPlayListEntryHolder& contents = static_cast<const CPlayListFolderEntry*>(e)->GetContents();
      Totals nested;
      const std::string fault = CheckList(contents, file, e->GetEntryNumber() + 1, nested);
      if (!fault.empty()) return fault;
      file += nested.files;
      entry += nested.entries;
      inside.files += nested.files;
      inside.entries += nested.entries;
    } else {
      ++file;
      ++inside.files;
    }
  }
  const auto& counts = list.GetCounts();
  if (counts[0] != list.GetCount() || counts[1] != inside.files || counts[2] != inside.entries)
    return "counts " + std::to_string(counts[0]) + "," + std::to_string(counts[1]) + "," + std::to_string(counts[2]);
  totals.files += inside.files;
  totals.entries += inside.entries;
  return "";
}

}  // namespace

std::string CheckInvariants(const CPlayListEntryHolder& top) {
  Totals totals;
  return CheckList(top, 0, 0, totals);
}
