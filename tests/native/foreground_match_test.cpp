#include "dispatch/foreground_match.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_input.h"
#include "fakes/temp_dir.h"
#include "fakes/portable_ini_store.h"
#include "profiles/ini_paths.h"
#include "profiles/press_ini.h"
#include "profiles/profile_store.h"

namespace k7 {
namespace {

class FakeForeground : public IForegroundProcess {
 public:
  std::string ForegroundExeName() override { return exe; }
  bool ForegroundElevated() override { return elevated; }
  std::string exe;
  bool elevated = false;
};

class ForegroundMatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyBounded(g_szCtrlIniPath, dir.Path("QVCtrl.ini").c_str());
    CopyBounded(g_szUserDefIniPath, dir.Path("UserDef.ini").c_str());
    CopyBounded(g_szUserDefInfIniPath, dir.Path("UserDefInf.ini").c_str());
  }
  void Profile(const std::string& name, const std::string& exeFile, const std::string& slot33) {
    ini.WriteString(name.c_str(), "ExeFile", exeFile.c_str(), g_szUserDefIniPath);
    ini.WriteString(name.c_str(), "33", slot33.c_str(), g_szUserDefIniPath);
    ini.WriteString(name.c_str(), "33", (name + " caption").c_str(), g_szUserDefInfIniPath);
  }
  // A press of code 0 (slot 33) as the reader makes it.
  std::string Press() {
    input.events.clear();
    last = dispatcher.DispatchRemoteButton(0x00, kMarker, 0);
    return test::Describe(input.events);
  }

  test::TempDir dir;
  // Writes, as the user-interface thread or another program makes them.
  PortableIniStore ini;
  // The reader's reads, as the program makes them: one copy of each file a press.
  PortableFileReader reader;
  PressIniStore press{reader, ini};
  FakeForeground foreground;
  ForegroundProfileMatcher matcher{press, foreground};
  test::RecordingInput input;
  test::FakeLauncher launcher;
  Dispatcher dispatcher{{input, launcher, press, matcher, &press}};
  PressResult last;
};

TEST_F(ForegroundMatchTest, MatchesTheBaseNameWithoutRegardToCase) {
  Profile("WinDVD", "windvd.EXE", "0-A");
  for (const char* exe :
       {"C:\\Program Files\\InterVideo\\WinDVD\\WinDVD.exe", "WinDVD.exe", "WINDVD.EXE"}) {
    char cur[kNameLen] = "before";
    CHotkeyTable table;
    foreground.exe = exe;
    EXPECT_TRUE(matcher.MatchForegroundProfile(cur, table)) << exe;
    EXPECT_STREQ(cur, "WinDVD");
    EXPECT_EQ(table.Slot(33).byKey, 'A');
  }
  for (const char* exe : {"WinDVD", "WinDVD.exe.bak", "C:\\WinDVD.exe\\other.exe", "*.exe"}) {
    char cur[kNameLen] = "before";
    CHotkeyTable table;
    foreground.exe = exe;
    EXPECT_FALSE(matcher.MatchForegroundProfile(cur, table)) << exe;
    EXPECT_STREQ(cur, "before");  // kept when nothing matches
  }
}

TEST_F(ForegroundMatchTest, TheFirstProfileInListOrderWins) {
  Profile("Zeta", "IEXPLORE.EXE", "0-Z");
  Profile("Alpha", "iexplore.exe", "0-A");
  foreground.exe = "iexplore.exe";
  EXPECT_EQ(Press(), test::Describe({test::Down('Z'), test::Up('Z')}));
  EXPECT_STREQ(last.caption.text, "Zeta caption");
}

TEST_F(ForegroundMatchTest, NoProfilesOrAnUnknownProcessMatchNothing) {
  foreground.exe = "WinDVD.exe";
  EXPECT_EQ(Press(), "");
  EXPECT_TRUE(dispatcher.NoProfile());
  EXPECT_STREQ(last.caption.text, "");

  Profile("WinDVD", "WinDVD.exe", "0-A");
  foreground.exe = "notepad.exe";
  EXPECT_EQ(Press(), "");
  EXPECT_TRUE(dispatcher.NoProfile());
}

TEST_F(ForegroundMatchTest, AProcessWhoseNameIsUnknownMatchesAProfileWithoutExeFile) {
  Profile("Named", "named.exe", "0-N");
  ini.WriteString("Bare", "33", "0-B", g_szUserDefIniPath);  // no "ExeFile" at all
  foreground.exe = "";
  EXPECT_EQ(Press(), test::Describe({test::Down('B'), test::Up('B')}));
  EXPECT_STREQ(dispatcher.CurProfile(), "Bare");
}

