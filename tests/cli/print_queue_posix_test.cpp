// Printing on a real CUPS queue: the private cupsd with its cups-pdf queue
// that scripts/test.d/print.sh starts (these tests skip without it). What
// cups-pdf writes is read back as a person would look at it.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/gdi/emf_recorder.h"
#include "common/gdi/objects.h"
#include "support/pdf_pages.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FindInk;
using test::InkBox;
using test::IsRed;
using test::RunTessella;
using test::TempDir;

// The red rectangle of print_posix_test.cpp: 401.2 x 301.2 mm of red in a
// frame of 408.2 x 308.2 mm.
const char kRedPlot[] = "IN;SP2;PA0,0;RA4000,3000;PD4000,0,4000,3000,0,3000,0,0;SP1;";

std::vector<std::string> Pdfs(const std::string& folder) {
  std::vector<std::string> out;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() > 4 && n.compare(n.size() - 4, 4, ".pdf") == 0) out.push_back(folder + "/" + n);
    }
    closedir(d);
  }
  return out;
}

// The PDF of the queue whose name holds `part`; empty when there is none.
std::string PdfNamed(const std::string& folder, const char* part) {
  for (const std::string& p : Pdfs(folder))
    if (p.find(part) != std::string::npos) return p;
  return std::string();
}

// The text of a page printed under Wine. Its PostScript names the dash
// "hyphen", which pdftotext reads as a soft hyphen.
std::string WinePageText(const std::string& pdf) {
  std::string text = test::PdfText(pdf);
  for (size_t at; (at = text.find("\xC2\xAD")) != std::string::npos;) text.replace(at, 2, "-");
  return text;
}

bool QueueIdle() {
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen("lpstat -o 2>/dev/null", "r"), pclose);
  return p && std::fgetc(p.get()) == EOF;
}

// The PDF that a job left in the queue's folder, once the queue is idle.
std::string WaitForPdf(const std::string& folder, size_t before) {
  for (int i = 0; i < 300; ++i) {
    std::vector<std::string> pdfs = Pdfs(folder);
    if (pdfs.size() > before && QueueIdle()) {
      std::string newest;
      time_t when = 0;
      for (const std::string& p : pdfs) {
        struct stat st;
        if (stat(p.c_str(), &st) == 0 && st.st_mtime >= when) when = st.st_mtime, newest = p;
      }
      return newest;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return std::string();
}

// 10 mm in whole dots per millimetre, as the page layout measures margins.
double MarginMm(int dpi) { return static_cast<int>(dpi / 25.4) * 10 * 25.4 / dpi; }

class PrintQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* out = std::getenv("TESSELLA_CUPS_OUT");
    if (!out || !std::getenv("CUPS_SERVER"))
      GTEST_SKIP() << "no private print queue (scripts/test.d/print.sh starts one)";
    if (!test::HavePoppler()) GTEST_SKIP() << "pdftotext/pdftoppm not installed";
    out_ = out;
  }
  std::string out_;
  TempDir dir;
};

TEST_F(PrintQueue, DefaultQueueGetsHeadingFooterAndDrawing) {
  dir.Write("plan.plt", kRedPlot);
  mkdir(dir.File(".config").c_str(), 0755);
  dir.Write(".config/settings.ini", "FitToPage=dword:00000001\nPageHeading=\"&n - &d\"\nPageFooter=\"&v\"\n");
  size_t before = Pdfs(out_).size();
  auto run = RunTessella({"-B", "-PD", "plan.plt"}, dir.path(), {{"SOURCE_DATE_EPOCH", "1700000000"}, {"TZ", "UTC"}});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string pdf = WaitForPdf(out_, before);
  ASSERT_FALSE(pdf.empty()) << "cups-pdf wrote nothing into " << out_;
  EXPECT_NE(pdf.find("plan"), std::string::npos) << pdf;  // the job is named after the picture

  std::string text = test::PdfText(pdf);
  EXPECT_NE(text.find("plan.plt - 14. Nov 2023"), std::string::npos) << text;
  EXPECT_NE(text.find("Tessella 5.4.1110 - HP-GL Plot file conversion utility"), std::string::npos) << text;

  // The queue's paper is A4 at 300 dpi (its PPD's defaults): margins of
  // 110 dots, 9.31 mm. Fitted, the frame is 191.4 mm wide, the red
  // 188.1 x 141.2 mm, centred. Tolerance 1 mm (two pixels at 50 dpi).
  test::RgbPage page;
  ASSERT_TRUE(test::RenderPdfPage(pdf, 1, 50, &page));
  EXPECT_NEAR(page.width * 25.4 / 50, 210, 1);
  EXPECT_NEAR(page.height * 25.4 / 50, 297, 1);
  double scale = (210 - 2 * MarginMm(300)) / 408.2;
  InkBox red = FindInk(page, IsRed);
  ASSERT_TRUE(red.found);
  EXPECT_NEAR(red.right - red.left, 401.2 * scale, 1);
  EXPECT_NEAR(red.bottom - red.top, 301.2 * scale, 1);
  EXPECT_NEAR((red.left + red.right) / 2, 105, 1);
  EXPECT_NEAR((red.top + red.bottom) / 2, 148.5, 1);
}

