#include "support/handler_fixture.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace tsl::test {

HandlerFixture::HandlerFixture(const SettingsSet& s, bool measureOnly) : settings(s), args(256) {
  settings.Set(MeasureOnly, measureOnly);
  log.CaptureTo(&logText);
  ps.settings = &settings;
  ps.log = &log;
  ps.objects = &objects;
  ps.hdcMeta = measureOnly ? nullptr : &device;
  ps.pArgs = args.data();
  ps.nArgsMax = static_cast<int32_t>(args.size());
  ps.bMode = HPGL_MODE;
  std::copy(std::begin(settings.PenColor), std::end(settings.PenColor), std::begin(ps.crStart));
}

void HandlerFixture::Run(const std::string& text) {
  if (text.size() < 2) return;
  char a = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  char b = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
  uint16_t m = Mnemonic(a, b);
  FindHandler(m)(m, text.c_str(), ps);
}

void HandlerFixture::RunAll(const std::string& commands) {
  size_t start = 0;
  while (start < commands.size()) {
    size_t end = commands.find(';', start);
    if (end == std::string::npos) end = commands.size();
    std::string one = commands.substr(start, end - start);
    if (!one.empty()) Run(one);
    start = end + 1;
  }
}

void HandlerFixture::Init() {
  Run("IN");
  ClearRecords();
}

}  // namespace tsl::test
