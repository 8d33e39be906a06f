#include "dde/dde_logic.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "common/version.h"
#include "interpreter/tessella.h"

// The day this version was released, as the version reply names it.
#define TESSELLA_RELEASE_DATE "14 Feb 2018"

namespace tsl::dde {

namespace {
void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
// DDE string handles compare without regard to case.
bool Same(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}
}  // namespace

TSLData MakeTslData(const char* path, uint32_t width, uint32_t height) {
  TSLData d;
  std::memset(&d, 0, sizeof d);
  d.cbSize = TSL_DATA_SIZE;
  d.width = width;
  d.height = height;
  if (path) std::strncpy(d.szPath, path, TSL_DATA_PATH - 1);
  return d;
}

std::vector<uint8_t> TslDataBytes(const TSLData& data) {
  std::vector<uint8_t> bytes(TSL_DATA_SIZE, 0);
  PutLE32(&bytes[0], data.cbSize);
  PutLE32(&bytes[4], data.width);
  PutLE32(&bytes[8], data.height);
  std::memcpy(&bytes[12], data.szPath, TSL_DATA_PATH);
  bytes.back() = 0;  // the path stays terminated whatever the record held
  return bytes;
}

std::string ResultText(const TSLData& data) {
  std::string path(data.szPath, strnlen(data.szPath, TSL_DATA_PATH - 1));
  char sizes[64];
  std::snprintf(sizes, sizeof sizes, "\" Width=%u Height=%u", static_cast<unsigned>(data.width),
                static_cast<unsigned>(data.height));
  return "File=\"" + path + sizes;
}

std::string VersionText() {
  return std::string("Tessella " TESSELLA_VERSION_WORDS " (" TESSELLA_RELEASE_DATE ")\r\n") + kCopyright +
         "\r\nhttp://www.quillmark.com/tessella/";
}

uint32_t Extent(int32_t min, int32_t max) {
  return max > min ? static_cast<uint32_t>(static_cast<int64_t>(max) - min) : 0;
}

std::string DdeCommandLine(bool parse, const std::string& command) {
  std::string line = parse ? "-DDE -E " : "-DDE ";
  line += command.substr(0, strnlen(command.c_str(), command.size()));
  if (line.size() > kMaxDdeCommandLine) line.resize(kMaxDdeCommandLine);
  return line;
}

bool AnswersWildConnect(Topic topic, bool serviceNoneOrOurs) {
  return serviceNoneOrOurs && (topic == Topic::None || topic == Topic::Convert || topic == Topic::Parse);
}

std::vector<Topic> WildConnectTopics() { return {Topic::Convert, Topic::Parse, Topic::Version}; }

Topic TopicOf(const char* name) {
  if (!name) return Topic::None;
  if (Same(name, TSL_DDE_TOPIC_CONVERT)) return Topic::Convert;
  if (Same(name, TSL_DDE_TOPIC_PARSE)) return Topic::Parse;
  if (Same(name, TSL_DDE_TOPIC_VERSION)) return Topic::Version;
  if (Same(name, TSL_DDE_TOPIC_EXIT)) return Topic::Exit;
  return Topic::Other;
}

}  // namespace tsl::dde
