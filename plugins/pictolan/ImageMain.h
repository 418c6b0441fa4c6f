// ImageMain: Pictolan's main object. It declares the versions, makes the
// plug-in's objects and adds the image files' icon (group icon 101) to the
// host's image list, whose index its objects report.
#pragma once

#include "plugins/pluginsdk/OstrellMain.h"

class CError;

namespace pictolan {

class ImageMain : public pluginsdk::OstrellMain {
 public:
  ImageMain();

  bool CreateObjects() override;
  // The icon is added once the objects exist, before the host initialises
  // any of them; whatever index the host gives is kept.
  bool Init(const HostApiTable* host, HMODULE module) override;

  int32_t GetIconIndex() const { return m_IconIndex; }
  // Makes a caught error object the calling thread's error.
  void ReportErrorObject(const CError* error) const;

 private:
  int32_t m_IconIndex = -1;
};

// The plug-in's one main object.
ImageMain& TheImageMain();

}  // namespace pictolan
