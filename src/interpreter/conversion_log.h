// The run's log file: each LF written as the system's line end (CR LF on
// Windows, LF elsewhere) and counted; without an open file the text goes to
// the debugger output.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/atomic_file.h"

namespace tsl {

class ConversionLog {
 public:
  ConversionLog() = default;
  ~ConversionLog();
  ConversionLog(const ConversionLog&) = delete;
  ConversionLog& operator=(const ConversionLog&) = delete;

  // Creates the log file anew: it is written under a temporary name and
  // takes its own name at Close. False (errno set) when it cannot be made.
  bool Create(const std::string& path);
  // Flushes, closes and puts the file in place; false when a write failed.
  bool Close();
  // Closes and throws the file away (a log that is not to be kept).
  void Discard();
  bool IsOpen() const { return hLogFile != nullptr; }

  void LogString(const char* text);
  void LogString(const std::string& text) { LogString(text.c_str()); }
  // printf-style, then LogString.
  void Logf(const char* fmt, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;

  // Tests read the log from memory: while a sink is set, text goes there
  // (in the CR LF form on every system, with the same line count) instead
  // of a file.
  void CaptureTo(std::string* sink) { sink_ = sink; }

  uint32_t nLogLines = 0;

 private:
  AtomicFile file_;
  FILE* hLogFile = nullptr;
  std::string* sink_ = nullptr;
};

}  // namespace tsl
