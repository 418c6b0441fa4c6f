#include "skins/bars/BarScript.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "skins/bars/BarConnector.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBarScript, CTypedObject)

namespace {

constexpr DWORD kLineCode = 0;
constexpr DWORD kSplineCode = 1;
constexpr DWORD kCircleCode = 2;
constexpr INT kMaxAngle = 89;

[[noreturn]] void ThrowBlockError(const char* key, const char* text) {
  ThrowError<CError>(LocalText("BarScriptError.Caption", "BarScript error"), LocalText(key, text));
}

[[noreturn]] void ThrowUnexpectedEnd() { ThrowBlockError("BarScriptError.UnexpectedEndOfBlock", "Unexpected end of block."); }

}  // namespace

CBarScript::CBarScript() noexcept = default;
CBarScript::~CBarScript() { Clear(); }

void CBarScript::Clear() {
  m_Connectors.clear();
  m_Points.clear();
  m_Points.shrink_to_fit();
  m_FillPoint = POINT{};
}

void CBarScript::AddConnector(std::unique_ptr<CBarConnector> connector) { m_Connectors.push_back(std::move(connector)); }

void CBarScript::InitConnectors() {
  for (size_t k = 0; k < m_Connectors.size(); ++k) m_Connectors[k]->Init(*this, static_cast<INT>(k));
}

void CBarScript::LoadCompiled(CStream& stream, DWORD length) {
  LoadCleared(*this, [&] { ReadBlock(stream, length); });
}

void CBarScript::ReadBlock(CStream& stream, DWORD length) {
  // The block's own fields must lie inside it.
  if (length < 12) ThrowUnexpectedEnd();
  m_FillPoint.x = ReadI32(stream);
  m_FillPoint.y = ReadI32(stream);
  const DWORD count = ReadU32(stream);
  if (count < 2)
    ThrowBlockError("BarScriptError.NotEnoughPoints", "At least two way points and a fill point must be specified.");
  DWORD remaining = length - 12;
  if (remaining / 8 < count) ThrowUnexpectedEnd();
  m_Points.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    POINT point;
    point.x = ReadI32(stream);
    point.y = ReadI32(stream);
    m_Points.push_back(point);
  }
  remaining -= 8 * count;
  for (DWORD k = 0; k + 1 < count; ++k) {
    if (remaining < 4) ThrowUnexpectedEnd();
    const DWORD code = ReadU32(stream);
    remaining -= 4;
    const DWORD type = code & 0xFFFF;
    const WORD high = static_cast<WORD>(code >> 16);
    if (type == kLineCode) {
      const INT degrees = static_cast<int16_t>(high);
      if (degrees < -kMaxAngle || degrees > kMaxAngle) ThrowBlockError("BarScriptError.InvalidConnector", "Invalid connector.");
      AddConnector(std::make_unique<CBarLineConnector>(degrees));
    } else if (type == kSplineCode) {
      AddConnector(std::make_unique<CBarSplineConnector>());
    } else if (type == kCircleCode) {
      if (remaining < 8) ThrowUnexpectedEnd();
      POINT third;
      third.x = ReadI32(stream);
      third.y = ReadI32(stream);
      remaining -= 8;
      AddConnector(std::make_unique<CBarCircleConnector>(third, high != 0));
    } else {
      ThrowBlockError("BarScriptError.UnknownConnectorType", "Unknown connector type.");
    }
  }
  SkipExact(stream, remaining);
}

void CBarScript::SaveCompiled(CStream& stream) const {
  WriteI32(stream, m_FillPoint.x);
  WriteI32(stream, m_FillPoint.y);
  WriteU32(stream, static_cast<DWORD>(m_Points.size()));
  for (const POINT& point : m_Points) {
    WriteI32(stream, point.x);
    WriteI32(stream, point.y);
  }
  for (const auto& connector : m_Connectors) {
    if (const auto* line = dynamic_cast<const CBarLineConnector*>(connector.get())) {
      WriteU32(stream, kLineCode | static_cast<DWORD>(static_cast<WORD>(line->GetDegrees())) << 16);
    } else if (dynamic_cast<const CBarSplineConnector*>(connector.get())) {
      WriteU32(stream, kSplineCode);
    } else {
      const auto* circle = static_cast<const CBarCircleConnector*>(connector.get());
      WriteU32(stream, kCircleCode | (circle->IsClockwise() ? 1u << 16 : 0));
      WriteI32(stream, circle->GetThirdPoint().x);
      WriteI32(stream, circle->GetThirdPoint().y);
    }
  }
}
