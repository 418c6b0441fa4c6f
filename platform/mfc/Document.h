// The base of the class library's document classes. Here it is only what
// a document needs to be read from an archive: a serializable object that
// answers a new-document request.
#pragma once

#include "platform/mfc/Object.h"

class CDocument : public CObject {
 public:
  static const CRuntimeClass classCDocument;

  const CRuntimeClass* GetRuntimeClass() const override { return &classCDocument; }
  virtual bool OnNewDocument() { return true; }
};
