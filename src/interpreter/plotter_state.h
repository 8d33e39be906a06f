// The plotter model of one conversion run, handed to every command handler.
// Besides the plotter's own fields it carries the run's services (settings
// copy, log, device, objects), so that nothing of a run is process-wide and
// two runs can go on in two threads.
#pragma once
#include <cstdint>
#include <memory>

#include "common/gdi/device.h"
#include "common/gdi/objects.h"
#include "settings/settings_set.h"

namespace tsl {

class ConversionLog;
class PolygonBuffer;
class Progress;

// A parsed parameter: integer and real forms of the same text.
struct Arg {
  int32_t l = 0;
  double d = 0;
};

// bMode bits.
enum : uint8_t {
  SCALED = 0x01,
  RELATIVE = 0x02,
  HPGL_MODE = 0x04,
  WIDTH_RELATIVE = 0x08,
  REL_CHAR_SIZE = 0x10,
  ITALIC = 0x20,
};

constexpr char ETX = 3;

struct PlotterState {
  // The run's services.
  SettingsSet* settings = nullptr;  // the run's private copy
  ConversionLog* log = nullptr;
  gdi::Device* hdcMeta = nullptr;   // none in a measure-only run
  gdi::Objects* objects = nullptr;
  Progress* progress = nullptr;

  int32_t fInitialized = 0;
  Arg* pArgs = nullptr;
  int32_t nArgsMax = 0;
  int32_t nExecuted = 0;
  int32_t nIgnored = 0;
  int32_t nErrors = 0;
  int32_t cbLongest = 0;
  int32_t xPage = 0, yPage = 0;
  int32_t fPenDown = 0;
  uint16_t iPen = 0;
  double dPenWidth = 0;
  int32_t nWidthOverride = 0;
  int32_t xPen = 0, yPen = 0;
  int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  int32_t xP1 = 0, yP1 = 0, xP2 = 0, yP2 = 0;
  int32_t dxP1P2 = 0, dyP1P2 = 0;
  double dUserXMin = 0, dUserYMin = 0, dUserXMax = 0, dUserYMax = 0;
  uint8_t bMode = 0;
  uint16_t nRotation = 0;
  int16_t iLineType = 0;
  // The HP-GL line type (sign dropped) and its pattern length: per cent of
  // the P1-P2 diagonal, or millimetres when fPatternAbsolute (LT's mode 1).
  int16_t nLineType = 0;
  double dPatternLength = 4;
  uint8_t fPatternAbsolute = 0;
  char chSymbol = 0;
  uint8_t iFillType = 0;
  double dShading = 100;  // FT10's level, per cent of the pen's colour
  gdi::Handle hbrFill = 0;
  // The polygon buffer of PM, which lasts until PM0, IN or DF; while
  // fPolygonMode is set, hdcMeta is the buffer.
  std::shared_ptr<PolygonBuffer> polygon;
  int32_t fPolygonMode = 0;
  int32_t iPolyFillMode = 0;    // the fill mode last recorded; 0 = the DC's default (ALTERNATE)
  gdi::Handle hpenCurrent = 0;   // the pen the interpreter last selected
  gdi::Handle hfontCurrent = 0;  // the label font last selected
  uint16_t crRange[6] = {0, 255, 0, 255, 0, 255};
  uint16_t nPens = 0;
  // The width of each selectable pen in millimetres: PW sets one or all,
  // PT all; IN and DF put back 0.3.
  double dPenWidths[256] = {};
  // The pen colours the run started with: PC without colours goes back to
  // them.
  gdi::COLORREF crStart[kPenTableSize] = {};

  // Labels.
  double dRelCharW = 0, dRelCharH = 0;
  int32_t cxChar = 0, cyChar = 0;
  int32_t nLabelAngle = 0;
  // The DI/DR direction before RO, the drawing rotation and mirroring (0
  // after IN/DF), so that a new font under the drawing rotation keeps it.
  int32_t nLabelDirection = 0;
  int16_t nStrokeWeight = 0;
  uint16_t nFontAttr = 0;  // the SD font attribute word
  // The symbol set SD chose when labels translate it (Roman-8), else 0:
  // label bytes drawn as they are.
  uint16_t nSymbolSet = 0;
  uint16_t nLabelOrigin = 0;
  uint8_t nLabelPath = 0;
  uint8_t fLineReverse = 0;
  double dSpaceFactor = 0, dLineFactor = 0;
  int32_t xLabelStart = 0, yLabelStart = 0;
  // Where the last label or CP left the pen: once the pen has moved from
  // there, the carriage-return point is the pen.
  int32_t xLabelEnd = 0, yLabelEnd = 0;
  double dTickLen = 0;
  // The label terminator and whether it stays in the label text; the lexer
  // reads them, DT and IN/DF set them.
  char chTerminator = ETX;
  int32_t showTerminator = 0;

  // Soft-clip window.
  gdi::Rect rcWindow;
  int32_t fWindow = 0;

  uint32_t offCommand = 0;

  bool MeasureOnly() const { return settings->Has(tsl::MeasureOnly); }
  // Scale percentage / 100, as a double.
  double Scale() const { return settings->ScalePercent / 100.0; }
};

}  // namespace tsl
