#include "shell/print_page.h"

#include <atomic>
#include <string>
#include <vector>

#include "common/notify.h"
#include "platform/clock.h"
#include "platform/win32/system_text.h"
#include "resources/string_ids.h"

namespace tsl::shell {

namespace {

std::atomic<PrintHook> gHook{nullptr};

// Message `id` from the print thread, owned by the record's window.
void Tell(const PrintRecord* r, unsigned id, const std::string& arg, const std::string& arg2 = "") {
  std::string fmt, text;
  if (!win32::LoadResString(nullptr, id, &fmt)) fmt = "%s\n\n%s";
  text = fmt.find('%') == std::string::npos ? fmt : Format(fmt.c_str(), arg.c_str(), arg2.c_str());
  MessageBoxA(r->owner, text.c_str(), "Tessella", MB_OK | MB_ICONEXCLAMATION);
}

// The description's strings, with their NULs ("app\0picture\0\0").
std::string Description(HENHMETAFILE emf) {
  UINT n = GetEnhMetaFileDescriptionA(emf, 0, nullptr);
  if (n == 0 || n == GDI_ERROR) return std::string();
  std::string d(n, '\0');
  n = GetEnhMetaFileDescriptionA(emf, n, &d[0]);
  if (n == GDI_ERROR) return std::string();
  d.resize(n);
  return d;
}

class Palette {
 public:
  Palette(HDC dc, HENHMETAFILE emf) : dc_(dc) {
    UINT n = GetEnhMetaFilePaletteEntries(emf, 0, nullptr);
    if (n == 0 || n == GDI_ERROR || n > 4096) return;
    std::vector<BYTE> buf(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(n);
    GetEnhMetaFilePaletteEntries(emf, n, lp->palPalEntry);
    pal_ = CreatePalette(lp);
    if (!pal_) return;
    old_ = SelectPalette(dc, pal_, FALSE);
    RealizePalette(dc);
  }
  ~Palette() {
    if (!pal_) return;
    SelectPalette(dc_, old_, FALSE);
    DeleteObject(pal_);
  }
  Palette(const Palette&) = delete;
  Palette& operator=(const Palette&) = delete;

 private:
  HDC dc_;
  HPALETTE pal_ = nullptr, old_ = nullptr;
};

// Playing a picture onto the page. Metric mapping modes are played as the
// anisotropic mode they stand for on the picture's reference device, as
// Windows itself does: Wine measures them on the printer instead, which
// drew our MM_LOMETRIC pictures three times too large at 300 dpi.
struct Playback {
  SIZEL device{}, millimeters{};
  bool ok = true;
};

// Logical units per millimetre of a metric mapping mode, as a fraction;
// false for the other modes.
bool UnitsPerMm(DWORD mode, int* num, int* den) {
  *den = 1;
  switch (mode) {
    case MM_LOMETRIC: *num = 10; return true;
    case MM_HIMETRIC: *num = 100; return true;
    case MM_LOENGLISH: *num = 1000, *den = 254; return true;  // 0.01 inch
    case MM_HIENGLISH: *num = 10000, *den = 254; return true;  // 0.001 inch
    case MM_TWIPS: *num = 14400, *den = 254; return true;      // 1/1440 inch
    default: return false;
  }
}

bool PlayOne(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int count) {
  return PlayEnhMetaFileRecord(dc, table, record, static_cast<UINT>(count)) != FALSE;
}

int CALLBACK PlayRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int count, LPARAM data) {
  auto* play = reinterpret_cast<Playback*>(data);
  int num = 0, den = 1;
  bool metric = record->iType == EMR_SETMAPMODE && UnitsPerMm(record->dParm[0], &num, &den);
  if (!metric || play->device.cx <= 0 || play->device.cy <= 0) {
    play->ok &= PlayOne(dc, table, record, count);
    return 1;  // a record that fails does not end the page
  }
  EMRSETMAPMODE mode{{EMR_SETMAPMODE, sizeof(EMRSETMAPMODE)}, MM_ANISOTROPIC};
  EMRSETVIEWPORTEXTEX window{{EMR_SETWINDOWEXTEX, sizeof(EMRSETVIEWPORTEXTEX)},
                             {MulDiv(play->millimeters.cx, num, den), MulDiv(play->millimeters.cy, num, den)}};
  EMRSETVIEWPORTEXTEX viewport{{EMR_SETVIEWPORTEXTEX, sizeof(EMRSETVIEWPORTEXTEX)},
                               {play->device.cx, -play->device.cy}};
  play->ok &= PlayOne(dc, table, reinterpret_cast<const ENHMETARECORD*>(&mode), count) &&
              PlayOne(dc, table, reinterpret_cast<const ENHMETARECORD*>(&window), count) &&
              PlayOne(dc, table, reinterpret_cast<const ENHMETARECORD*>(&viewport), count);
  return 1;
}

BOOL PlayOnPage(HDC dc, HENHMETAFILE emf, const ENHMETAHEADER& header, const RECT& area) {
  Playback play;
  play.device = header.szlDevice;
  play.millimeters = header.szlMillimeters;
  BOOL enumerated = EnumEnhMetaFile(dc, emf, PlayRecord, &play, &area);
  return enumerated && play.ok;
}

TextSize Measure(HDC dc, const std::string& text) {
  SIZE sz{};
  if (!text.empty()) GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &sz);
  return {sz.cx, sz.cy};
}

// The printer context for this job; nullptr to end without printing.
HDC PrinterContext(PrintRecord* r) {
  PRINTDLGA& pd = r->pd;
  if (r->unattended && r->autoPrint) return pd.hDC;  // the batch chose it; none: end silently
  if (pd.hDC) {
    DeleteDC(pd.hDC);  // the previous job's: the dialog returns a new one
    pd.hDC = nullptr;
  }
  ForgetChosenPrinter(pd);
  BOOL ok = PrintDlgA(&pd);
  if (!ok && CommDlgExtendedError() == PDERR_RETDEFFAILURE) {
    pd.Flags &= ~PD_RETURNDEFAULT;
    ok = PrintDlgA(&pd);
  }
  if (!ok) return nullptr;  // cancelled
  r->pdSetUp = true;
  if (!pd.hDC && !r->autoPrint) Tell(r, IDS_PRINTER_DC_FAILED, "");
  return pd.hDC;
}

DWORD PrintPage(PrintRecord* r, HDC dc, HENHMETAFILE emf, HMODULE gdi) {
  std::string description = Description(emf);
  std::string docName = DocumentName(description);
  DOCINFOA di{};
  di.cbSize = sizeof di;
  di.lpszDocName = docName.c_str();
  if (StartDocA(dc, &di) <= 0) {
    if (!r->autoPrint) Tell(r, IDS_PRINT_FAILED, docName, win32::LastErrorText());
    return 0;
  }
  StartPage(dc);
  DWORD result = 0;
  bool room = false;
  {
    Palette palette(dc, emf);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(emf, sizeof header, &header);
    OpenGlState* gl = header.bOpenGL ? BeginOpenGlPrinting(dc, emf, gdi) : nullptr;

    SetMapMode(dc, MM_TEXT);
    PictureNames names = DescriptionNames(description);
    int64_t now = SystemClock().Now();
    LayoutInput in;
    in.setup = r->setup;
    in.printer = {GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), GetDeviceCaps(dc, HORZRES),
                  GetDeviceCaps(dc, VERTRES)};
    in.heading = VarSubst(r->setup.heading, names, now);
    in.footer = VarSubst(r->setup.footer, names, now);
    in.headingSize = Measure(dc, in.heading);
    in.footerSize = Measure(dc, in.footer);
    in.frame = {header.rclFrame.left, header.rclFrame.top, header.rclFrame.right, header.rclFrame.bottom};
    in.bounds = {header.rclBounds.left, header.rclBounds.top, header.rclBounds.right, header.rclBounds.bottom};
    PageLayout layout = LayOutPage(in);
    room = layout.ok;
    if (!layout.ok) {
      if (!r->autoPrint) Tell(r, IDS_PRINT_NO_ROOM, "");
    } else {
      if (layout.hasHeading)
        TextOutA(dc, layout.headingX, layout.headingY, in.heading.data(), static_cast<int>(in.heading.size()));
      if (layout.hasFooter)
        TextOutA(dc, layout.footerX, layout.footerY, in.footer.data(), static_cast<int>(in.footer.size()));
      RECT area{layout.picture.left, layout.picture.top, layout.picture.right, layout.picture.bottom};
      SetLastError(0);
      result = PlayOnPage(dc, emf, header, area);
      DWORD error = GetLastError();
      if (!result && error && !r->autoPrint) Tell(r, IDS_PRINT_PLAYBACK_FAILED, win32::SystemErrorText(error));
    }
    if (gl) EndOpenGlPrinting(dc, gl);
  }
  if (!room) {
    AbortDoc(dc);  // no blank sheet for a page that could not be laid out
    return 0;
  }
  EndPage(dc);
  EndDoc(dc);
  return result;
}

}  // namespace

void SetPrintHook(PrintHook hook) { gHook.store(hook); }

DWORD PrintMetaFile(PrintRecord* r, HMODULE gdi) {
  HENHMETAFILE emf = r->metafile;
  r->metafile = nullptr;
  if (PrintHook hook = gHook.load()) hook();
  if (!emf) return 0;
  DWORD result = 0;
  if (HDC dc = PrinterContext(r)) result = PrintPage(r, dc, emf, gdi);
  DeleteEnhMetaFile(emf);
  return result;
}

}  // namespace tsl::shell