TEST_F(PrintQueue, NamedQueueAndAMetafileWithoutDescription) {
  // A metafile without a description prints as "No Title".
  gdi::Objects objects;
  std::string error;
  auto rec = gdi::EmfRecorder::CreateFile(objects, dir.File("bare.emf"), "", {}, &error);
  ASSERT_TRUE(rec) << error;
  rec->SetMapMode(gdi::MM_LOMETRIC);
  rec->Rectangle(0, 0, 1000, -500);
  ASSERT_TRUE(rec->Close(&error)) << error;
  size_t before = Pdfs(out_).size();
  auto run = RunTessella({"-v", "-PM", "--printer", "Tessella_PDF", "bare.emf"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("'bare.emf' was sent to the printer 'Tessella_PDF'."), std::string::npos) << run.err;
  std::string pdf = WaitForPdf(out_, before);
  ASSERT_FALSE(pdf.empty());
  EXPECT_NE(pdf.find("No_Title"), std::string::npos) << pdf;

  auto missing = RunTessella({"-PM", "--printer", "Nowhere", "bare.emf"}, dir.path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("there is no printer named 'Nowhere'"), std::string::npos) << missing.err;
}

// The page that the Windows print thread sent under Wine
// (tests/windows/print_test.cpp): fitted, with heading and footer.
TEST_F(PrintQueue, PageFromWindows) {
  if (!std::getenv("TESSELLA_WINE_PRINTED")) GTEST_SKIP() << "run after the Windows tests (scripts/test.d/windows.sh)";
  std::string pdf = PdfNamed(out_, "wine_page");
  ASSERT_FALSE(pdf.empty()) << "no page from Wine in " << out_;
  std::string text = WinePageText(pdf);
  EXPECT_NE(text.find("wine_page.plt - "), std::string::npos) << text;
  EXPECT_NE(text.find("Tessella"), std::string::npos) << text;  // the footer, &V
  // A 100 x 75 mm picture fitted between margins of 10 mm (in whole dots
  // per millimetre of the printer: 9.3 to 9.8 mm): 190 to 191.5 mm wide,
  // 4 : 3, centred. Tolerance 1.5 mm: Wine's printer has its own font and
  // unprintable edges.
  test::RgbPage page;
  ASSERT_TRUE(test::RenderPdfPage(pdf, 1, 50, &page));
  InkBox red = FindInk(page, IsRed);
  ASSERT_TRUE(red.found);
  double w = red.right - red.left, h = red.bottom - red.top;
  EXPECT_NEAR(w, 190.7, 1.5);
  EXPECT_NEAR(w / h, 4.0 / 3, 0.02);
  EXPECT_NEAR((red.left + red.right) / 2, 105, 1.5);
  EXPECT_NEAR((red.top + red.bottom) / 2, 148.5, 1.5);
}

// The page the GUI driver printed from the window after its Page Setup:
// left margin 25 mm, fitted with its proportions, not centred, heading
// "&n - &d", footer "&V". A 100 x 75 mm drawing grows to the width between
// the margins and stays at the top; centred, it would sit mid-page.
TEST_F(PrintQueue, PageFromTheWindowsFrame) {
  if (!std::getenv("TESSELLA_WINE_PRINTED")) GTEST_SKIP() << "run after the Windows tests (scripts/test.d/windows.sh)";
  std::string pdf = PdfNamed(out_, "gui_page");
  ASSERT_FALSE(pdf.empty()) << "no page from the window in " << out_;
  std::string text = WinePageText(pdf);
  EXPECT_NE(text.find("gui_page.plt - "), std::string::npos) << text;
  EXPECT_NE(text.find("Tessella"), std::string::npos) << text;
  test::RgbPage page;
  ASSERT_TRUE(test::RenderPdfPage(pdf, 1, 50, &page));
  InkBox red = FindInk(page, IsRed);
  ASSERT_TRUE(red.found);
  double w = red.right - red.left, h = red.bottom - red.top;
  // The margin in whole dots per millimetre (23.3 mm at 300 dpi), plus the
  // blank edge of the drawing's frame, scaled.
  EXPECT_GT(red.left, 22.5);
  EXPECT_LT(red.left, 30);
  EXPECT_GT(w, 160) << "fitted to the page";
  EXPECT_NEAR(w / h, 4.0 / 3, 0.03);
  EXPECT_LT(red.top, 40) << "at the top, not centred";
}

}  // namespace
}  // namespace tsl
