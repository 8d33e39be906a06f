// What the DDE service decides without DDEML: the result record and its
// texts, the command line an execute becomes, which wild connects it
// answers, when the plug-in hears of progress.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "dde/tessella_dde.h"

namespace tsl::dde {

// The result of a run: `path` none (nullptr or empty) for a measure-only
// run or one that wrote nothing; longer paths are cut at 255 characters.
TSLData MakeTslData(const char* path, uint32_t width, uint32_t height);
// The record as it goes on the wire: 268 bytes, little-endian.
std::vector<uint8_t> TslDataBytes(const TSLData& data);
// File="path" Width=w Height=h
std::string ResultText(const TSLData& data);
// The reply to the item "Version": three lines joined by CR LF.
std::string VersionText();

// The extent of a drawing between `min` and `max`: 0 when nothing grew it
// (max below min), never a wrapped-around huge number.
uint32_t Extent(int32_t min, int32_t max);

// The command line an execute on "Convert" (parse false) or "Parse"
// becomes: "-DDE ", "-E " for Parse, then the command, at most 299
// characters in all.
std::string DdeCommandLine(bool parse, const std::string& command);
constexpr size_t kMaxDdeCommandLine = 299;
// The longest text a global atom holds, and so the longest command line
// the frame can be handed.
constexpr size_t kMaxAtomText = 255;

// A wild connect is answered for no topic, "Convert" or "Parse", and no
// service or ours; its pairs are (ours, Convert), (ours, Parse),
// (ours, Version).
enum class Topic { None, Convert, Parse, Version, Exit, Other };
bool AnswersWildConnect(Topic topic, bool serviceNoneOrOurs);
std::vector<Topic> WildConnectTopics();
Topic TopicOf(const char* name);  // nullptr: Topic::None

// The plug-in hears a percentage only when it differs from the last one it
// heard; after a run the next starts afresh.
class ProgressGate {
 public:
  bool Pass(int percent) {
    if (percent == last_) return false;
    last_ = percent;
    return true;
  }
  void Reset() { last_ = kNone; }

 private:
  static constexpr int kNone = 999;
  int last_ = kNone;
};

}  // namespace tsl::dde
