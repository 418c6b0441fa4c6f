// Classes of objects that the layer's libraries make through
// CoCreateInstance. Each library registers its classes once, from a static
// object in its own folder, while libtwlwin.so loads; the table is
// read-only afterwards. A class is offered only while its library is (a
// test that hides "quartz.dll" hides its filter graph too).
#pragma once

#include "twlwin/com.h"

namespace twl {

// Makes a new object and answers its interface `iid` (one reference), or
// a failure result with *object null.
typedef HRESULT (*ComClassFactory)(REFIID iid, void** object);

class ComClassRegistration {
 public:
  ComClassRegistration(const GUID& clsid, const char* libraryName, ComClassFactory factory);
};

}  // namespace twl
