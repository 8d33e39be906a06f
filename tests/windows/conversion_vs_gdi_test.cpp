// Whole conversions recorded twice, by our EmfRecorder and by GDI's own
// metafile DC, must give the same records: plot files that use every
// drawing command go through the real run, and the two streams are held
// together record by record by the rules of the hand-made scenes. A table
// per plot file shows what was compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "common/gdi/emf_reader.h"
#include "common/gdi/emf_types.h"
#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "shell/reference.h"
#include "support/collect_notices.h"
#include "support/temp_dir.h"
#include "windows/emf_walk.h"
#include "windows/gdi_recorder.h"
#include "windows/record_compare.h"

namespace tsl {
namespace {

struct Plot {
  const char* file;  // under tests/windows/data
  const char* what;
  void (*adjust)(SettingsSet&);
};

// Failures name the plot rather than its bytes.
void PrintTo(const Plot& p, std::ostream* out) { *out << p.file << " (" << p.what << ")"; }

void Defaults(SettingsSet&) {}
void StrokeFont(SettingsSet& s) { s.Set(DrawChars, true); }
void PageFrame(SettingsSet& s) { s.FramePicture = -1; }
void WideFrame(SettingsSet& s) { s.FramePicture = 5; }
void GdiArcs(SettingsSet& s) { s.Set(CompatibilityMode, false); }
void HighResolutionArcs(SettingsSet& s) {
  s.Set(CompatibilityMode, false);
  s.Set(HighResolution, true);
}

const Plot kPlots[] = {
    {"pixels/lines.plt", "PU PD PA PR, SP PW", Defaults},
    {"pixels/dashes.plt", "LT dashes: geometric pens", Defaults},
    {"pixels/gnuplot.plt", "gnuplot's hpgl: SR labels, SM", Defaults},
    {"pixels/pstoedit.plt", "pstoedit's hpgl2: turned labels, FP EP", Defaults},
    {"pixels/curves.plt", "CI, AA AR, BZ BR", Defaults},
    {"pixels/fills.plt", "FT hatch and solid, EA ER RA RR, EW WG, PM FP EP", Defaults},
    {"pixels/clipping.plt", "IW", Defaults},
    {"pixels/labels_truetype.plt", "LB in TrueType: DI SI SL LO CP", Defaults},
    {"pixels/labels_stroke.plt", "LB in the stroke font", StrokeFont},
    {"xcheck/encoded.plt", "PE with pens and pen-up moves, PT, LT0 dots, SM", Defaults},
    {"xcheck/encoded.plt", "the same, symbols in the stroke font", StrokeFont},
    {"xcheck/rotated.plt", "RO with lines, fills, IW and a label", Defaults},
    {"pixels/curves.plt", "circles and arcs by GDI (Arc)", GdiArcs},
    {"pixels/fills.plt", "wedges by GDI (Pie, ArcTo)", GdiArcs},
    {"pixels/clipping.plt", "in 0.01 mm (MM_HIMETRIC), circles by GDI", HighResolutionArcs},
    {"pixels/curves.plt", "the frame around the page", PageFrame},
    {"pixels/lines.plt", "the frame around the drawing, widened", WideFrame},
};

std::vector<uint8_t> Convert(const std::string& name, const std::string& plot, const SettingsSet& settings,
                             bool withGdi) {
  test::TempDir dir;
  std::string input = dir.Write(name, plot);
  FixedClock clock(1700000000);
  RunEnvironment env;
  env.clock = &clock;
  env.reference = shell::ScreenReference();
  if (withGdi)
    env.memoryRecorder = [](gdi::Objects& objects, const std::string& description, const gdi::ReferenceDevice&) {
      return test::CreateGdiRecorder(objects, description);
    };
  RunResult result;
  EXPECT_EQ(Tessella(settings, input, nullptr, dir.File("plot.log"), env, &result), 1);
  EXPECT_TRUE(result.metafileOk) << (withGdi ? "GDI's" : "ours");
  EXPECT_EQ(result.nErrors, 0) << "the plot should draw what it means to";
  return result.memoryMetafile;
}

std::string TypeName(uint32_t type) {
  const char* name = gdi::RecordName(type);
  return name ? name : "type " + std::to_string(type);
}

// How loosely the header's bounds can be compared, in device pixels; -1
// when not at all. Wine 8 leaves out the half pen width that Windows (and
// our writer) add around what a pen draws: as much as half the widest pen
// here. It maps the bounds of filled and stroked paths to the device twice,
// and it bounds text by the glyphs of the machine's fonts: no yardstick
// where there are paths or text.
int32_t BoundsSlack(const std::vector<test::RawRecord>& gdis) {
  double unitsPerMm = 10;  // MM_LOMETRIC
  uint32_t widest = 0;
  for (const test::RawRecord& r : gdis) {
    switch (r.type) {
      case gdi::EMR_FILLPATH: case gdi::EMR_STROKEPATH: case gdi::EMR_EXTTEXTOUTW: return -1;
      case gdi::EMR_SETMAPMODE:
        if (r.U32(8) == gdi::MM_HIMETRIC) unitsPerMm = 100;
        break;
      case gdi::EMR_CREATEPEN: widest = std::max(widest, r.U32(16)); break;
      default: break;
    }
  }
  const test::RawRecord& h = gdis.front();
  double pixelsPerMm = h.I32(72) / std::max(1.0, static_cast<double>(h.I32(80)));
  return static_cast<int32_t>(std::ceil(widest / 2.0 / unitsPerMm * pixelsPerMm)) + 1;
}

class ConversionVsGdi : public testing::TestWithParam<Plot> {};

TEST_P(ConversionVsGdi, RecordsAgree) {
  const Plot& p = GetParam();
  std::string plot = test::ReadFile(std::string(TESSELLA_WINDOWS_TEST_DATA) + "/" + p.file);
  ASSERT_FALSE(plot.empty()) << p.file;
  std::string name = p.file;
  name = name.substr(name.rfind('/') + 1);
  SettingsSet settings = DefaultSettings();
  settings.Set(Unattended, true);
  settings.Set(NoInfoMessages, true);
  p.adjust(settings);
  test::CollectNotices notices;

  auto ours = test::WalkEmf(Convert(name, plot, settings, false));
  auto gdis = test::WalkEmf(Convert(name, plot, settings, true));
  ASSERT_GE(ours.size(), 2u) << "ours is no sound EMF";
  ASSERT_GE(gdis.size(), 2u) << "GDI's is no sound EMF";
  uint32_t extraBytes = 0, extraRecords = 0;
  test::DropBrushOrigins(&ours, &extraBytes, &extraRecords);

  // Record by record while the types agree; a difference in type ends the
  // comparison, since what follows no longer pairs up.
  size_t compared = 0, identical = 0, extendedPens = 0;
  std::map<std::string, int> differing;
  std::string first;
  size_t n = std::min(ours.size(), gdis.size());
  for (size_t i = 1; i < n; ++i) {
    if (test::WineType(ours[i].type) != gdis[i].type) {
      ADD_FAILURE() << "record " << i << ": ours " << TypeName(ours[i].type) << ", GDI's "
                    << TypeName(gdis[i].type);
      break;
    }
    ++compared;
    if (ours[i].type != gdis[i].type) {
      // Wine's shorter record of an extended pen.
      extraBytes += static_cast<uint32_t>(ours[i].bytes.size() - gdis[i].bytes.size());
      ++extendedPens;
    }
    std::string why = test::RecordDifference(ours[i], gdis[i]);
    if (why.empty()) {
      ++identical;
      continue;
    }
    ++differing[TypeName(ours[i].type)];
    if (first.empty())
      first = "record " + std::to_string(i) + " " + TypeName(ours[i].type) + " (" + why + ")\n  ours: " +
              test::Hex(ours[i]) + "\n  GDI:  " + test::Hex(gdis[i]);
  }
  EXPECT_EQ(test::WineTypes(ours), test::Types(gdis)) << "the record types in order";
  int32_t slack = BoundsSlack(gdis);
  test::ExpectSameHeader(ours.front(), gdis.front(), slack, extraBytes, extraRecords);

  std::printf("%-28s %s\n  records: ours %zu, GDI's %zu; compared %zu, identical %zu", p.file, p.what,
              ours.size(), gdis.size(), compared, identical);
  if (extendedPens) std::printf("; extended pens %zu (Wine: EMR_CREATEPEN)", extendedPens);
  for (const auto& [type, count] : differing) std::printf("; differing %s %d", type.c_str(), count);
  if (slack < 0) std::printf("; header bounds not compared\n");
  else std::printf("; header bounds within %d px\n", slack);
  EXPECT_GT(compared, 10u) << "a conversion draws more than that";
  EXPECT_EQ(identical, compared) << "first difference: " << first;
}

INSTANTIATE_TEST_SUITE_P(Plots, ConversionVsGdi, testing::ValuesIn(kPlots));

}  // namespace
}  // namespace tsl
