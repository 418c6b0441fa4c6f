// ImageFileFilter: the "Image files" entry of the host's open dialogs,
// which accepts names by the extensions of the pictures Pictolan reads.
#pragma once

#include "plugins/pluginsdk/FileFilterObject.h"

namespace pictolan {

class ImageFileFilter : public pluginsdk::FileFilterObject {
 public:
  explicit ImageFileFilter(bool& constructed);

  bool Init(PLUGIN_HANDLE caller) override;
  bool CreatePatterns() override;
};

}  // namespace pictolan
