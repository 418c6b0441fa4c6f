#include "kilnar/app/playlists/CCDAudioDoc.h"

#include <string>

#include "platform/mfc/Archive.h"

IMPLEMENT_SERIAL(CCDAudioDoc, CDocument, CCDAudioDoc::kSchema)

void CCDAudioDoc::Serialize(CArchive& archive) {
  if (!archive.IsLoading()) return;
  archive.ReadObject(RUNTIME_CLASS(CCDAudioDoc));
  int16_t count = 0;
  archive >> count;
  std::string title;
  std::string path;
  for (int16_t i = 0; i < count; ++i) archive >> title >> path;
}
