// Metafiles streamed to files: the final name appears only after a
// successful Close, and a failure leaves nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "recording.h"

namespace tsl::test {
namespace {

using namespace gdi;
namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("tessella-gdi-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  fs::path path_;
};

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Draw(EmfRecorder& dc, Objects& objects, int lines) {
  dc.SetMapMode(MM_LOMETRIC);
  dc.SelectObject(objects.CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
  dc.MoveToEx(0, 0);
  for (int i = 0; i < lines; ++i) dc.LineTo(i % 1000, -(i % 777));
}

TEST(RecorderFile, TheFinalNameAppearsOnlyAfterCloseWithTheMemoryBytes) {
  TempFolder dir;
  const std::string path = dir.File("plan.emf");
  Objects objects;
  std::string error;
  auto dc = EmfRecorder::CreateFile(objects, path, kDescription, ReferenceDevice{}, &error);
  ASSERT_TRUE(dc) << error;
  Draw(*dc, objects, 20000);  // several times the write buffer
  ASSERT_EQ(dir.Names().size(), 1u);  // a temporary file beside the target
  EXPECT_NE(dir.Names()[0], "plan.emf");
  EXPECT_TRUE(dc->Bytes().empty());  // nothing kept in memory
  ASSERT_TRUE(dc->Close(&error)) << error;
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"plan.emf"});

  Objects objects2;
  auto mem = EmfRecorder::CreateMemory(objects2, kDescription);
  Draw(*mem, objects2, 20000);
  ASSERT_TRUE(mem->Close(&error));
  const std::vector<uint8_t> file = ReadAll(path);
  EXPECT_EQ(file, mem->Bytes());
  EXPECT_EQ(dc->Summary().nBytes, file.size());
  EXPECT_EQ(dc->Summary().nRecords, mem->Summary().nRecords);
}

TEST(RecorderFile, AbandonedRecordingLeavesNothingAndKeepsAnOlderFile) {
  TempFolder dir;
  const std::string path = dir.File("old.emf");
  std::ofstream(path) << "older picture";
  {
    Objects objects;
    std::string error;
    auto dc = EmfRecorder::CreateFile(objects, path, "", ReferenceDevice{}, &error);
    ASSERT_TRUE(dc) << error;
    Draw(*dc, objects, 100);
  }  // destroyed without Close
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"old.emf"});
  const std::vector<uint8_t> kept = ReadAll(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "older picture");

  Objects objects;
  std::string error;
  auto dc = EmfRecorder::CreateFile(objects, path, "", ReferenceDevice{}, &error);
  ASSERT_TRUE(dc && dc->Close(&error)) << error;
  EmfReader reader;
  const std::vector<uint8_t> replaced = ReadAll(path);
  EXPECT_TRUE(reader.Parse(replaced.data(), replaced.size(), &error)) << error;
}

TEST(RecorderFile, CreationFailureGivesTheSystemsText) {
  TempFolder dir;
  Objects objects;
  std::string error;
  auto dc = EmfRecorder::CreateFile(objects, dir.File("missing/plan.emf"), "", ReferenceDevice{}, &error);
  EXPECT_FALSE(dc);
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(dir.Names().empty());
}

TEST(RecorderFile, ANameTakenByAFolderIsRefusedBeforeAnythingIsWritten) {
  TempFolder dir;
  const std::string path = dir.File("taken");
  fs::create_directories(fs::path(path) / "inside");  // a folder holds the name
  Objects objects;
  std::string error;
  auto dc = EmfRecorder::CreateFile(objects, path, "", ReferenceDevice{}, &error);
  EXPECT_FALSE(dc);
  EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"taken"});
  EXPECT_TRUE(fs::is_directory(path));
}

#ifdef __linux__
long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(RecorderFile, MemoryStaysFlatHoweverManyRecords) {
  TempFolder dir;
  const std::string path = dir.File("big.emf");
  const long before = PeakKilobytes();
  {
    Objects objects;
    std::string error;
    auto dc = EmfRecorder::CreateFile(objects, path, "", ReferenceDevice{}, &error);
    ASSERT_TRUE(dc) << error;
    Draw(*dc, objects, 2000000);  // 32 MB of records
    ASSERT_TRUE(dc->Close(&error)) << error;
  }
  EXPECT_GT(fs::file_size(path), 32000000u);
  EXPECT_LT(PeakKilobytes() - before, 16 * 1024);
}
#endif

#ifndef _WIN32
// A write that fails part way (the file size limit stands in for a full
// disk) fails Close and leaves no file. Run in a child process, since the
// limit applies to the whole process.
TEST(RecorderFile, AFailedWriteFailsCloseAndLeavesNothing) {
  TempFolder dir;
  const std::string path = dir.File("full.emf");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{256 * 1024, 256 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    Objects objects;
    std::string error;
    auto dc = EmfRecorder::CreateFile(objects, path, "", ReferenceDevice{}, &error);
    if (!dc) _exit(2);
    Draw(*dc, objects, 100000);  // 1.6 MB of LineTo
    if (dc->Close(&error)) _exit(3);
    if (error.empty()) _exit(4);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(dir.Names().empty());
}
#endif

}  // namespace
}  // namespace tsl::test
