// What every writer of files must do, as one suite run over each of them:
// the metafile recorder, the log, EMZ, the PNG export and the settings
// store all write through the one atomic writer and keep its guarantees
// (common/atomic_file.h).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/gdi/emf_reader.h"
#include "common/gdi/emf_recorder.h"
#include "common/ini_document.h"
#include "common/line_end.h"
#include "interpreter/conversion_log.h"
#include "output/emz.h"
#include "output/raster_export.h"
#include "platform/clock.h"
#include "platform/posix/settings_store_file.h"
#include "support/fault_plan.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FaultPlan;
using test::ReadFile;
using test::TempDir;

// One writer: writes variant `v` (0 or 1, different content) of its file
// at `path` and says whether it succeeded; tells a complete file of its
// kind from anything else.
struct Writer {
  const char* name;
  const char* file;
  bool (*write)(const std::string& path, int v);
  bool (*complete)(const std::string& bytes);
};

void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }

std::vector<uint8_t> Picture(int v) {
  gdi::Objects objects;
  auto dc = gdi::EmfRecorder::CreateMemory(objects, "", gdi::ReferenceDevice{});
  dc->SetMapMode(gdi::MM_LOMETRIC);
  for (int i = 0; i < 2000; ++i) dc->LineTo(i * (v + 1), i % 97);
  std::string error;
  dc->Close(&error);
  return dc->Bytes();
}

bool ParsesAsEmf(const std::string& bytes) {
  gdi::EmfReader reader;
  std::string why;
  return reader.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &why);
}

bool WriteEmf(const std::string& path, int v) {
  gdi::Objects objects;
  std::string error;
  auto dc = gdi::EmfRecorder::CreateFile(objects, path, "", gdi::ReferenceDevice{}, &error);
  if (!dc) return false;
  for (int i = 0; i < 20000; ++i) dc->LineTo(i * (v + 1), i % 97);  // a few buffers' worth
  return dc->Close(&error);
}

bool WriteLog(const std::string& path, int v) {
  ConversionLog log;
  if (!log.Create(path)) return false;
  for (int i = 0; i < 3000; ++i) log.Logf("line %d of variant %d\n", i, v);
  log.LogString("END\n");
  return log.Close();
}
bool CompleteLog(const std::string& bytes) {
  const std::string end = std::string("END") + kLineEnd;
  return bytes.size() > end.size() && bytes.compare(bytes.size() - end.size(), end.size(), end) == 0;
}

bool WriteEmz(const std::string& path, int v) {
  std::string source = path + ".source";
  std::vector<uint8_t> emf = Picture(v);
  std::string error;
  bool written = WriteFileAtomically(source, std::string(emf.begin(), emf.end()), &error);
  bool ok = written && CompressEMF(path, source, FixedClock(1700000000)) > 0;
  std::remove(source.c_str());
  return ok;
}
bool CompleteEmz(const std::string& bytes) {
  std::vector<uint8_t> out;
  std::string error;
  return GunzipBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 1 << 24, &out, &error) &&
         ParsesAsEmf(std::string(out.begin(), out.end()));
}

bool WritePng(const std::string& path, int v) {
  std::vector<uint8_t> emf = Picture(v);
  ExportRequest req;
  req.metafile = emf.data();
  req.metafileSize = emf.size();
  req.width = 300;
  req.height = 200;
  return EmfToPngFile(NoOneToTell(), req, DefaultSettings(), path) == 1;
}
bool CompletePng(const std::string& bytes) {
  return bytes.size() > 20 && bytes.compare(1, 3, "PNG") == 0 && bytes.compare(bytes.size() - 8, 4, "IEND") == 0;
}

// The store's own file: the folder is the path's.
bool WriteSettings(const std::string& path, int v) {
  FileSettingsStore store(path.substr(0, path.rfind('/')));
  return store.WriteNumber("Default", "PageWidth", 100 + static_cast<uint32_t>(v)).ok();
}
bool CompleteSettings(const std::string& bytes) {
  IniDocument doc = IniDocument::Parse(bytes);
  return doc.Find("Default", "PageWidth") != nullptr;
}

const Writer kWriters[] = {
    {"Emf", "p.emf", WriteEmf, ParsesAsEmf},
    {"Log", "p.log", WriteLog, CompleteLog},
    {"Emz", "p.emz", WriteEmz, CompleteEmz},
    {"Png", "p.png", WritePng, CompletePng},
    {"Settings", kSettingsFileName, WriteSettings, CompleteSettings},
};

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