// A program no profile names gets the first profile marked for all other
// programs; a program a profile names keeps that profile, wherever the mark is.
TEST_F(ForegroundMatchTest, TheMarkedProfileTakesOnlyWhatNoProfileNames) {
  struct P {
    const char* name;
    const char* exe;
    const char* mark;  // nullptr: no key
  };
  struct Row {
    const char* what;
    std::vector<P> profiles;
    const char* foreground;
    char want;  // the key sent; 0: no profile
  };
  const Row rows[] = {
      {"no mark anywhere", {{"A", "a.exe", nullptr}, {"B", "b.exe", nullptr}}, "x.exe", 0},
      {"marked, unnamed program", {{"A", "a.exe", nullptr}, {"B", "b.exe", "1"}}, "x.exe", 'B'},
      {"marked, its own program", {{"A", "a.exe", nullptr}, {"B", "b.exe", "1"}}, "b.exe", 'B'},
      {"marked later, earlier names it",
       {{"A", "x.exe", nullptr}, {"B", "b.exe", "1"}},
       "x.exe",
       'A'},
      {"marked earlier, later names it",
       {{"A", "a.exe", "1"}, {"B", "x.exe", nullptr}},
       "x.exe",
       'B'},
      {"two marked: the first",
       {{"A", "a.exe", nullptr}, {"B", "b.exe", "1"}, {"C", "c.exe", "1"}},
       "x.exe",
       'B'},
      {"value 0", {{"A", "a.exe", "0"}}, "x.exe", 0},
      {"value yes", {{"A", "a.exe", "yes"}}, "x.exe", 0},
      {"value 10", {{"A", "a.exe", "10"}}, "x.exe", 0},
      {"value empty", {{"A", "a.exe", ""}}, "x.exe", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    for (const char* name : {"A", "B", "C"}) {
      ini.WriteString(name, nullptr, nullptr, g_szUserDefIniPath);
      ini.WriteString(name, nullptr, nullptr, g_szUserDefInfIniPath);
    }
    for (const P& p : row.profiles) {
      Profile(p.name, p.exe, std::string("0-") + p.name);
      if (p.mark != nullptr) {
        ini.WriteString(p.name, kAllOtherProgramsKey, p.mark, g_szUserDefIniPath);
      }
    }
    foreground.exe = row.foreground;
    const std::string keys = Press();
    if (row.want == 0) {
      EXPECT_EQ(keys, "");
      EXPECT_TRUE(dispatcher.NoProfile());
    } else {
      EXPECT_EQ(keys, test::Describe({test::Down(row.want), test::Up(row.want)}));
      EXPECT_EQ(dispatcher.CurProfile(), std::string(1, row.want));
      EXPECT_EQ(last.caption.text, std::string(1, row.want) + " caption");
    }
  }
}

TEST_F(ForegroundMatchTest, SwitchingApplicationsAndEditsTakeEffectAtTheNextPress) {
  Profile("WinDVD", "WinDVD.exe", "0-A");
  foreground.exe = "WinDVD.exe";
  EXPECT_EQ(Press(), test::Describe({test::Down('A'), test::Up('A')}));
  foreground.exe = "explorer.exe";
  EXPECT_EQ(Press(), "");
  foreground.exe = "WinDVD.exe";
  ini.WriteString("WinDVD", "33", "0-C-Q", g_szUserDefIniPath);
  EXPECT_EQ(Press(), test::Describe(
                         {test::Down(kVkCtrl), test::Down('Q'), test::Up('Q'), test::Up(kVkCtrl)}));
}

// Another program (or a text editor) rewrites "UserDef.ini" between two
// presses: the second press takes the profiles and their order from the file
// as it now is, with the same rule as the settings list, whether the press
// reads a copy of the file or, when it cannot, goes through the API.
TEST_F(ForegroundMatchTest, HandEditsBetweenTwoPressesTakeEffectAtTheSecond) {
  const std::string x = "ExeFile=x.exe\n";
  const std::string tooLong(kMaxProfileName + 1, 'L');
  const struct {
    const char* what;
    std::string before, after;
    const char* first;  // the profile each press takes; "" none
    const char* second;
  } rows[] = {
      {"added", "[A]\nExeFile=a.exe\n", "[A]\nExeFile=a.exe\n[X]\n" + x, "", "X"},
      {"removed", "[X]\n" + x + "[Y]\n" + x, "[Y]\n" + x, "X", "Y"},
      {"renamed", "[Old]\n" + x, "[New]\n" + x, "Old", "New"},
      {"moved up", "[X]\n" + x + "[Y]\n" + x, "[Y]\n" + x + "[X]\n" + x, "X", "Y"},
      {"added with the mark", "[A]\nExeFile=a.exe\n",
       "[A]\nExeFile=a.exe\n[M]\nAllOtherPrograms=1\n", "", "M"},
      {"added, name too long to list", "[A]\nExeFile=a.exe\n",
       "[A]\nExeFile=a.exe\n[" + tooLong + "]\n" + x + "AllOtherPrograms=1\n", "", ""},
  };
  // A reader that never gives the bytes: the press reads through the API.
  struct NoCopies : IWholeFileReader {
    FileBytes ReadWhole(const char*, size_t) override { return {IniFileState::kUnsupported, {}}; }
  } noCopies;
  foreground.exe = "C:\\Apps\\x.exe";
  IWholeFileReader* const sources[] = {&reader, &noCopies};
  for (IWholeFileReader* source : sources) {
    PressIniStore files(*source, ini);
    ForegroundProfileMatcher m(files, foreground);
    Dispatcher d({input, launcher, files, m, &files});
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.what) + (source == &reader ? ", copy" : ", API"));
      std::string taken[2];
      for (int i = 0; i < 2; ++i) {
        dir.Write("UserDef.ini", i == 0 ? row.before : row.after);
        d.DispatchRemoteButton(0x00, kMarker, 0);
        taken[i] = d.NoProfile() ? "" : d.CurProfile();
      }
      EXPECT_EQ(taken[0], row.first);
      EXPECT_EQ(taken[1], row.second);
      EXPECT_EQ(files.SourceOf(g_szUserDefIniPath),
                source == &reader ? PressIniStore::Source::kCopy : PressIniStore::Source::kApi);
    }
  }
}

