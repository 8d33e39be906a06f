// The welcome picture and the patch that writes the version into it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/gdi/emf_reader.h"
#include "output/metafile_load.h"
#include "shell/welcome_patch.h"

namespace tsl::shell {
namespace {

std::vector<uint8_t> Utf16(const std::string& s) {
  std::vector<uint8_t> v;
  for (char c : s) {
    v.push_back(static_cast<uint8_t>(c));
    v.push_back(0);
  }
  return v;
}

size_t Find(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle) {
  auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
  return it == hay.end() ? std::string::npos : static_cast<size_t>(it - hay.begin());
}

std::vector<uint8_t> WelcomeResource() {
  std::ifstream in(std::string(TESSELLA_RESOURCES) + "/welcome.emf", std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(WelcomePicture, TheVersionReplacesThePlaceholderAndThePictureStaysSound) {
  std::vector<uint8_t> emf = WelcomeResource();
  ASSERT_GT(emf.size(), 108u);
  std::vector<uint8_t> loaded;
  ASSERT_TRUE(LoadMetaFileResource(emf.data(), emf.size(), &loaded)) << "the resource is a metafile";
  size_t at = Find(emf, Utf16("#VERSION"));
  ASSERT_NE(at, std::string::npos);

  ASSERT_TRUE(PatchEnhMetafile(emf.data(), emf.size(), kVersionPlaceholder, kVersionFieldWidth, VersionText(), 'L'));
  EXPECT_EQ(Find(emf, Utf16("#VERSION")), std::string::npos);
  EXPECT_EQ(Find(emf, Utf16(PatchField("Version 5.4.1110", 32, 'L'))), at);
  gdi::EmfReader reader;
  std::string why;
  EXPECT_TRUE(reader.Parse(emf.data(), emf.size(), &why)) << why;
  EXPECT_NE(gdi::DumpEmf(reader).find("Version 5.4.1110"), std::string::npos);
}

TEST(WelcomePicture, FieldsAlignAndAreCut) {
  EXPECT_EQ(PatchField("abc", 8, 'L'), "abc     ");
  EXPECT_EQ(PatchField("abc", 8, 'R'), "     abc");
  EXPECT_EQ(PatchField("abc", 8, 'C'), "  abc   ");
  EXPECT_EQ(PatchField("abcdefghij", 4, 'R'), "abcd");
}

TEST(WelcomePicture, OnlyTheFirstMatchChangesAndNothingOutsideTheBytes) {
  std::vector<uint8_t> bytes(64, 0xEE);
  std::vector<uint8_t> ph = Utf16("#V");
  std::copy(ph.begin(), ph.end(), bytes.begin() + 3);  // odd offset: scanned byte by byte
  std::copy(ph.begin(), ph.end(), bytes.begin() + 30);
  ASSERT_TRUE(PatchEnhMetafile(bytes.data(), bytes.size(), "#V", 4, "xy", 'L'));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 3, bytes.begin() + 11), Utf16("xy  "));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 30, bytes.begin() + 34), ph) << "the second match stays";

  std::vector<uint8_t> none(40, 0xEE), before = none;
  EXPECT_FALSE(PatchEnhMetafile(none.data(), none.size(), "#V", 4, "xy", 'L'));
  EXPECT_EQ(none, before);

  // A placeholder too close to the end for the field: the bytes after the
  // picture would be overwritten, so nothing is written at all.
  std::vector<uint8_t> tail(24, 0xEE);
  std::copy(ph.begin(), ph.end(), tail.end() - 6);
  std::vector<uint8_t> tailBefore = tail;
  EXPECT_FALSE(PatchEnhMetafile(tail.data(), tail.size(), "#V", 8, "Version", 'L'));
  EXPECT_EQ(tail, tailBefore);
}

}  // namespace
}  // namespace tsl::shell
