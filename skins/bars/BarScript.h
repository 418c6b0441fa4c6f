// CBarScript: the path of a shaped level or position bar: a fill point,
// way points, and between each two consecutive way points a connector
// (straight line, spline or circular arc). Read from the text a skin
// author writes (one item a line) or from the compact block of a compiled
// skin. Coordinates are pixels; the owner makes them relative to the bar's
// area. A loaded script has at least two way points and one connector
// fewer. Plain data, one thread at a time.
#pragma once

#include <memory>
#include <vector>

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CBarConnector;
class CStream;

class CBarScript : public CTypedObject {
  TWL_DECLARE_CLASS(CBarScript)
 public:
  static constexpr LONGLONG kMaxTextSize = 1024 * 1024;

  CBarScript() noexcept;
  CBarScript(const CBarScript&) = delete;
  CBarScript& operator=(const CBarScript&) = delete;
  ~CBarScript() override;

  // Reads the whole text (at most 1 MiB); a faulty line throws at once,
  // naming the line; the script then holds what was read before it.
  void LoadFromStream(CStream& stream);
  // The compiled block of `length` bytes; throws, cleared.
  void LoadCompiled(CStream& stream, DWORD length);
  void SaveCompiled(CStream& stream) const;
  // Prepares every connector's geometry from the final points.
  void InitConnectors();
  void Clear();

  POINT GetFillPoint() const { return m_FillPoint; }
  void SetFillPoint(POINT point) { m_FillPoint = point; }
  INT GetPointCount() const { return static_cast<INT>(m_Points.size()); }
  const POINT* GetPoints() const { return m_Points.data(); }
  POINT* GetPoints() { return m_Points.data(); }
  INT GetConnectorCount() const { return static_cast<INT>(m_Connectors.size()); }
  CBarConnector* GetConnector(INT index) const { return m_Connectors[index].get(); }

  // For the parsers.
  void AddPoint(POINT point) { m_Points.push_back(point); }
  void AddConnector(std::unique_ptr<CBarConnector> connector);

 private:
  void ReadBlock(CStream& stream, DWORD length);

  POINT m_FillPoint{};
  std::vector<POINT> m_Points;
  std::vector<std::unique_ptr<CBarConnector>> m_Connectors;
};
