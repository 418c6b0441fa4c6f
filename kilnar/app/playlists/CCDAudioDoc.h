// The document class whose stored form MCD playlists are: read from an
// archive, it reads a nested document of its own class (the null object or
// one already read ends the chain), a 16-bit count and that many pairs of
// strings, and keeps none of it. Storing writes nothing.
#pragma once

#include "platform/mfc/Document.h"

class CCDAudioDoc : public CDocument {
  DECLARE_SERIAL(CCDAudioDoc)

 public:
  static constexpr uint16_t kSchema = 1;
  void Serialize(CArchive& archive) override;
};
