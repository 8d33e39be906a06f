#include "support/fuzz_entries.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#if !defined(_WIN32)  // no cairo renderer on Windows, where GDI plays metafiles
#include <cairo.h>
#endif

#include <cstdlib>

#include "common/gdi/emf_reader.h"
#if !defined(_WIN32)
#include "output/emf_renderer.h"
#endif
#include "output/emz.h"
#include "output/metafile_load.h"
#include "common/ini_document.h"
#include "settings/settings_file.h"
#include "support/handler_fixture.h"
#include "interpreter/args.h"
#include "interpreter/conversion_log.h"
#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "platform/notices.h"

namespace tsl::fuzz {

namespace {

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
  const bool parsed = reader.Parse(data, size, &error);
  if (parsed) (void)gdi::DumpEmf(reader);
  // Read record by record, the same bytes give the same records and the
  // same verdict.
  gdi::MemorySource source(data, size);
  gdi::EmfStreamReader stream(&source);
  gdi::EmfRecord r;
  size_t n = 0;
  auto step = stream.ReadHeader(&error) ? gdi::EmfStreamReader::Step::kRecord : gdi::EmfStreamReader::Step::kFault;
  while (step == gdi::EmfStreamReader::Step::kRecord &&
         (step = stream.Next(&r, &error)) == gdi::EmfStreamReader::Step::kRecord) {
    if (parsed && (n >= reader.Records().size() || reader.Records()[n].offset != r.offset ||
                   std::memcmp(reader.Records()[n].data, r.data, r.size) != 0))
      std::abort();
    ++n;
  }
  if ((step == gdi::EmfStreamReader::Step::kEnd) != parsed) {
    std::fprintf(stderr, "the stream reader and Parse disagree: %s\n", error.c_str());
    std::abort();
  }
}

void EmfRendering(const uint8_t* data, size_t size) {
#if !defined(_WIN32)
  // Drawn as it is read, damage and all: what comes before a fault is drawn.
  gdi::MemorySource source(data, size);
  gdi::EmfStreamReader reader(&source);
  std::string error;
  if (!reader.ReadHeader(&error)) return;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 48);
  cairo_t* cr = cairo_create(surface);
  RenderOptions options;
  options.timeLimit = 5;
  PlayEnhMetaFile(cr, reader, DestRect{0, 0, 64, 48}, options, &error);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
#else
  (void)data;
  (void)size;
#endif
}

void MetafileLoading(const uint8_t* data, size_t size) {
  std::vector<uint8_t> emf;
  std::string error;
  if (LoadMetaFileResource(data, size, &emf, &error)) {
    gdi::EmfReader reader;
    if (!reader.Parse(emf.data(), emf.size(), &error)) {
      std::fprintf(stderr, "a loaded metafile does not parse: %s\n", error.c_str());
      std::abort();
    }
    EmfRendering(emf.data(), emf.size());
  }
}

void Gunzip(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  std::string error;
  if (GunzipBytes(data, size, 1 << 20, &out, &error) && out.size() > (1u << 20)) std::abort();
}

void SettingsText(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  IniDocument doc = IniDocument::Parse(text);
  for (const std::string& section : doc.SectionNames())
    for (const std::string& key : doc.KeyNames(section)) (void)doc.Find(section, key);
  IniDocument again = IniDocument::Parse(doc.Serialize());
  if (again.SectionNames() != doc.SectionNames()) std::abort();

  // The same bytes imported as a .SET file into a store of their own.
  std::string folder = ScratchName(".config");
#if defined(_WIN32)
  _putenv_s("TESSELLA_CONFIG_DIR", folder.c_str());
#else
  setenv("TESSELLA_CONFIG_DIR", folder.c_str(), 1);
#endif
  std::string file = ScratchName(".set");
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  ImportSettings(NoOneToTell(), file.c_str(), size % 2 == 0);
  std::remove(file.c_str());
  std::remove((folder + "/settings.ini").c_str());
}

void PolylineEncoded(const uint8_t* data, size_t size) {
  if (size < 1) return;
  SettingsSet s = DefaultSettings();
  s.Set(MirrorX, data[0] & 1);
  s.Set(Rotate, data[0] & 2);
  s.Rotation = 90;
  test::HandlerFixture f(s, (data[0] & 4) != 0);
  f.Init();
  if (data[0] & 8) f.Run("SC0,1000,0,1000");
  std::string text = "PE" + std::string(reinterpret_cast<const char*>(data + 1), size - 1);
  text.resize(std::strlen(text.c_str()));
  f.Run(text);
}

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = {
      {"interpreter", Interpreter},
      {"getargs", GetArgsText},
      {"emf_reader", EmfReading},
      {"emf_render", EmfRendering},
      {"metafile_load", MetafileLoading},
      {"gunzip", Gunzip},
      {"settings_text", SettingsText},
      {"polyline_encoded", PolylineEncoded},
  };
  return targets;
}

}  // namespace tsl::fuzz
