#include "display/state/DisplayState.h"

#include <bit>
#include <cstring>
#include <memory>
#include <new>

#include "display/state/DisplayLock.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/palettes/ColorBox.h"

namespace {

CDisplayState* g_Current = nullptr;

// The length of the first run of one bits of a channel mask.
int RunLength(DWORD mask) {
  if (mask == 0) return 0;
  return std::countr_one(mask >> std::countr_zero(mask));
}

DWORD LowestBit(DWORD mask) { return mask ? mask & (0 - mask) : 1; }

[[noreturn]] void ThrowGDIError(const char* key, const char* text) {
  ThrowError<CError>(LocalText("GDIError.Caption", "GDI error"), LocalText(key, text));
}

DWORD EntryColor(const PALETTEENTRY& entry) {
  return entry.peRed | static_cast<DWORD>(entry.peGreen) << 8 | static_cast<DWORD>(entry.peBlue) << 16;
}

}  // namespace

const std::array<DWORD, CDisplayState::kFixedColorCount> CDisplayState::kFixedColors = {
    0xC00000, 0x00C000, 0xC0C000, 0x0000C0, 0xC000C0, 0x00C0C0, 0xFF8000, 0xFF0080, 0xFF8080, 0x80FF00, 0x00FF80,
    0x80FF80, 0xFFFF80, 0x8000FF, 0x0080FF, 0x8080FF, 0xFF80FF, 0x80FFFF, 0xFFC000, 0xFF00C0, 0xFFC0C0, 0xC0FF00,
    0x00FFC0, 0xC0FFC0, 0xFFFFC0, 0xC000FF, 0x00C0FF, 0xC0C0FF, 0xFFC0FF, 0xC0FFFF, 0xA0A0D0, 0xA0D0A0, 0xD0A0A0,
    0x606080, 0x608060, 0x806060, 0x7090B0, 0x406090, 0x0B359A, 0x399FF1, 0x7C8FA4, 0x778699, 0x62758A, 0x565DB4};

CDisplayState::~CDisplayState() {
  if (g_Current == this) g_Current = nullptr;
  Exit();
}

CDisplayState* CDisplayState::GetCurrent() { return g_Current; }
void CDisplayState::SetCurrent(CDisplayState* state) { g_Current = state; }

bool CDisplayState::IsSupportedFormat(const DDPIXELFORMAT& format) {
  if (!(format.dwFlags & DDPF_RGB)) return false;
  const bool palettized = (format.dwFlags & kPixelIndexedMask) != 0;
  return !palettized || format.dwRGBBitCount >= 8;
}

HRESULT CDisplayState::Init(IDirectDraw2* draw) {
  Exit();
  DDSURFACEDESC mode{};
  mode.dwSize = sizeof mode;
  mode.ddpfPixelFormat.dwSize = sizeof mode.ddpfPixelFormat;
  if (HRESULT result = draw->GetDisplayMode(&mode); FAILED(result)) return result;
  if (HRESULT result = SetMode(mode); FAILED(result)) {
    Exit();
    return result;
  }
  SetDirectDraw(draw);
  return DD_OK;
}

void CDisplayState::SetDirectDraw(IDirectDraw2* draw) {
  if (draw) draw->AddRef();
  if (m_DirectDraw) m_DirectDraw->Release();
  m_DirectDraw = draw;
}

bool CDisplayState::HasModeChanged(const DDSURFACEDESC& mode) const {
  return std::memcmp(&mode, &m_Mode, sizeof mode) != 0;
}

HRESULT CDisplayState::SetMode(const DDSURFACEDESC& mode) {
  m_Mode = mode;
  const DDPIXELFORMAT& pixels = m_Mode.ddpfPixelFormat;
  m_ModeWidth = mode.dwWidth;
  m_ModeHeight = mode.dwHeight;
  m_BytesPerPixel = (pixels.dwRGBBitCount + 7) / 8;
  m_ColorConverter = std::nullopt;
  if (!IsSupportedFormat(pixels)) {
    m_Format = CPixelFormat();
    m_ColorTable.reset();
    DeletePalette();
    return DDERR_UNSUPPORTEDMODE;
  }
  if (pixels.dwFlags & kPixelIndexedMask) {
    m_Format.SetIndexed(8, nullptr);
    // Until a skin builds the palette every colour maps to entry 0.
    m_ColorTable.emplace();
    m_ColorTable->Setup(5, 6, 5, 8);
    m_ColorKey = kKeyIndex;
    m_SubstituteColor = 0;
  } else {
    m_Format.SetMasks(pixels.dwRGBBitCount, pixels.dwRBitMask, pixels.dwGBitMask, pixels.dwBBitMask,
                      pixels.dwRGBAlphaBitMask);
    m_ColorTable.reset();
    DeletePalette();
    m_Palette.fill(0);
    ComputeRGBKey();
  }
  PrepareColorConverter();
  return DD_OK;
}

void CDisplayState::PrepareColorConverter() {
  CPixelFormat colors;
  colors.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
  m_ColorConverter.emplace();
  m_ColorConverter->Prepare(m_Format, colors, GetColorTable());
}

// The lowest bit of the channel with the most bits, so that the key is a
// colour no picture is likely to hold; ties go to green, then blue.
void CDisplayState::ComputeRGBKey() {
  const int red = RunLength(m_Format.redMask);
  const int green = RunLength(m_Format.greenMask);
  const int blue = RunLength(m_Format.blueMask);
  DWORD channel = m_Format.greenMask;
  if (blue > green && blue >= red)
    channel = m_Format.blueMask;
  else if (red > green && red > blue)
    channel = m_Format.redMask;
  m_ColorKey = LowestBit(channel);
  m_SubstituteColor = 0;
}

