// The virtual receiver's command language: what each line turns into, and
// which lines are refused.
#include "tools/remote-sim/command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace k7::sim {
namespace {

using Kind = ParsedLine::Kind;

TEST(RemoteSimNumber, AcceptsDecimalAndHexUpToTheLimit) {
  struct Case {
    const char* text;
    uint32_t max;
    std::optional<uint32_t> want;
  };
  const Case cases[] = {
      {"0", 255, 0u},
      {"255", 255, 255u},
      {"0x41", 255, 0x41u},
      {"0XfF", 255, 255u},
      {"007", 255, 7u},
      {"256", 255, std::nullopt},
      {"0x100", 255, std::nullopt},
      {"", 255, std::nullopt},
      {"0x", 255, std::nullopt},
      {"-1", 255, std::nullopt},
      {"+1", 255, std::nullopt},
      {"1a", 255, std::nullopt},
      {"0x1g", 255, std::nullopt},
      {" 1", 255, std::nullopt},
      {"65 ", 255, std::nullopt},
      {"86400000", kMaxMs, kMaxMs},
      {"86400001", kMaxMs, std::nullopt},
      // Must not wrap around on the way to the limit.
      {"99999999999999999999", kMaxMs, std::nullopt},
      {"0xFFFFFFFFFFFFFFFF41", 255, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseNumber(c.text, c.max), c.want) << '"' << c.text << '"';
  }
}

TEST(RemoteSimParse, CommandsBuildTheirReports) {
  struct Case {
    const char* line;
    Verb verb;
    Report report;
    uint32_t ms;
  };
  const Case cases[] = {
      {"press 0x41", Verb::kPress, {0, 0x41, 0x7F, 0, 0, 0, 0, 0}, 0},
      {"press 65 1", Verb::kPress, {0, 65, 0x7F, 1, 0, 0, 0, 0}, 0},
      {"  press\t7   0x80\r", Verb::kPress, {0, 7, 0x7F, 0x80, 0, 0, 0, 0}, 0},
      {"raw 1 2 3", Verb::kRaw, {0, 1, 2, 3, 0, 0, 0, 0}, 0},
      {"raw 0x10 0x20 0x30 4 5 6 255", Verb::kRaw, {0, 0x10, 0x20, 0x30, 4, 5, 6, 255}, 0},
      {"wait-client 2500", Verb::kWaitClient, {}, 2500},
      {"sleep 0x10", Verb::kSleep, {}, 16},
      {"unplug", Verb::kUnplug, {}, 0},
      {"plug", Verb::kPlug, {}, 0},
  };
  for (const Case& c : cases) {
    const ParsedLine p = ParseLine(c.line);
    ASSERT_EQ(p.kind, Kind::kCommand) << c.line << ": " << p.error;
    EXPECT_EQ(p.command.verb, c.verb) << c.line;
    EXPECT_EQ(p.command.report, c.report) << c.line;
    EXPECT_EQ(p.command.ms, c.ms) << c.line;
  }
  // A message is sent as written, whatever its length.
  const ParsedLine m = ParseLine("message 0 0x7F 255");
  ASSERT_EQ(m.kind, Kind::kCommand) << m.error;
  EXPECT_EQ(m.command.verb, Verb::kMessage);
  EXPECT_EQ(m.command.message, (std::vector<uint8_t>{0, 0x7F, 255}));
}

TEST(RemoteSimParse, BadLinesAreErrorsThatNameTheProblem) {
  struct Case {
    const char* line;
    const char* mentions;
  };
  const Case cases[] = {
      {"press", "usage: press"},
      {"press 1 2 3", "usage: press"},
      {"press 256", "\"256\""},
      {"press 0x41 -1", "\"-1\""},
      {"press x41", "\"x41\""},
      {"raw 1 2", "usage: raw"},
      {"raw 1 2 3 4 5 6 7 8", "usage: raw"},
      {"raw 1 2 300", "\"300\""},
      {"message", "usage: message"},
      {"message 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", "usage: message"},
      {"message 1 0x100", "\"0x100\""},
      {"wait-client", "usage: wait-client"},
      {"sleep 1 2", "usage: sleep"},
      {"sleep 86400001", "\"86400001\""},
      {"unplug now", "unplug takes no arguments"},
      {"plug 1", "plug takes no arguments"},
      {"PRESS 1", "unknown command \"PRESS\""},
      {"push 1", "unknown command \"push\""},
  };
  for (const Case& c : cases) {
    const ParsedLine p = ParseLine(c.line);
    ASSERT_EQ(p.kind, Kind::kError) << c.line;
    EXPECT_NE(p.error.find(c.mentions), std::string::npos) << c.line << " -> " << p.error;
  }
}

TEST(RemoteSimParse, BlankAndCommentLinesAreSilent) {
  for (const char* line : {"", "   ", "\t\r", "# press 1", "   #press 1", "#"}) {
    EXPECT_EQ(ParseLine(line).kind, Kind::kSilent) << '"' << line << '"';
  }
  // Only a leading '#' makes a comment.
  EXPECT_EQ(ParseLine("press 1 #2").kind, Kind::kError);
}

std::vector<std::string> Drain(LineSplitter& s) {
  std::vector<std::string> out;
  while (std::optional<std::string> line = s.Next()) out.push_back(*line);
  return out;
}

TEST(RemoteSimLines, SplitsOnLfAndCrLfAcrossChunks) {
  LineSplitter s;
  s.Feed("press 1\r\npre");
  EXPECT_EQ(Drain(s), (std::vector<std::string>{"press 1"}));
  s.Feed("ss 2\r");
  EXPECT_EQ(Drain(s), std::vector<std::string>{});
  s.Feed("\n\nunplug\nplug");
  EXPECT_EQ(Drain(s), (std::vector<std::string>{"press 2", "", "unplug"}));
  EXPECT_EQ(s.Rest(), std::optional<std::string>("plug"));
  EXPECT_EQ(s.Rest(), std::nullopt);
}

TEST(RemoteSimOptions, KnowsUnpluggedOnly) {
  std::string error;
  const char* none[] = {"x"};
  EXPECT_FALSE(ParseOptions(0, none, &error)->unplugged);
  const char* unplugged[] = {"--unplugged"};
  EXPECT_TRUE(ParseOptions(1, unplugged, &error)->unplugged);
  const char* bad[] = {"--unplugged", "--fast"};
  EXPECT_EQ(ParseOptions(2, bad, &error), std::nullopt);
  EXPECT_NE(error.find("--fast"), std::string::npos);
}

TEST(RemoteSimOptions, StampIsOffUnlessAskedForAndCombines) {
  std::string error;
  const char* plain[] = {"--unplugged"};
  EXPECT_FALSE(ParseOptions(1, plain, &error)->stamp);
  const char* both[] = {"--stamp", "--unplugged"};
  const std::optional<Options> o = ParseOptions(2, both, &error);
  ASSERT_NE(o, std::nullopt) << error;
  EXPECT_TRUE(o->stamp);
  EXPECT_TRUE(o->unplugged);
  const char* misspelt[] = {"--stamps"};
  EXPECT_EQ(ParseOptions(1, misspelt, &error), std::nullopt);
}

}  // namespace
}  // namespace k7::sim
