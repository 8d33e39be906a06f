// The generated stroke table against the glyph list it was made from.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "labels/charset0.h"

namespace {

std::map<int, std::string> ReadGlyphList() {
  // The list lives beside the generated table in the source tree (found
  // from the test data, since __FILE__ may be relative under ccache).
  std::ifstream in(std::string(TESSELLA_TEST_DATA) + "/../../src/labels/charset0_glyphs.txt");
  std::map<int, std::string> glyphs;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    size_t space = line.find(' ');
    glyphs[std::stoi(line.substr(0, space))] = line.substr(space + 1);
  }
  return glyphs;
}

std::string Decode(const unsigned char* s) {
  std::ostringstream out;
  for (; *s; ++s) {
    tsl::StrokePoint p = tsl::DecodeStroke(*s);
    if (out.tellp() > 0) out << ' ';
    out << (p.draw ? 'D' : 'M') << '(' << p.x << ',' << p.y << ')';
  }
  return out.str();
}

TEST(Charset0, EveryGlyphDecodesToTheListedPoints) {
  std::map<int, std::string> glyphs = ReadGlyphList();
  ASSERT_EQ(glyphs.size(), 94u) << "glyph list not found or incomplete";
  for (int code = 0; code < 128; ++code) {
    auto it = glyphs.find(code);
    std::string listed = it == glyphs.end() ? "" : it->second;
    EXPECT_EQ(Decode(tsl::charset0[code]), listed) << "code " << code;
  }
}

TEST(Charset0, ControlsSpaceAndDeleteAreEmptyAndPrintablesAreNot) {
  for (int code = 0; code <= 32; ++code) EXPECT_EQ(tsl::charset0[code][0], 0) << code;
  EXPECT_EQ(tsl::charset0[127][0], 0);
  for (int code = 33; code < 127; ++code) EXPECT_NE(tsl::charset0[code][0], 0) << code;
}

TEST(Charset0, GlyphsStayInsideTheCell) {
  for (int code = 0; code < 128; ++code)
    for (const unsigned char* s = tsl::charset0[code]; *s; ++s) {
      tsl::StrokePoint p = tsl::DecodeStroke(*s);
      EXPECT_TRUE(p.x >= -1 && p.x <= 5 && p.y >= -2 && p.y <= 7) << "code " << code;
    }
}

}  // namespace
