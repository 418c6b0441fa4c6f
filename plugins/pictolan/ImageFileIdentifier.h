// ImageFileIdentifier: tells the host that a file named like a picture
// Pictolan reads is one, with the plug-in's icon.
#pragma once

#include "plugins/pluginsdk/FileIdentifierObject.h"

namespace pictolan {

class ImageFileIdentifier : public pluginsdk::FileIdentifierObject {
 public:
  explicit ImageFileIdentifier(bool& constructed);

  bool Init(PLUGIN_HANDLE caller) override;
  // Reports a picture's icon (no type text) by its last extension; true
  // in every case.
  bool Identify(const char* path) override;
};

}  // namespace pictolan
