#include "interpreter/conversion_log.h"

#include <cstdarg>
#include <string>

#include "common/line_end.h"
#include "platform/debug_output.h"

namespace tsl {

// A log still open here belongs to a run that did not end (it ran out of
// memory): it is not put in place.
ConversionLog::~ConversionLog() { Discard(); }

bool ConversionLog::Create(const std::string& path) {
  Discard();
  nLogLines = 0;
  counts_ = Counts();
  if (!file_.Open(path)) return false;
  hLogFile = file_.Stream();
  return true;
}

bool ConversionLog::Close() {
  if (!hLogFile) return true;
  hLogFile = nullptr;
  return file_.Commit();
}

void ConversionLog::Discard() {
  hLogFile = nullptr;
  file_.Discard();
}

void ConversionLog::LogString(const char* text) {
  if (!text || !*text) return;
  if (sink_) {
    for (const char* p = text; *p; ++p) {
      if (*p == '\n') {
        sink_->append("\r\n");
        nLogLines++;
      } else {
        sink_->push_back(*p);
      }
    }
    return;
  }
  if (!hLogFile) {
    DebugOutput(text);
    return;
  }
  // Write runs between line feeds at once; each LF becomes the system's
  // line end (CR LF on Windows).
  const char* run = text;
  for (const char* p = text; *p; ++p) {
    if (*p != '\n') continue;
    std::fwrite(run, 1, static_cast<size_t>(p - run), hLogFile);
    std::fputs(kLineEnd, hLogFile);
    nLogLines++;
    run = p + 1;
  }
  std::fputs(run, hLogFile);
}

void ConversionLog::VLogf(const char* fmt, va_list ap) {
  va_list ap2;
  va_copy(ap2, ap);
  char small[512];
  int n = vsnprintf(small, sizeof small, fmt, ap);
  if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
    LogString(small);
  } else if (n > 0) {
    std::string big(static_cast<size_t>(n) + 1, '\0');
    vsnprintf(&big[0], big.size(), fmt, ap2);
    big.resize(static_cast<size_t>(n));
    LogString(big.c_str());
  }
  va_end(ap2);
}

void ConversionLog::Logf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  VLogf(fmt, ap);
  va_end(ap);
}

void ConversionLog::Warning(const char* fmt, ...) {
  counts_.warnings++;
  va_list ap;
  va_start(ap, fmt);
  VLogf(fmt, ap);
  va_end(ap);
}

void ConversionLog::Error(const char* fmt, ...) {
  counts_.errors++;
  va_list ap;
  va_start(ap, fmt);
  VLogf(fmt, ap);
  va_end(ap);
}

void ConversionLog::Note(const char* fmt, ...) {
  counts_.notes++;
  va_list ap;
  va_start(ap, fmt);
  VLogf(fmt, ap);
  va_end(ap);
}

}  // namespace tsl
