#include "profiles/press_ini.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <new>
#include <string>
#include <thread>

#include "fakes/portable_ini_store.h"
#include "fakes/temp_dir.h"

using namespace std::string_literals;

namespace {

using Source = k7::PressIniStore::Source;

std::string Get(k7::IIniStore& ini, const std::string& file, const char* section, const char* key,
                uint32_t size = 256, const char* def = "dflt") {
  std::string out(size, '#');
  const uint32_t n = ini.GetString(section, key, def, out.data(), size, file.c_str());
  return std::to_string(n) + ":" + out;  // the whole buffer, count included
}

// The per-press store over real files answers exactly as the portable store
// does on the same bytes (which the differential test holds to the API).
TEST(PressIniStore, AnswersAsThePortableStore) {
  k7::test::TempDir dir;
  const std::string sample =
      "top=1\r\n[Sec]\r\nkey=value\r\n Spaced = v \r\ndq=\"quoted\"\r\nnum=0x1F\r\n;c=1\r\n"
      "dup=1\r\ndup=2\r\n[sec]\r\nkey=second\r\n[Other]\r\nk=" +
      std::string(300, 'x') + "\r\n";
  const std::string file = dir.Write("t.ini", sample);
  const std::string missing = dir.Path("none.ini");
  k7::PortableIniStore port;
  k7::PortableFileReader reader;
  k7::PressIniStore press(reader, port);
  press.BeginPress();
  for (const std::string& f : {file, missing}) {
    for (const char* section : {"Sec", " SEC ", "Other", "", "NoSuch"}) {
      for (const char* key : {"key", "Spaced", "dq", "num", ";c", "dup", "k", "top", "none"}) {
        for (uint32_t size : {1u, 2u, 5u, 256u, 400u}) {
          EXPECT_EQ(Get(press, f, section, key, size), Get(port, f, section, key, size))
              << f << " [" << section << "] " << key << " " << size;
        }
        EXPECT_EQ(press.GetInt(section, key, -3, f.c_str()),
                  port.GetInt(section, key, -3, f.c_str()));
      }
      for (uint32_t size : {1u, 2u, 3u, 9u, 512u}) {
        std::string a(size, '#'), b(size, '#');
        EXPECT_EQ(press.GetSection(section, a.data(), size, f.c_str()),
                  port.GetSection(section, b.data(), size, f.c_str()));
        EXPECT_EQ(a, b) << section << " " << size;
      }
    }
    for (uint32_t size : {1u, 2u, 4u, 8u, 512u}) {
      std::string a(size, '#'), b(size, '#');
      EXPECT_EQ(press.GetSectionNames(a.data(), size, f.c_str()),
                port.GetSectionNames(b.data(), size, f.c_str()));
      EXPECT_EQ(a, b) << size;
    }
  }
  // All of that from one read of each file.
  EXPECT_EQ(press.file_reads(), 2u);
}

TEST(PressIniStore, EachPressReadsEachFileOnceAndSeesEveryEdit) {
  k7::test::TempDir dir;
  const std::string def = dir.Write("UserDef.ini", "[P]\r\nExeFile=AAA.exe\r\n0=0-F1\r\n");
  const std::string inf = dir.Write("UserDefInf.ini", "[P]\r\n0=Play\r\n");
  k7::PortableIniStore port;
  k7::PortableFileReader reader;
  k7::PressIniStore press(reader, port);

  press.BeginPress();
  EXPECT_EQ(press.SourceOf(def.c_str()), Source::kNotRead);
  for (int i = 0; i < 34; ++i) {
    EXPECT_EQ(Get(press, def, "P", "ExeFile"), Get(port, def, "P", "ExeFile"));
    EXPECT_EQ(Get(press, inf, "P", "0"), Get(port, inf, "P", "0"));
  }
  EXPECT_EQ(press.file_reads(), 2u);
  EXPECT_EQ(press.SourceOf(def.c_str()), Source::kCopy);

  // Same size, same modification time: only the bytes tell the edit apart.
  const auto stamp = std::filesystem::last_write_time(def);
  dir.Write("UserDef.ini", "[P]\r\nExeFile=BBB.exe\r\n0=0-F2\r\n");
  dir.Write("UserDefInf.ini", "[P]\r\n0=Stop\r\n");
  std::filesystem::last_write_time(def, stamp);
  press.BeginPress();
  char value[32];
  press.GetString("P", "ExeFile", "", value, sizeof value, def.c_str());
  EXPECT_STREQ(value, "BBB.exe");
  press.GetString("P", "0", "", value, sizeof value, def.c_str());
  EXPECT_STREQ(value, "0-F2");
  press.GetString("P", "0", "", value, sizeof value, inf.c_str());
  EXPECT_STREQ(value, "Stop");
  EXPECT_EQ(press.file_reads(), 4u);
  EXPECT_EQ(press.parses(), 4u);

  // Unchanged bytes are read but not parsed again.
  press.BeginPress();
  press.GetString("P", "0", "", value, sizeof value, inf.c_str());
  EXPECT_STREQ(value, "Stop");
  EXPECT_EQ(press.file_reads(), 5u);
  EXPECT_EQ(press.parses(), 4u);

  // A profile removed between presses is gone at the next one.
  dir.Write("UserDef.ini", "[Q]\r\nExeFile=BBB.exe\r\n");
  press.BeginPress();
  press.GetString("P", "ExeFile", "", value, sizeof value, def.c_str());
  EXPECT_STREQ(value, "");
}

// A reader that hands out prepared results, one per read, and records whether
// the program's INI lock was free during each read: a read may hang (a
// network folder), and no write of the program may wait for it.
class ScriptedReader : public k7::IWholeFileReader {
 public:
  k7::FileBytes ReadWhole(const char*, size_t) override {
    // Another thread, as a write of the user-interface thread would.
    lockFree.push_back(std::async(std::launch::async, [] {
                         if (!k7::IniFilesLock().try_lock()) return false;
                         k7::IniFilesLock().unlock();
                         return true;
                       }).get());
    if (script.empty()) return {k7::IniFileState::kUnreadable, ""};
    k7::FileBytes next = script.front();
    script.pop_front();
    return next;
  }
  std::deque<k7::FileBytes> script;
  std::vector<bool> lockFree;
};

k7::FileBytes Bytes(const std::string& text) {
  return {k7::IniFileState::kRead, text};
}
const k7::FileBytes kBusy{k7::IniFileState::kUnreadable, ""};

// The API the press falls back to: every look-up answered from apiFile (its
// [P] k is "api"), the string reads counted.
struct CountingApi : k7::PortableIniStore {
  explicit CountingApi(const k7::test::TempDir& dir)
      : apiFile(dir.Write("api.ini", "[P]\r\nk=api\r\n")) {}
  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char*) override {
    ++reads;
    return k7::PortableIniStore::GetString(section, key, def, out, size, apiFile.c_str());
  }
  std::string apiFile;
  int reads = 0;
};

