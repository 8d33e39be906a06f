#include "interpreter/plot_reader.h"

#include <cstring>

#include "interpreter/conversion_log.h"
#include "interpreter/fast_lane.h"
#include "interpreter/handlers.h"
#include "interpreter/lexer.h"
#include "interpreter/page_output.h"
#include "platform/progress.h"

namespace tsl {

namespace {
// Pen motion commands between two progress reports at most.
constexpr unsigned kMotionsPerReport = 256;

// Smaller buffers could not hold a mnemonic and its terminator.
constexpr size_t kMinCommandBuffer = 8;

void LogAborting(ConversionLog& log) { log.Logf("       %s aborting. Sorry!\n", "Tessella"); }

bool IsInitCommand(uint16_t m) {
  return m == Mnemonic('I', 'N') || m == Mnemonic('D', 'F') || m == Mnemonic('B', 'P');
}
}  // namespace

PlotReader::PlotReader(const SettingsSet& settings)
    : size_(settings.InitialCmdBuffer < kMinCommandBuffer ? kMinCommandBuffer
            : settings.InitialCmdBuffer > kMaxCommandBuffer ? kMaxCommandBuffer
                                                            : settings.InitialCmdBuffer) {}

size_t PlotReader::Allocate() {
  if (!TryResize(buffer_, size_)) return size_;
  if (!TryResize(args_, ArgsFor(size_))) return ArgsFor(size_) * sizeof(Arg);
  return 0;
}

void PlotReader::Attach(PlotterState& ps) {
  ps.pArgs = args_.data();
  ps.nArgsMax = static_cast<int32_t>(ArgsFor(size_));
}

bool PlotReader::Grow(PlotterState& ps) {
  size_t bigger = size_ * 2;
  // The smaller buffers go first, as room for the bigger ones.
  std::vector<char>().swap(buffer_);
  std::vector<Arg>().swap(args_);
  ps.pArgs = nullptr;
  ps.nArgsMax = 0;
  if (!TryResize(buffer_, bigger)) {
    failedAllocation_ = bigger;
    ps.log->Error("Error: Failed to allocate %u bytes of memory.\n", static_cast<unsigned>(bigger));
    return false;
  }
  if (!TryResize(args_, ArgsFor(bigger))) {
    failedAllocation_ = ArgsFor(bigger) * sizeof(Arg);
    ps.log->Error("Error: Failed to allocate %u bytes of memory.\n", static_cast<unsigned>(failedAllocation_));
    return false;
  }
  size_ = bigger;
  Attach(ps);
  return true;
}

template <class Command>
bool PlotReader::Guarded(PlotterState& ps, PageOutput& pages, Command&& command) {
  // A command that cannot get its memory ends the run as a buffer that
  // cannot grow does: what was drawn so far is closed and kept.
  try {
    command();
    return !pages.Stopped();
  } catch (const std::bad_alloc&) {
    failedAllocation_ = FailedAllocationSize();
    ps.log->Error("Error: Failed to allocate %u bytes of memory.\n", static_cast<unsigned>(failedAllocation_));
    LogAborting(*ps.log);
    ps.nErrors++;
    aborted_ = true;
    return false;
  }
}

bool PlotReader::Execute(PlotterState& ps, PageOutput& pages, uint16_t m, const char* text) {
  return Guarded(ps, pages, [&] {
    // The next page's metafile is made at its first drawing, by whichever
    // command draws it: any command may find that it could not be made.
    if (m == Mnemonic('P', 'G') && pages.SplitsPages())
      pages.NextPage();
    else
      FindHandler(m)(m, text, ps);
  });
}

bool PlotReader::Progress(PlotterState& ps, uint64_t end, bool* cancelled) {
  if (end >= pctTo_ || end < pctFrom_) {
    pct_ = fileSize_ ? static_cast<int>(end * 100 / fileSize_) : 100;
    if (pct_ > 100) pct_ = 100;
    // The offsets that still give pct_: from ceil(pct_ * size / 100) to
    // ceil((pct_ + 1) * size / 100).
    pctFrom_ = fileSize_ && pct_ < 100 ? (static_cast<uint64_t>(pct_) * fileSize_ + 99) / 100 : end;
    pctTo_ = fileSize_ && pct_ < 100 ? (static_cast<uint64_t>(pct_ + 1) * fileSize_ + 99) / 100 : end + 1;
  }
  if (ps.progress && !ps.progress->SetPct(pct_)) {
    ps.log->Error("CANCEL: Aborted by the user!\n");
    ps.nErrors++;
    if (cancelled) *cancelled = true;
    return false;
  }
  return true;
}

size_t PlotReader::TakePenMotion(PlotterState& ps, PageOutput& pages, const char* ahead, size_t avail,
                                 bool* cancelled, bool* go) {
  const uint64_t base = in_.Tell();
  size_t used = 0;
  PenMotionCommand motion;
  // Kept here while the stretch lasts (only a new buffer changes the first
  // three, and only between commands of other kinds).
  const size_t bufferSize = size_;
  Arg* const args = ps.pArgs;
  const int maxArgs = ps.nArgsMax;
  // Offsets only grow within a stretch: the report is due when the
  // percentage's span ends, or at once when the stretch begins before it
  // (after a step back).
  uint64_t reportAt = base < pctFrom_ ? 0 : pctTo_;
  unsigned quiet = quietMotions_;
  while (ReadPenMotion(ahead + used, avail - used, bufferSize, args, maxArgs, &motion)) {
    used += motion.consumed;
    const uint64_t end = base + used;
    // Pen motion reports when the percentage moves and every so many
    // commands between, which keeps a cancel prompt without a call per
    // command.
    if (end >= reportAt || ++quiet >= kMotionsPerReport) {
      quiet = 0;
      *go = Progress(ps, end, cancelled);
      reportAt = pctTo_;
      if (!*go) break;
    }
    if (motion.length > ps.cbLongest) ps.cbLongest = motion.length;
    if (motion.count == 0) {
      // A bare PU or PD draws nothing: no memory to run out of, no page to
      // begin.
      SetPenMode(motion.mnemonic, ps);
      ps.nExecuted++;
    } else if (!(*go = Guarded(ps, pages, [&] { DoPenMotion(motion.mnemonic, motion.count, ps); }))) {
      break;
    }
    ps.offCommand = static_cast<uint32_t>(end);
  }
  quietMotions_ = quiet;
  return used;
}

void PlotReader::Run(PlotterState& ps, PageOutput& pages, bool* cancelled) {
  Lexer lexer(in_);
  ConversionLog& log = *ps.log;
  fileSize_ = in_.Size();
  pct_ = 0;
  pctFrom_ = pctTo_ = 0;
  quietMotions_ = 0;
  const bool lane = FastLaneEnabled();
  for (;;) {
    // Pen motion in the common state skips the lexer and GetArgs.
    size_t avail;
    const char* ahead;
    if (lane && (ps.bMode & HPGL_MODE) && ps.fInitialized && (ahead = in_.Peek(&avail)) != nullptr) {
      bool go = true;
      const size_t used = TakePenMotion(ps, pages, ahead, avail, cancelled, &go);
      in_.Advance(used);
      if (!go) break;
      // The lane stopped at a command of another kind or at one the
      // read-ahead cuts: the general way takes it either way.
    }

    char* text = buffer_.data();
    uint16_t m = 0;
    LexResult r = lexer.Next(text, size_, &m, ps.chTerminator, ps.showTerminator != 0);
    if (r == LexResult::End) break;
    if (r == LexResult::TooLong) {
      in_.Seek(ps.offCommand);
      if (size_ > kMaxCommandBuffer - 1) {
        log.Error("Error: A single command may not exceed %u bytes.\n",
                 static_cast<unsigned>(kMaxCommandBuffer));
        log.Logf("       A command with %u bytes was found at offset 0x%lx\n",
                 static_cast<unsigned>(size_), static_cast<unsigned long>(ps.offCommand));
        LogAborting(log);
        ps.nErrors++;
        aborted_ = true;
        break;
      }
      if (!Grow(ps)) {
        LogAborting(log);
        ps.nErrors++;
        aborted_ = true;
        break;
      }
      continue;
    }

    const uint64_t end = in_.Tell();
    if (!Progress(ps, end, cancelled)) break;

    const bool escape = static_cast<char>(m & 0xFF) == ESC;
    if (!(ps.bMode & HPGL_MODE) && !escape) {
      log.Warning("Warning: Device not in HP-GL mode. Ignoring '%s' at offset 0x%lx\n", text,
               static_cast<unsigned long>(ps.offCommand));
      ps.nIgnored++;
    } else if (!ps.fInitialized && !escape && !IsInitCommand(m)) {
      log.Warning("Warning: Device not initialised: '%s' at offset 0x%lx\n", text,
               static_cast<unsigned long>(ps.offCommand));
      ps.nIgnored++;
    } else {
      int32_t len = static_cast<int32_t>(lexer.Length());
      if (len > ps.cbLongest) ps.cbLongest = len;
      if (!Execute(ps, pages, m, text)) break;
    }
    ps.offCommand = static_cast<uint32_t>(end);
  }
  // A read error looks like the end of the file to the lexer; the drawing
  // so far is kept, but it must not pass for the whole plot.
  if (in_.Failed()) {
    log.Error("Error: Reading the plot file failed at offset 0x%lx: %s\n", static_cast<unsigned long>(in_.Tell()),
             in_.ErrorText().c_str());
    LogAborting(log);
    ps.nErrors++;
    aborted_ = true;
  }
}

}  // namespace tsl