void CDisplayState::Exit() noexcept {
  DeletePalette();
  if (m_DirectDraw) m_DirectDraw->Release();
  m_DirectDraw = nullptr;
  m_Mode = DDSURFACEDESC{};
  m_ColorConverter = std::nullopt;
  m_ColorTable.reset();
}

void CDisplayState::DeletePalette() noexcept {
  if (m_PaletteHandle) DeleteObject(m_PaletteHandle);
  m_PaletteHandle = nullptr;
}

HRESULT CDisplayState::CreateOffscreenSurface(DWORD width, DWORD height, IDirectDrawSurface2** surface,
                                              DWORD extraCaps) const {
  DisplayLockScope lock;
  *surface = nullptr;
  if (!m_DirectDraw) return DDERR_INVALIDOBJECT;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddsCaps.dwCaps = GetOffscreenCaps() | extraCaps;
  IDirectDrawSurface* first = nullptr;
  if (HRESULT result = m_DirectDraw->CreateSurface(&desc, &first, nullptr); FAILED(result)) return result;
  // A surface without the second interface is no use to anyone: fail
  // rather than hand back an empty slot that a later lock would touch.
  const HRESULT result = first->QueryInterface(IID_IDirectDrawSurface2, reinterpret_cast<void**>(surface));
  first->Release();
  if (FAILED(result)) *surface = nullptr;
  return result;
}

DWORD CDisplayState::ConvertColor(DWORD color) const {
  DWORD pixel = 0;
  if (m_ColorConverter) m_ColorConverter->ConvertRows(&pixel, 0, &color, 0, 1, 1);
  return pixel;
}

void CDisplayState::BuildPalette(const CColorTable& skinColors) {
  if (!IsPalettized() || !m_ColorTable) return;
  DeletePalette();
  FillPaletteEntries(skinColors);
  FillColorTable();
  m_ColorKey = kKeyIndex;
  // The entry nearest black stands in for key-coloured pixels of opaque
  // pictures.
  DWORD best = 0;
  DWORD bestDistance = 0xFFFFFFFF;
  for (int index = 0; index < kPaletteSize; ++index) {
    const DWORD entry = m_Palette[index];
    if (index == kKeyIndex || entry == kFreeEntry) continue;
    const DWORD red = entry & 0xFF, green = entry >> 8 & 0xFF, blue = entry >> 16 & 0xFF;
    const DWORD distance = red * red + green * green + blue * blue;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<DWORD>(index);
      if (distance == 0) break;
    }
  }
  m_SubstituteColor = best;
  PrepareColorConverter();
  CreateGDIPalette();
}

void CDisplayState::FillPaletteEntries(const CColorTable& skinColors) {
  m_Palette.fill(kFreeEntry);
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (!display) ThrowGDIError("GDIError.GetDisplayDC", "Unable to obtain display dc.");
  PALETTEENTRY low[8]{};
  PALETTEENTRY high[8]{};
  const UINT lowCount = GetSystemPaletteEntries(display, 0, 8, low);
  const UINT highCount = GetSystemPaletteEntries(display, 248, 8, high);
  DeleteDC(display);
  for (UINT i = 0; i < lowCount && i < 8; ++i) m_Palette[i] = EntryColor(low[i]);
  for (UINT i = 0; i < highCount && i < 8; ++i) m_Palette[248 + i] = EntryColor(high[i]);
  for (int i = 0; i < kFixedColorCount; ++i) m_Palette[kFirstFixedColor + i] = kFixedColors[i];

  CColorBox box;
  box.InitFromTable(skinColors);
  box.Reduce(kMaxSkinColors);
  const int count = box.GetCount() < kMaxSkinColors ? box.GetCount() : kMaxSkinColors;
  for (int i = 0; i < count; ++i) m_Palette[kFirstSkinColor + i] = box.GetEntries()[i];
  for (DWORD& entry : m_Palette)
    if (entry == kKeyColor) entry = 0;
}

// Every 5-6-5 cell gets the index of the entry nearest the colour it
// stands for.
void CDisplayState::FillColorTable() {
  const DWORD cells = m_ColorTable->GetCellCount();
  const DWORD shift = m_ColorTable->GetCellShift();
  for (DWORD cell = 0; cell < cells; ++cell) {
    const DWORD red = (cell & 0x1F) << 3;
    const DWORD green = (cell >> 5 & 0x3F) << 2;
    const DWORD blue = (cell >> 11 & 0x1F) << 3;
    const INT index = FindNearestColor(m_Palette.data(), kPaletteSize, red | green << 8 | blue << 16);
    m_ColorTable->SetCell(cell << shift, index < 0 ? 0 : static_cast<DWORD>(index));
  }
}

void CDisplayState::CreateGDIPalette() {
  const size_t size = sizeof(LOGPALETTE) + (kPaletteSize - 1) * sizeof(PALETTEENTRY);
  std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]());
  if (!block) ThrowMemoryError();
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.get());
  palette->palVersion = 0x300;
  palette->palNumEntries = kPaletteSize;
  for (int index = 0; index < kPaletteSize; ++index) {
    PALETTEENTRY& entry = palette->palPalEntry[index];
    if (index < kKeyIndex || index >= 246) {
      // The system's own colours stay where the system keeps them.
      entry = PALETTEENTRY{static_cast<BYTE>(index), 0, 0, PC_EXPLICIT};
      continue;
    }
    const DWORD color = index == kKeyIndex ? kKeyColor : m_Palette[index];
    if (color == kFreeEntry) continue;
    entry = PALETTEENTRY{static_cast<BYTE>(color), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color >> 16),
                         PC_NOCOLLAPSE};
  }
  m_PaletteHandle = CreatePalette(palette);
  if (!m_PaletteHandle) ThrowGDIError("GDIError.CreatePalette", "Unable to create palette.");
}
