// CBitmapAnimation: a still skin picture made into a looping animation.
// The still picture is frame 1 (the base); numbered pictures of the skin
// folder are frames 2, 3, ...; an ini file gives each frame's display time
// and optional fades between frames. Preparation turns the frames into
// change frames that a renderer draws one after the other over the
// previous picture, pixels of the key value 1 left alone: the loaded
// frames differenced against what is on screen, a closing frame that
// brings back the base, and fade frames before the frames they fade to.
//
// Every frame has the base's size. After preparation all pictures are
// 32-bit, red in the low byte, top row first, keyed with 1. The mask is
// the owner's (the window's shape) and only lent. Plain data, one thread
// at a time.
#pragma once

#include <vector>

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "skins/base/SkinBase.h"

class CColorTable;
class CDIBitmap;
class CMask;
class CStream;

class CBitmapAnimation : public CSkinBase {
  TWL_DECLARE_CLASS(CBitmapAnimation)
 public:
  static constexpr DWORD kKey = 1;
  static constexpr INT kDefaultDelay = 200;

  struct Transition {
    INT type = 0;  // kNoTransition or kFade
    INT count = 0;  // in-between frames
    INT delay = 0;  // milliseconds each
  };
  static constexpr INT kNoTransition = 0;
  static constexpr INT kFade = 1;

  CBitmapAnimation() noexcept = default;
  CBitmapAnimation(const CBitmapAnimation&) = delete;
  CBitmapAnimation& operator=(const CBitmapAnimation&) = delete;
  ~CBitmapAnimation() override;

  // Loads the numbered frames prefix + name + "2".."N+1" and, when there
  // are any, prefix + name + "Anim.ini". False, cleared, with one line per
  // fault in `errors`, when the ini's values are wrong; unreadable files
  // throw.
  bool LoadFromFolder(const char* folder, const char* prefix, const char* name, CStr& errors);
  // Takes the base over and lends the mask, when every frame has the
  // base's size and the fades fit; else false with a line per fault.
  bool SetBase(CDIBitmap* base, CMask* mask, CStr& errors);
  void Clear();
  // Conversion, masking and differencing (what the compiled form stores).
  void PrepareForSave();
  // All five steps: also the closing frame and the fade frames.
  void Prepare();
  void CollectColors(CColorTable& table, bool count) const;

  // The base record, the header block (flags, key, frame count, delays),
  // the loaded frames and the transitions block.
  void SaveCompiled(CStream& stream) const;
  void LoadCompiled(CStream& stream, DWORD length);

  CDIBitmap* GetBase() const { return m_Base; }
  // After Prepare: the change frames and their delays, in drawing order.
  const std::vector<CDIBitmap*>& GetFrames() const { return m_Frames; }
  const std::vector<INT>& GetDelays() const { return m_Delays; }
  INT GetFirstDelay() const { return m_FirstDelay; }
  INT GetDefaultDelay() const { return m_DefaultDelay; }
  DWORD GetFrameCount() const { return m_FrameCount; }
  const std::vector<Transition>& GetTransitions() const { return m_Transitions; }
  const CStr& GetName() const { return m_Name; }

 private:
  bool ReadAnimIni(const char* folder, CStr& errors);
  // Whether the fades' in-between frames, each of the base's size, stay
  // within what preparation may spend on them; loading refuses the
  // animation when they do not.
  bool FadesFit(const CDIBitmap& base) const;
  CStr TooManyFadeFramesText() const;
  void Convert();
  void Mask();
  void Difference();
  void Close();
  void CreateTransitions();
  void ReadPayload(CStream& stream, DWORD length);
  // The loaded frames (and their delays) among the prepared entries.
  std::vector<size_t> LoadedFrameIndices() const;

  CDIBitmap* m_Base = nullptr;
  CMask* m_Mask = nullptr;  // lent
  CStr m_Name;
  std::vector<CDIBitmap*> m_Frames;
  std::vector<bool> m_IsFade;  // beside m_Frames
  std::vector<INT> m_Delays;
  INT m_DefaultDelay = kDefaultDelay;
  INT m_FirstDelay = -1;
  DWORD m_FrameCount = 0;
  std::vector<Transition> m_Transitions;
  bool m_Converted = false;
  bool m_Masked = false;
  bool m_Differenced = false;
  bool m_Closed = false;
  bool m_TransitionsCreated = false;
};