void ExpectNoTemporaryFile(const TempDir& dir) {
  for (const std::string& name : dir.List()) EXPECT_EQ(name.find(".tmp"), std::string::npos) << "left behind: " << name;
}

class WriterContract : public ::testing::TestWithParam<Writer> {
 protected:
  std::string Path() const { return dir.File(GetParam().file); }
  bool Write(int v) const { return GetParam().write(Path(), v); }
  TempDir dir;
};

TEST_P(WriterContract, ANewFileIsCompleteWithTheUsualMode) {
  ASSERT_TRUE(Write(0));
  EXPECT_TRUE(GetParam().complete(ReadFile(Path())));
  mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(ModeOf(Path()), 0666u & ~mask);
  ExpectNoTemporaryFile(dir);
}

TEST_P(WriterContract, AReplacedFileKeepsItsMode) {
  ASSERT_TRUE(Write(0));
  const std::string first = ReadFile(Path());
  ASSERT_EQ(::chmod(Path().c_str(), 0604), 0);
  ASSERT_TRUE(Write(1));
  const std::string second = ReadFile(Path());
  EXPECT_TRUE(GetParam().complete(second));
  EXPECT_NE(second, first);
  EXPECT_EQ(ModeOf(Path()), 0604u);
}

TEST_P(WriterContract, ALinkStaysALinkAndTheFileItNamesIsWritten) {
  ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0755), 0);
  const std::string real = dir.File("real") + "/" + GetParam().file;
  ASSERT_TRUE(GetParam().write(real, 0));
  ASSERT_EQ(::symlink(real.c_str(), Path().c_str()), 0);
  ASSERT_TRUE(Write(1));
  EXPECT_TRUE(IsLink(Path()));
  EXPECT_TRUE(GetParam().complete(ReadFile(real)));
  EXPECT_EQ(ReadFile(Path()), ReadFile(real));

  // A link to a file that is not there yet makes it there.
  std::string later = dir.File("real") + "/later";
  std::string link = dir.File("link-to-later");
  ASSERT_EQ(::symlink("real/later", link.c_str()), 0);
  if (std::string(GetParam().file) != kSettingsFileName) {
    ASSERT_TRUE(GetParam().write(link, 0));
    EXPECT_TRUE(IsLink(link));
    EXPECT_TRUE(GetParam().complete(ReadFile(later)));
  }
  ExpectNoTemporaryFile(dir);
}

TEST_P(WriterContract, AReadOnlyFileIsKeptAsItIs) {
  ASSERT_TRUE(Write(0));
  const std::string before = ReadFile(Path());
  ASSERT_EQ(::chmod(Path().c_str(), 0444), 0);
  EXPECT_FALSE(Write(1));
  EXPECT_EQ(ReadFile(Path()), before);
  EXPECT_EQ(ModeOf(Path()), 0444u);
  ExpectNoTemporaryFile(dir);
}

// Every step of writing (create, each write, the flush to the disk, close,
// rename) made to fail in turn: the write fails and the older file stays.
TEST_P(WriterContract, EveryInjectedFailureKeepsTheOlderFile) {
  ASSERT_TRUE(Write(0));
  const std::string before = ReadFile(Path());
  const std::string file = GetParam().file;
  auto mine = [file](FileStep step, const std::string& path) {
    return test::AnyWriteStep(step, path) && test::EndsWith(path, "/" + file);
  };
  int steps = 0;
  {
    FaultPlan count(mine, -1);
    ASSERT_TRUE(Write(1));
    steps = count.seen();
  }
  ASSERT_GE(steps, 5) << "create, a write, sync, close and rename at least";
  for (int n = 0; n < steps; ++n) {
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(Path(), before, &error)) << error;
    FaultPlan plan(mine, n);
    EXPECT_FALSE(Write(1)) << "failing the " << plan.Describe();
    ASSERT_TRUE(plan.fired());
    EXPECT_EQ(ReadFile(Path()), before) << "failing the " << plan.Describe();
    ExpectNoTemporaryFile(dir);
  }
}

INSTANTIATE_TEST_SUITE_P(Each, WriterContract, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<Writer>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tsl
