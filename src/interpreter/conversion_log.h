// The run's log file: each LF written as the system's line end (CR LF on
// Windows, LF elsewhere) and counted; without an open file the text goes to
// the debugger output. The entries of its body are counted by kind as they
// are written, so that the end of a run knows whether the log says anything
// without guessing from its length.
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/atomic_file.h"

#if defined(__GNUC__)
#define TSL_LOG_FORMAT __attribute__((format(printf, 2, 3)))
#else
#define TSL_LOG_FORMAT
#endif

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

  // Text of the log's own frame (header, statistics, page splits) and
  // continuation lines of an entry: not counted.
  void LogString(const char* text);
  void LogString(const std::string& text) { LogString(text.c_str()); }
  // printf-style, then LogString.
  void Logf(const char* fmt, ...) TSL_LOG_FORMAT;

  // One entry of the body each, printf-style: something of the plot that
  // could not be converted as written, a command that was refused or a
  // failure of the run, and a comment or message of the plot.
  void Warning(const char* fmt, ...) TSL_LOG_FORMAT;
  void Error(const char* fmt, ...) TSL_LOG_FORMAT;
  void Note(const char* fmt, ...) TSL_LOG_FORMAT;

  struct Counts {
    uint32_t warnings = 0, errors = 0, notes = 0;
    uint32_t Total() const { return warnings + errors + notes; }
  };
  const Counts& Entries() const { return counts_; }

  // Tests read the log from memory: while a sink is set, text goes there
  // (in the CR LF form on every system, with the same line count) instead
  // of a file.
  void CaptureTo(std::string* sink) { sink_ = sink; }

  uint32_t nLogLines = 0;

 private:
  void VLogf(const char* fmt, va_list ap);

  AtomicFile file_;
  Counts counts_;
  FILE* hLogFile = nullptr;
  std::string* sink_ = nullptr;
};

}  // namespace tsl
