#include "interpreter/statistics.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "interpreter/conversion_log.h"
#include "interpreter/units.h"
#include "platform/clock.h"

namespace tsl {

std::string Gcvt(double value, int digits) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buf[64];
  if (value == 0) return "0.";
  int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  // Round first: the exponent may move (9.99999999 becomes 10.).
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  exponent = std::atoi(std::strchr(buf, 'e') + 1);
  if (exponent < -5 || exponent >= digits) {
    // Exponent form: mantissa without trailing zeros, "e+XXX" as _gcvt writes it.
    std::string s = buf;
    size_t e = s.find('e');
    std::string mant = s.substr(0, e);
    if (mant.find('.') != std::string::npos) {
      while (mant.back() == '0') mant.pop_back();
    }
    int ex = std::atoi(s.c_str() + e + 1);
    std::snprintf(buf, sizeof buf, "%se%c%03d", mant.c_str(), ex < 0 ? '-' : '+', std::abs(ex));
    return buf;
  }
  int decimals = digits - 1 - exponent;
  if (decimals < 0) decimals = 0;
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string s = buf;
  if (s.find('.') == std::string::npos) s += '.';
  while (s.back() == '0') s.pop_back();
  return s;
}

std::string SizeText(uint64_t size) {
  const uint64_t kGiB = 1ull << 30;
  if (size >> 32) return std::to_string((size >> 32) * 4 + (size & 0xFFFFFFFFull) / kGiB) + " GB";
  if (size >= kGiB) return Gcvt(static_cast<double>(size) / kGiB, 4) + " GB";
  if (size > 1048575) return Gcvt(static_cast<double>(size) / 1048576, 4) + " MB";
  if (size > 1023) return Gcvt(static_cast<double>(size) / 1024, 4) + " KB";
  return std::to_string(size) + " Bytes";
}

void LogConversionStats(const gdi::EmfSummary* metafile, PlotterState& ps, int64_t started,
                        const Clock& clock) {
  ConversionLog& log = *ps.log;
  int64_t now = clock.Now();
  log.LogString("\nConversion ");
  log.LogString(metafile ? "completed at " : "FAILED (MetaFile handle is NULL) at ");
  log.LogString(CTime(now));
  log.LogString("\nStatistics:\n");
  log.Logf("* Dimensions:         Xmin=%d, Ymin=%d, Xmax=%d, Ymax=%d\n", ps.xMin, ps.yMin, ps.xMax,
           ps.yMax);
  bool high = ps.settings->Has(HighResolution);
  double w = MetafileMillimetres(static_cast<double>(ps.xMax) - ps.xMin, high);
  double h = MetafileMillimetres(static_cast<double>(ps.yMax) - ps.yMin, high);
  log.Logf("* Dimensions (in mm): %s mm wide, %s mm high\n", Gcvt(w, 8).c_str(), Gcvt(h, 8).c_str());
  log.Logf("* Commands executed:  %lu\n", static_cast<unsigned long>(static_cast<uint32_t>(ps.nExecuted)));
  log.Logf("* Commands ignored:   %lu\n", static_cast<unsigned long>(static_cast<uint32_t>(ps.nIgnored)));
  log.Logf("* Malformed commands: %lu\n", static_cast<unsigned long>(static_cast<uint32_t>(ps.nErrors)));
  log.Logf("* Longest command:    %u characters\n", static_cast<unsigned>(ps.cbLongest));
  log.Logf("* Elapsed time:       %u seconds\n", static_cast<unsigned>(now - started));
  if (metafile) {
    log.Logf("* Metafile size:      %lu Bytes\n", static_cast<unsigned long>(metafile->nBytes));
    log.Logf("* Number of records:  %lu\n", static_cast<unsigned long>(metafile->nRecords));
  }
}

}  // namespace tsl