TEST_F(ForegroundMatchTest, ADeletedProfileIsNeverMatched) {
  Profile("WinDVD", "WinDVD.exe", "0-A");
  Profile("Backup", "WinDVD.exe", "0-B");
  foreground.exe = "WinDVD.exe";
  ini.WriteSection("WinDVD", "\0", g_szUserDefIniPath);
  ini.WriteSection("WinDVD", "\0", g_szUserDefInfIniPath);
  EXPECT_EQ(Press(), test::Describe({test::Down('B'), test::Up('B')}));
}

TEST_F(ForegroundMatchTest, LongNamesAreComparedWhole) {
  const std::string longExe = std::string(150, 'e') + ".exe";
  Profile("Cut", std::string(99, 'e'), "0-C");  // equals the first 99 characters only
  Profile("Whole", longExe, "0-W");
  foreground.exe = "C:\\Apps\\" + longExe;
  EXPECT_EQ(Press(), test::Describe({test::Down('W'), test::Up('W')}));
  foreground.exe = std::string(99, 'e');
  EXPECT_EQ(Press(), test::Describe({test::Down('C'), test::Up('C')}));
}

// The keys go out before the caption file is even read, and the matched
// profile's other descriptions are not read at all: a press shows only its own
// caption.
TEST_F(ForegroundMatchTest, KeysGoOutBeforeTheCaptionFileIsRead) {
  Profile("WinDVD", "WinDVD.exe", "0-A");
  foreground.exe = "WinDVD.exe";
  struct FirstKeyWatch : test::RecordingInput {
    void Send(const InputBatch& batch) override {
      if (events.empty()) captionsReadBefore = press->SourceOf(g_szUserDefInfIniPath);
      RecordingInput::Send(batch);
    }
    PressIniStore* press = nullptr;
    PressIniStore::Source captionsReadBefore = PressIniStore::Source::kCopy;
  } watch;
  watch.press = &press;
  Dispatcher watched({watch, launcher, press, matcher, &press});
  last = watched.DispatchRemoteButton(0x00, kMarker, 0);
  EXPECT_EQ(test::Describe(watch.events), test::Describe({test::Down('A'), test::Up('A')}));
  EXPECT_EQ(watch.captionsReadBefore, PressIniStore::Source::kNotRead);
  EXPECT_STREQ(last.caption.text, "WinDVD caption");
  EXPECT_STREQ(watched.HotkeyTable().Slot(33).szDescription, "");
  EXPECT_EQ(watched.HotkeyTable().Slot(33).byKey, 'A');
}

