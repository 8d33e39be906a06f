// Printing from the command line: the page written with --print-to, read
// back with poppler's tools, and the failures a user can meet.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <string>

#include "support/pdf_pages.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FileExists;
using test::FindInk;
using test::InkBox;
using test::IsDark;
using test::IsRed;
using test::PdfText;
using test::RgbPage;
using test::RunTessella;
using test::TempDir;

// A red rectangle of 4000 x 3000 units with a red outline (1.2 mm wide):
// 401.2 x 301.2 mm of red in the middle of a metafile frame of 408.2 x
// 308.2 mm (the extents and 41 units all round). Pen 1 at the end: the
// frame's corner dot is black.
const char kRedPlot[] = "IN;SP2;PA0,0;RA4000,3000;PD4000,0,4000,3000,0,3000,0,0;SP1;";
// Ten times smaller: 41.2 x 31.2 mm of red in a frame of 48.2 x 38.2 mm.
const char kSmallPlot[] = "IN;SP2;PA0,0;RA400,300;PD400,0,400,300,0,300,0,0;SP1;";

const std::map<std::string, std::string> kFixedTime = {{"SOURCE_DATE_EPOCH", "1700000000"}, {"TZ", "UTC"}};

// The page setup as the settings file keeps it (base values come before
// the first section).
void WritePageSetup(const TempDir& dir, const std::string& values) {
  mkdir(dir.File(".config").c_str(), 0755);
  dir.Write(".config/settings.ini", values);
}

class PrintToFile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HavePoppler()) GTEST_SKIP() << "pdftotext/pdftoppm not installed (scripts/setup.sh installs them)";
  }
  RgbPage Page(const std::string& pdf, int n = 1) {
    RgbPage page;
    EXPECT_TRUE(test::RenderPdfPage(pdf, n, 50, &page)) << pdf;
    return page;
  }
  TempDir dir;
};

TEST_F(PrintToFile, HeadingFooterAndTheFittedDrawing) {
  dir.Write("plan.plt", kRedPlot);
  WritePageSetup(dir, "FitToPage=dword:00000001\nPageHeading=\"&n - &d\"\nPageFooter=\"&v\"\n");
  auto run = RunTessella({"-v", "-P", "--print-to", "out.pdf", "plan.plt"}, dir.path(), kFixedTime);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("was printed into 'out.pdf'"), std::string::npos) << run.err;
  std::string text = PdfText(dir.File("out.pdf"));
  EXPECT_NE(text.find("plan.plt - 14. Nov 2023"), std::string::npos) << text;
  EXPECT_NE(text.find("Tessella 5.4.1110 - HP-GL Plot file conversion utility"), std::string::npos) << text;

  // A4; 10 mm margins are 230 dots of 600 dpi (9.74 mm). Fitted with its
  // proportions the frame is 190.5 mm wide (a scale of 0.4667), the red
  // 187.2 x 140.6 mm, centred, heading and footer being equally high.
  // Tolerance: 1 mm, two pixels of the 50 dpi picture.
  RgbPage page = Page(dir.File("out.pdf"));
  EXPECT_NEAR(page.width * 25.4 / 50, 210, 1);
  InkBox red = FindInk(page, IsRed);
  ASSERT_TRUE(red.found);
  EXPECT_NEAR(red.right - red.left, 187.2, 1);
  EXPECT_NEAR(red.bottom - red.top, 140.6, 1);
  EXPECT_NEAR((red.left + red.right) / 2, 105, 1);
  EXPECT_NEAR((red.top + red.bottom) / 2, 148.5, 1);
  // The heading's first line of ink just below the top margin, the
  // footer's last just above the bottom one.
  InkBox ink = FindInk(page, IsDark);
  ASSERT_TRUE(ink.found);
  EXPECT_GT(ink.top, 9.7 - 0.6);
  EXPECT_LT(ink.top, 9.7 + 3);
  EXPECT_LT(ink.bottom, 297 - 9.7 + 0.6);
  EXPECT_GT(ink.bottom, 297 - 9.7 - 3);
  EXPECT_LT(ink.top, red.top - 2);
}