TEST(PressIniStore, BusyFileIsReadAgainThenThroughTheApiNeverTakenAsEmpty) {
  struct Case {
    const char* what;
    std::deque<k7::FileBytes> script;
    const char* expected;  // value of [P] k
    Source source;
    int reads;
  };
  const std::string text = "[P]\r\nk=copy\r\n";
  const Case cases[] = {
      {"readable", {Bytes(text)}, "copy", Source::kCopy, 1},
      {"busy, then readable", {kBusy, Bytes(text)}, "copy", Source::kCopy, 2},
      {"empty while rewritten, then readable", {Bytes(""), Bytes(text)}, "copy", Source::kCopy, 2},
      {"busy twice", {kBusy, kBusy}, "api", Source::kApi, 2},
      {"empty twice", {Bytes(""), Bytes("")}, "api", Source::kApi, 2},
      {"too large", {{k7::IniFileState::kTooLarge, ""}}, "api", Source::kApi, 1},
      {"UTF-16", {Bytes("\xFF\xFE[\0P\0]\0"s)}, "api", Source::kApi, 1},
      {"missing", {{k7::IniFileState::kMissing, ""}}, "dflt", Source::kCopy, 1},
  };
  for (const Case& c : cases) {
    ScriptedReader reader;
    reader.script = c.script;
    k7::test::TempDir dir;
    CountingApi api(dir);
    k7::PressIniStore press(reader, api);
    press.BeginPress();
    char value[16];
    press.GetString("P", "k", "dflt", value, sizeof value, "f.ini");
    EXPECT_STREQ(value, c.expected) << c.what;
    // Later look-ups of the press go the same way without reading again.
    press.GetString("P", "k", "dflt", value, sizeof value, "f.ini");
    EXPECT_STREQ(value, c.expected) << c.what;
    EXPECT_EQ(press.SourceOf("f.ini"), c.source) << c.what;
    EXPECT_EQ(press.file_reads(), uint64_t(c.reads)) << c.what;
    EXPECT_EQ(api.reads, c.source == Source::kApi ? 2 : 0) << c.what;
    for (bool free : reader.lockFree) EXPECT_TRUE(free) << c.what << ": a write waits for the read";
  }
}

