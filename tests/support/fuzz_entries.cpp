#include "support/fuzz_entries.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/gdi/emf_reader.h"
#include "interpreter/args.h"
#include "interpreter/conversion_log.h"
#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "platform/notices.h"

namespace tsl::fuzz {

namespace {

class SilentNotices : public Notices {
 public:
  NoticeAnswer Show(const std::string&, const std::string&, NoticeIcon, NoticeButtons) override {
    return NoticeAnswer::No;
  }
};

uint32_t Take32(const uint8_t*& data, size_t& size) {
  uint32_t v = 0;
  for (int i = 0; i < 4 && size; ++i, ++data, --size) v |= static_cast<uint32_t>(*data) << (8 * i);
  return v;
}

std::string ScratchName(const char* ext) {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/tessella-fuzz-" + std::to_string(getpid()) + ext;
}

}  // namespace

void Interpreter(const uint8_t* data, size_t size) {
  static SilentNotices silent;
  SetNotices(&silent);
  SettingsSet s = DefaultSettings();
  s.Flags = Take32(data, size);
  uint32_t extra = Take32(data, size);
  s.InitialCmdBuffer = 8 + (extra & 0x3FF);
  s.FramePicture = static_cast<int16_t>((extra >> 10) & 0xFF) - 64;
  s.ScalePercent = (extra & 0x40000) ? 50.0f : 100.0f;
  s.Rotation = static_cast<uint16_t>(((extra >> 19) & 3) * 90);
  // Files beside the run would only slow the fuzzer down.
  s.Set(WriteColorFile, false);
  s.Set(AutoEMZ, false);

  std::string input = ScratchName(".plt"), log = ScratchName(".log");
  if (FILE* f = std::fopen(input.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  FixedClock clock(1700000000);
  RunEnvironment env;
  env.clock = &clock;
  RunResult result;
  Tessella(s, input, nullptr, log, env, &result);
  if (!result.memoryMetafile.empty()) {
    gdi::EmfReader reader;
    std::string error;
    if (!reader.Parse(result.memoryMetafile.data(), result.memoryMetafile.size(), &error)) {
      std::fprintf(stderr, "our own metafile does not parse: %s\n", error.c_str());
      std::abort();
    }
  }
  std::remove(input.c_str());
  std::remove(log.c_str());
  SetNotices(nullptr);
}

void GetArgsText(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(std::strlen(text.c_str()));
  Arg args[64];
  std::string sink;
  ConversionLog log;
  log.CaptureTo(&sink);
  int n = GetArgs(text.c_str(), args, 64, 0, &log);
  if (n < 0 || n > 64) std::abort();
}

void EmfReading(const uint8_t* data, size_t size) {
  gdi::EmfReader reader;
  std::string error;
  if (reader.Parse(data, size, &error)) (void)gdi::DumpEmf(reader);
}

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = {
      {"interpreter", Interpreter},
      {"getargs", GetArgsText},
      {"emf_reader", EmfReading},
  };
  return targets;
}

}  // namespace tsl::fuzz