TEST_F(PrintToFile, RecordedSizeAtTheTopLeftOrCentred) {
  dir.Write("small.plt", kSmallPlot);
  WritePageSetup(dir, "CenterOnPage=dword:00000000\n");
  auto run = RunTessella({"-B", "-PD", "--print-to", "left.pdf", "small.plt"}, dir.path(), kFixedTime);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");  // unattended: nothing to say
  InkBox red = FindInk(Page(dir.File("left.pdf")), IsRed);
  ASSERT_TRUE(red.found);
  // At its recorded size, the frame's corner on the margins' corner.
  EXPECT_NEAR(red.left, 9.74 + 3.5, 1);
  EXPECT_NEAR(red.top, 9.74 + 3.5, 1);
  EXPECT_NEAR(red.right - red.left, 41.2, 1);
  EXPECT_NEAR(red.bottom - red.top, 31.2, 1);

  WritePageSetup(dir, "");
  run = RunTessella({"-B", "-PD", "--print-to", "centre.pdf", "small.plt"}, dir.path(), kFixedTime);
  ASSERT_EQ(run.status, 0) << run.err;
  red = FindInk(Page(dir.File("centre.pdf")), IsRed);
  EXPECT_NEAR((red.left + red.right) / 2, 105, 1);
  EXPECT_NEAR((red.top + red.bottom) / 2, 148.5, 1);
  EXPECT_NEAR(red.right - red.left, 41.2, 1);
  EXPECT_EQ(PdfText(dir.File("centre.pdf")).find_first_not_of(" \n\f"), std::string::npos);  // no heading
}

TEST_F(PrintToFile, EveryFileAPageAndMetafilesAsTheyAre) {
  dir.Write("a.plt", kRedPlot);
  dir.Write("b.plt", kSmallPlot);
  WritePageSetup(dir, "PageHeading=\"&N\"\n");
  auto conv = RunTessella({"-B", "-j", "2", "-P", "a.plt", "b.plt", "--print-to", "both.pdf"}, dir.path());
  ASSERT_EQ(conv.status, 0) << conv.err;
  std::string text = PdfText(dir.File("both.pdf"));
  size_t a = text.find("A.PLT"), b = text.find("B.PLT");
  ASSERT_NE(a, std::string::npos) << text;
  ASSERT_NE(b, std::string::npos) << text;
  EXPECT_LT(a, b);  // in the order named, whatever -j says

  // -PM prints the metafiles of a folder (the .emf files, then .wmf).
  mkdir(dir.File("m").c_str(), 0755);
  ASSERT_EQ(rename(dir.File("a.emf").c_str(), dir.File("m/a.emf").c_str()), 0);
  ASSERT_EQ(rename(dir.File("b.emf").c_str(), dir.File("m/b.emf").c_str()), 0);
  auto pm = RunTessella({"-B", "-PM", "--print-to", "m.pdf", "m"}, dir.path());
  ASSERT_EQ(pm.status, 0) << pm.err;
  text = PdfText(dir.File("m.pdf"));
  EXPECT_NE(text.find("A.PLT"), std::string::npos) << text;
  EXPECT_NE(text.find("B.PLT"), std::string::npos) << text;
  InkBox second = FindInk(Page(dir.File("m.pdf"), 2), IsRed);
  EXPECT_NEAR(second.right - second.left, 41.2, 1);
}

TEST(PrintFailures, ToldAndCountedAsFailures) {
  TempDir dir;
  dir.Write("x.plt", kRedPlot);
  // No print service at all.
  auto none = RunTessella({"-PD", "--printer", "nosuch", "x.plt"}, dir.path(),
                          {{"CUPS_SERVER", dir.File("no-cupsd.sock")}});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("Error printing 'x.plt'"), std::string::npos) << none.err;
  EXPECT_TRUE(FileExists(dir.File("x.emf")));  // the conversion itself stands

  // Margins wider than the paper: nothing is printed, and no file made.
  WritePageSetup(dir, "LeftMargin=dword:00000096\nRightMargin=dword:00000096\n");
  auto wide = RunTessella({"-P", "--print-to", "x.pdf", "x.plt"}, dir.path());
  EXPECT_EQ(wide.status, 1);
  EXPECT_NE(wide.err.find("The margins leave no room for the drawing on the page."), std::string::npos)
      << wide.err;
  EXPECT_FALSE(FileExists(dir.File("x.pdf")));

  // Where to print, without anything to print.
  auto stray = RunTessella({"--print-to", "x.pdf", "x.plt"}, dir.path());
  EXPECT_EQ(stray.status, 2);
  EXPECT_NE(stray.err.find("--print-to"), std::string::npos);
  EXPECT_EQ(RunTessella({"-P", "--printer"}, dir.path()).status, 2);
}

}  // namespace
}  // namespace tsl
