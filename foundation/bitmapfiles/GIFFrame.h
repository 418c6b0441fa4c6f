// CGIFFrame: one frame of a GIF animation, a bitmap with the frame's
// timing and disposal. A separate frame is a palettized bitmap of its own
// image only, placed at (left, top) on the logical screen, with its
// transparent index as colour key. A composed frame is a full-screen
// RGB565 picture in which the frames before it, their disposal and this
// frame's transparency are already applied; it records the area its image
// covered and what becomes of that area afterwards.
//
// Frames belong to their CGIFAnimation; one thread at a time.
#pragma once

#include <windows.h>

#include "foundation/bitmapfiles/GIFBlocks.h"
#include "foundation/bitmaps/DIBitmap.h"

class CColorPalette;
class CGIFAnimation;
class CStream;
class GIFIndexBuffer;

class CGIFFrame : public CDIBitmap {
  TWL_DECLARE_CLASS(CGIFFrame)
 public:
  // What becomes of a frame's area before the next frame is shown.
  enum Disposal : DWORD {
    kLeaveInPlace = 0,
    kRestoreBackground = 1,  // GIF disposal method 2
    kRestorePrevious = 2,    // GIF disposal method 3
  };

  CGIFFrame() noexcept = default;
  ~CGIFFrame() override;

  // Reads up to the next image of the stream (passing over extensions, of
  // which only graphic control counts) and decodes it into the frame:
  // separate, or composed onto the animation's frames. Continuing a
  // composed frame draws the image onto the picture the frame has. False
  // at the trailer or the end of the stream. An image placed off the
  // screen (a separate frame reaching past it, a composed one starting
  // beyond it) is corrupted, found from its descriptor before its data is
  // decoded. On an error the frame is reset and the error passes on.
  bool Decode(CStream& stream, const CGIFAnimation& animation, bool compose, bool continuing);
  // Empty again, with delay, disposal, position and rectangle zero.
  void Reset();

  const GIFImageDescriptor& GetImageDescriptor() const { return m_ImageDescriptor; }
  bool HasGraphicControl() const { return m_HasGraphicControl; }
  const GIFGraphicControl& GetGraphicControl() const { return m_GraphicControl; }
  DWORD GetDelay() const { return m_Delay; }  // milliseconds
  DWORD GetDisposal() const { return m_Disposal; }
  DWORD GetLeft() const { return m_Left; }
  DWORD GetTop() const { return m_Top; }
  DWORD GetRectangleDisposal() const { return m_RectangleDisposal; }
  DWORD GetRectangleLeft() const { return m_RectangleLeft; }
  DWORD GetRectangleTop() const { return m_RectangleTop; }
  DWORD GetRectangleWidth() const { return m_RectangleWidth; }
  DWORD GetRectangleHeight() const { return m_RectangleHeight; }

  // The frame disposal of a GIF disposal method.
  static DWORD DisposalOfMethod(DWORD method);

 private:
  void ReadExtension(CStream& stream);
  // Each false when the image does not fit the frame.
  bool BuildFrame(const GIFIndexBuffer& indices, CColorPalette* palette, DWORD colorBits,
                  const CGIFAnimation& animation);
  bool ComposeFrame(const GIFIndexBuffer& indices, const CColorPalette* palette, const CGIFAnimation& animation,
                    bool continuing);
  void PrepareCanvas(const CGIFAnimation& animation);
  void FillRectangle(DWORD left, DWORD top, DWORD width, DWORD height, WORD color);

  GIFImageDescriptor m_ImageDescriptor;
  GIFGraphicControl m_GraphicControl;
  bool m_HasGraphicControl = false;
  DWORD m_Delay = 0;
  DWORD m_Disposal = kLeaveInPlace;
  DWORD m_Left = 0;
  DWORD m_Top = 0;
  DWORD m_RectangleDisposal = kLeaveInPlace;
  DWORD m_RectangleLeft = 0;
  DWORD m_RectangleTop = 0;
  DWORD m_RectangleWidth = 0;
  DWORD m_RectangleHeight = 0;
};
