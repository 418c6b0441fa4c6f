// ImageFileType: one kind of picture file Pictolan reads. It knows its
// extensions with a type text for each (the player hands the text to the
// host as the extension's MIME type), says whether an extension is one of
// its own and loads a picture from a stream into a bitmap. The host table
// comes from whoever makes the type: the player's main object, or a tool's
// own host. Used by one thread at a time.
#pragma once

#include <windows.h>

#include "foundation/containers/StrArray.h"
#include "foundation/kernel/Str.h"
#include "pluginhost/abi/PlugInAbi.h"

class CDIBitmap;
class CError;
class CStream;

namespace pictolan {

class ImageFileType {
 public:
  ImageFileType(const char* name, const HostApiTable* host);
  virtual ~ImageFileType();
  ImageFileType(const ImageFileType&) = delete;
  ImageFileType& operator=(const ImageFileType&) = delete;

  // The stream stands at its start; the extension carries its leading dot
  // (or is empty). True with the picture in the bitmap. False with the
  // reason as the thread error: MiscError 6 when the data or extension is
  // not of this type, else the error the reader raised. Nothing is thrown.
  virtual bool Load(CStream& stream, const char* extension, CDIBitmap& bitmap) = 0;
  // Asked when a load is being given up; a reader of these types has
  // nothing to break off.
  virtual void Abandon() {}

  // Skips one leading "." and compares the rest with each extension,
  // ignoring case.
  bool MatchesExtension(const char* extension) const;
  INT GetExtensionCount() const { return m_Extensions.GetCount(); }
  CStr GetExtension(INT i) const { return m_Extensions[i]; }
  CStr GetTypeText(INT i) const { return m_TypeTexts[i]; }
  // The class's name ("JpegFileType"), for reports.
  const char* GetName() const { return m_Name; }

 protected:
  void AddExtension(const char* extension, const char* typeText);
  // The end of a failed Load: the data is not of this type.
  bool RefuseAsUnsupported() const;
  // Runs a reader: true when it read the picture; its false or thrown
  // error becomes the thread error (false for unsupported data).
  template <class Reader>
  bool RunReader(Reader read) const {
    try {
      if (read()) return true;
      return RefuseAsUnsupported();
    } catch (CError* error) {
      ReportAndDispose(error);
    } catch (const std::bad_alloc&) {
      ReportOutOfMemory();
    }
    return false;
  }

 private:
  void ReportAndDispose(CError* error) const noexcept;
  void ReportOutOfMemory() const noexcept;

  const char* m_Name;
  CStrArray m_Extensions;
  CStrArray m_TypeTexts;
  const HostApiTable* m_Host;
};

}  // namespace pictolan
