#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter/handlers.h"
#include "interpreter/lexer.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

struct Lexed {
  std::vector<std::string> texts;
  bool tooLong = false;
};

Lexed Lex(const std::string& input, size_t size = 256, char terminator = ETX, bool show = false) {
  test::TempDir dir;
  InputFile in;
  EXPECT_TRUE(in.Open(dir.Write("in.plt", input)));
  Lexer lexer(in);
  std::vector<char> buf(size);
  Lexed out;
  uint16_t m;
  for (;;) {
    LexResult r = lexer.Next(buf.data(), buf.size(), &m, terminator, show);
    if (r == LexResult::End) break;
    if (r == LexResult::TooLong) {
      out.tooLong = true;
      break;
    }
    out.texts.emplace_back(buf.data());
  }
  return out;
}

using Texts = std::vector<std::string>;

TEST(Lexer, LettersStartCommandsInEitherCase) {
  EXPECT_EQ(Lex("PA10,10PD20,20;").texts, (Texts{"PA10,10", "PD20,20"}));
  EXPECT_EQ(Lex("pa10,10pd20,20;").texts, (Texts{"PA10,10", "PD20,20"}));
  EXPECT_EQ(Lex(" ;;12 IN;SP1;").texts, (Texts{"IN", "SP1"}));
}

TEST(Lexer, LineBreaksVanishInsideCommandsAndBetweenMnemonicLetters) {
  EXPECT_EQ(Lex("PD\r\n10,10;").texts, (Texts{"PD10,10"}));
  EXPECT_EQ(Lex("P\r\nA 1, 2;").texts, (Texts{"PA 1, 2"}));
  // A letter followed by no letter is given back and the search restarts.
  EXPECT_EQ(Lex("P1IN;").texts, (Texts{"IN"}));
}

TEST(Lexer, LabelsKeepSeparatorsUpToTheTerminator) {
  std::string label = "LBHello;World\x03PU;";
  EXPECT_EQ(Lex(label).texts, (Texts{"LBHello;World", "PU"}));
  EXPECT_EQ(Lex(label, 256, ETX, true).texts, (Texts{"LBHello;World ", "PU"}));
  EXPECT_EQ(Lex("LBA\r\nB#PU;", 256, '#', true).texts, (Texts{"LBA\r\nB#", "PU"}));
  EXPECT_EQ(Lex("LBno end").texts, (Texts{"LBno end"}));
}

TEST(Lexer, CommentsTakeAQuotedTextOrNothing) {
  EXPECT_EQ(Lex("CO\"a;b\";PU;").texts, (Texts{"CO\"a;b\"", "PU"}));
  EXPECT_EQ(Lex("CO;PU;").texts, (Texts{"CO", "PU"}));
  EXPECT_EQ(Lex("COAB;").texts, (Texts{"CO", "AB"}));
}

TEST(Lexer, OneByteCommandsAndMessages) {
  EXPECT_EQ(Lex("SM*PA1,2;").texts, (Texts{"SM*", "PA1,2"}));
  EXPECT_EQ(Lex("SM;DT#,1;").texts, (Texts{"SM", "DT#"}));
  EXPECT_EQ(Lex("MGhello world;PU").texts, (Texts{"MGhello world", "PU"}));
  EXPECT_EQ(Lex("PE<=\r\n5;PU").texts, (Texts{"PE<=5", "PU"}));
  EXPECT_EQ(Lex("PEab\x1b%0B").texts, (Texts{"PEab", "\x1b%0B"}));
}

TEST(Lexer, EscapeSequences) {
  EXPECT_EQ(Lex("\x1b" "E\x1b%-1BIN;").texts, (Texts{"\x1b" "E", "\x1b%-1B", "IN"}));
  EXPECT_EQ(Lex("\x1b&l1OPU;").texts, (Texts{"\x1b&l1O", "PU"}));
  // A blank ends the numeric field and is taken as the final character.
  EXPECT_EQ(Lex("\x1b% 0B;PU;").texts, (Texts{"\x1b% ", "PU"}));
  EXPECT_EQ(Lex("\x1bZ12XIN").texts, (Texts{"\x1bZ12X", "IN"}));
}

TEST(Lexer, AnExponentStaysWithItsNumber) {
  EXPECT_EQ(Lex("DI4.48966e-09,100;PA1E5EA2,3;").texts, (Texts{"DI4.48966e-09,100", "PA1E5", "EA2,3"}));
  // Only an E between a digit and a digit (or sign and digit) is an exponent.
  EXPECT_EQ(Lex("PA1,2EP;PA1e+EW5;").texts, (Texts{"PA1,2", "EP", "PA1", "EW5"}));
  EXPECT_EQ(Lex("PA,E5;").texts, (Texts{"PA,"}));
  // The bytes after the E may lie beyond the file's end.
  EXPECT_EQ(Lex("PA1e").texts, (Texts{"PA1"}));
  EXPECT_EQ(Lex("PA1e-").texts, (Texts{"PA1"}));
}

// Commands are cut in place while they lie whole in the read-ahead and
// byte by byte across its end: every place the end can fall must
// give the same commands.
TEST(Lexer, CommandsAcrossTheEndOfTheReadAhead) {
  const std::string tail = "pA1,2;P\r\nD3e2,4\nPU;SP1PA-5.5,6;P1IN;LBa;b\x03PR7\r\n,8";
  const Texts expected{"PA1,2", "PD3e2,4", "PU", "SP1", "PA-5.5,6", "IN", "LBa;b", "PR7,8"};
  for (size_t shift = 0; shift <= tail.size(); ++shift) {
    const std::string input = std::string(InputFile::kReadAhead - shift, ';') + tail;
    EXPECT_EQ(Lex(input).texts, expected) << "the read-ahead ends " << shift << " bytes into the commands";
  }
}

TEST(Lexer, ACommandThatReachesTheLastByteIsTooLong) {
  EXPECT_EQ(Lex("PA123456;", 10).texts, (Texts{"PA123456"}));
  EXPECT_TRUE(Lex("PA1234567;", 10).tooLong);
  // Line breaks take no room: the same limits hold around them.
  EXPECT_EQ(Lex("PA12\r\n3456;PU;", 10).texts, (Texts{"PA123456", "PU"}));
  EXPECT_EQ(Lex("PA123456\r\n\r\n;PU;", 10).texts, (Texts{"PA123456", "PU"}));
  EXPECT_TRUE(Lex("PA12\r\n34567;PU;", 10).tooLong);
  EXPECT_TRUE(Lex("LBx\x03", 3).tooLong);
  EXPECT_TRUE(Lex("CO\"x\"", 4).tooLong);
  EXPECT_TRUE(Lex("CO\"x\"", 6).tooLong);
  EXPECT_FALSE(Lex("CO\"x\"", 7).tooLong);
}

}  // namespace
}  // namespace tsl