// Another thread rewrites a file of 100 long names while the reader presses:
// every press either matches a whole name of the file with that profile's own
// keys (or none yet), or nothing. Then a deleted profile is not matched at the
// next press.
TEST_F(ForegroundMatchTest, HundredLongNamesRewrittenWhilePressingAreNeverCut) {
  std::vector<std::string> names;
  for (int i = 0; i < 100; ++i) {
    std::string name = "P" + std::to_string(100 + i) + std::string(95, 'x');
    ASSERT_EQ(name.size(), 99u);
    Profile(name, i == 99 ? "WinDVD.exe" : "other" + std::to_string(i) + ".exe", "0-A");
    names.push_back(name);
  }
  ini.WriteString(names[99].c_str(), "33", "0-W", g_szUserDefIniPath);
  const std::string other = std::string(98, 'z') + "Z";
  foreground.exe = "WinDVD.exe";
  const std::string w = test::Describe({test::Down('W'), test::Up('W')});
  const std::string z = test::Describe({test::Down('Z'), test::Up('Z')});
  ASSERT_EQ(Press(), w);

  std::atomic<bool> done{false};
  std::thread ui([&] {
    for (int i = 0; i < 10; ++i) {
      // The last profile gives way to another for the same program, and back.
      ini.WriteString(names[99].c_str(), nullptr, nullptr, g_szUserDefIniPath);
      Profile(other, "WinDVD.exe", "0-Z");
      ini.WriteString(other.c_str(), nullptr, nullptr, g_szUserDefIniPath);
      Profile(names[99], "WinDVD.exe", "0-W");
    }
    done = true;
  });
  int presses = 0;
  std::string bad;
  while ((!done.load() || presses < 5) && bad.empty()) {
    const std::string keys = Press();
    const std::string cur = dispatcher.CurProfile();
    // A profile is written key by key: its hotkey may not be there yet.
    const bool ok = dispatcher.NoProfile() ? keys.empty()
                                           : (cur == names[99] && (keys == w || keys.empty())) ||
                                                 (cur == other && (keys == z || keys.empty()));
    if (!ok) bad = "press " + std::to_string(presses) + ": \"" + cur + "\" keys " + keys;
    ++presses;
  }
  ui.join();
  EXPECT_EQ(bad, "");
  ASSERT_EQ(Press(), w);

  ini.WriteString(names[99].c_str(), nullptr, nullptr, g_szUserDefIniPath);
  EXPECT_EQ(Press(), "");
  EXPECT_TRUE(dispatcher.NoProfile());
  EXPECT_EQ(press.ProfileNames(g_szUserDefIniPath)->size(), 99u);
}

// Windows drops injected input into a program of a higher integrity level,
// and a token this program may not read is such a program's. The match hands
// the verdict on for whatever is in front, listed or not, and the press shows
// it instead of sending keys.
TEST_F(ForegroundMatchTest, AnElevatedProgramInFrontGetsACaptionInsteadOfKeys) {
  const TokenIntegrity unread, low{true, 0x1000}, medium{true, 0x2000}, high{true, 0x3000},
      system{true, 0x4000};
  const struct {
    TokenIntegrity own, foreground;
    bool drops;
  } rows[] = {
      {medium, medium, false}, {medium, high, true},  {medium, unread, true},
      {medium, low, false},    {high, medium, false}, {high, system, true},
      {high, high, false},     {unread, high, false}, {unread, unread, false},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(DropsInjectedInput(r.own, r.foreground), r.drops)
        << r.own.read << std::hex << r.own.level << " " << r.foreground.read << r.foreground.level;
  }

  Profile("WinDVD", "WinDVD.exe", "0-A");
  for (const char* exe : {"C:\\Players\\WinDVD.exe", "Taskmgr.exe"}) {
    for (bool elevated : {false, true}) {
      SCOPED_TRACE(std::string(exe) + (elevated ? " elevated" : ""));
      foreground.exe = exe;
      foreground.elevated = elevated;
      const bool listed = exe[0] == 'C';
      EXPECT_EQ(Press(), listed && !elevated ? test::Describe({test::Down('A'), test::Up('A')})
                                             : std::string());
      EXPECT_EQ(matcher.ElevatedForeground(), elevated ? BaseName(exe) : "");
      if (listed) {
        EXPECT_STREQ(last.caption.text,
                     elevated ? "Run as admin to control WinDVD.exe" : "WinDVD caption");
      }
    }
  }
}

}  // namespace
}  // namespace k7