// A file too big to copy, or a copy that runs out of memory, is read through
// the API for that press; nothing of it escapes the press.
TEST(PressIniStore, HostileSizesAreReadThroughTheApi) {
  k7::test::TempDir dir;
  std::string shortLines;
  for (int i = 0; shortLines.size() < (size_t{16} << 20); ++i) shortLines += "k\n";
  struct Throwing : k7::IWholeFileReader {
    k7::FileBytes ReadWhole(const char*, size_t) override { throw std::bad_alloc(); }
  };
  struct Case {
    const char* what;
    std::string bytes;  // of f.ini
    bool throws;
    Source source;
  };
  const Case cases[] = {
      {"16 MiB of short lines", shortLines, false, Source::kApi},
      {"3 MiB of short lines: too many keys", shortLines.substr(0, 3 << 20), false, Source::kApi},
      {"5 MiB in one value", "[P]\r\nk=" + std::string(5 << 20, 'v'), false, Source::kApi},
      {"no memory for the copy", "[P]\r\nk=copy\r\n", true, Source::kApi},
      {"an ordinary file", "[P]\r\nk=copy\r\n" + shortLines.substr(0, 1 << 18), false,
       Source::kCopy},
  };
  for (const Case& c : cases) {
    const std::string file = dir.Write("f.ini", c.bytes);
    k7::PortableFileReader portable;
    Throwing throwing;
    CountingApi api(dir);
    k7::PressIniStore press(c.throws ? static_cast<k7::IWholeFileReader&>(throwing) : portable,
                            api);
    press.BeginPress();
    char value[16];
    EXPECT_NO_THROW(press.GetString("P", "k", "dflt", value, sizeof value, file.c_str())) << c.what;
    EXPECT_STREQ(value, c.source == Source::kApi ? "api" : "copy") << c.what;
    EXPECT_EQ(press.SourceOf(file.c_str()), c.source) << c.what;
  }
}

TEST(PressIniStore, WritesGoToTheApiAndAreSeenByTheNextLookUp) {
  k7::test::TempDir dir;
  const std::string file = dir.Write("QVCtrl.ini", "[Default]\r\nOSD=1\r\n");
  k7::PortableIniStore port;
  k7::PortableFileReader reader;
  k7::PressIniStore press(reader, port);
  press.BeginPress();
  EXPECT_EQ(press.GetInt("Default", "OSD", 7, file.c_str()), 1);
  EXPECT_TRUE(press.WriteString("Default", "OSD", "0", file.c_str()));
  EXPECT_EQ(press.GetInt("Default", "OSD", 7, file.c_str()), 0);
  EXPECT_TRUE(press.WriteSection("Default", "OSD=2\0", file.c_str()));
  EXPECT_EQ(press.GetInt("Default", "OSD", 7, file.c_str()), 2);
  EXPECT_EQ(k7::test::TempDir::Read(file), "[Default]\r\nOSD=2\r\n");
}

// The program's own writes and the reader's whole-file reads, on two threads:
// every read sees one write or the next, never a file cut short.
TEST(PressIniStore, NeverSeesTheProgramsOwnWriteHalfDone) {
  k7::test::TempDir dir;
  std::string filler;
  for (int i = 0; i < 200; ++i) filler += "[F" + std::to_string(i) + "]\r\nk=v\r\n";
  const std::string file = dir.Write("UserDef.ini", "[A]\r\na=0\r\n" + filler + "[Z]\r\nz=0\r\n");
  std::atomic<bool> done{false};
  std::thread writes([&] {
    for (int i = 1; i <= 300; ++i) {
      // The same number at both ends of the file, in one write.
      const std::string n = std::to_string(i);
      k7::test::TempDir::Read(file);  // keeps the two threads interleaved
      std::lock_guard<std::mutex> lock(k7::IniFilesLock());
      // In pieces, as a writer may: each piece reaches the file on its own.
      std::ofstream out(file, std::ios::binary | std::ios::trunc);
      out << "[A]\r\na=" << n << "\r\n" << std::flush;
      out << filler << std::flush;
      out << "[Z]\r\nz=" << n << "\r\n";
    }
    done = true;
  });
  k7::PortableIniStore api;
  k7::PortableFileReader reader;
  k7::PressIniStore press(reader, api);
  int presses = 0;
  std::string torn;  // the first bad press; the loop stops there
  while ((!done.load() || presses < 10) && torn.empty()) {
    press.BeginPress();
    char a[16], z[16];
    press.GetString("A", "a", "missing", a, sizeof a, file.c_str());
    press.GetString("Z", "z", "missing", z, sizeof z, file.c_str());
    if (std::string(a) != z || press.SourceOf(file.c_str()) != Source::kCopy) {
      torn = "press " + std::to_string(presses) + ": a=" + a + " z=" + z;
    }
    ++presses;
  }
  writes.join();
  EXPECT_EQ(torn, "");
}

}  // namespace
