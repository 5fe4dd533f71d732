#include "profiles/ini_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "fakes/portable_ini_store.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("k7-ini-" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Put(const std::string& bytes, const std::string& name = "t.ini") const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  static std::string Bytes(const std::string& path) {
    if (fs::is_directory(path)) return "<folder>";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  k7::PortableIniStore store_;
  fs::path dir_;
};

// Calls a reader with a buffer of `size` bytes followed by guard bytes, and
// checks the guards; returns what the first `want` bytes hold.
std::string Guarded(uint32_t size, size_t want, const std::function<void(char*)>& call) {
  std::vector<char> buf(size + 8, '#');
  call(buf.data());
  for (size_t i = size; i < buf.size(); ++i) EXPECT_EQ(buf[i], '#') << "byte " << i;
  return std::string(buf.data(), std::min<size_t>(want, size));
}

const std::string kSample =
    "top=1\r\n"
    "[Sec]\r\n"
    "key=value\r\n"
    "  Spaced Key   =   v  a  \r\n"
    "\x0b\x0c k \x1a= \x1a w \x0b\r\n"
    "dq=\"quoted\"\r\nsq='single'\r\nopen=\"unbalanced\r\nlone=\"\r\npair=\"\"\r\n"
    "noequals\r\nempty=\r\n;comment=5\r\ndup=first\r\ndup=second\r\n=nameless\r\n=dropped\r\n"
    "[ Padded ]\r\np=1\r\n"
    "[Trail] junk\r\nt=1\r\n[Unclosed\r\nu=2\r\n"
    "[a]b]\r\nab=1\r\n"
    "[sec]\r\nonly2=x\r\nkey=shadowed\r\n"
    "[\xC4rger]\r\nx=1\r\n"
    "[Nul]\r\nk=va\0lue\r\nk2=val  \0  \r\nke\0y3=v3\r\n"
    "[Lf]\nk=lf\n[Cr]\rk=cr\r[End]\r\nk=last"s;

struct ReadCase {
  const char* what;
  const char* section;
  const char* key;
  const char* def;
  uint32_t size;
  std::string want;
};

TEST_F(IniFileTest, GetStringFindsWhatTheApiFinds) {
  const ReadCase cases[] = {
      {"plain", "Sec", "key", "d", 100, "value"},
      {"names without regard to case", "sEC", "KEY", "d", 100, "value"},
      {"query names trimmed", " Sec\t", " key ", "d", 100, "value"},
      {"white space around names and values", "Sec", "spaced key", "d", 100, "v  a"},
      {"VT, FF and ^Z are white space", "Sec", "k", "d", 100, "w"},
      {"double quotes removed", "Sec", "dq", "d", 100, "quoted"},
      {"single quotes removed", "Sec", "sq", "d", 100, "single"},
      {"unmatched quote kept", "Sec", "open", "d", 100, "\"unbalanced"},
      {"lone quote kept", "Sec", "lone", "d", 100, "\""},
      {"empty quotes", "Sec", "pair", "d", 100, ""},
      {"line without = gives the default", "Sec", "noequals", "d", 100, "d"},
      {"empty value is not the default", "Sec", "empty", "d", 100, ""},
      {"comment lines answer a lookup", "Sec", ";comment", "d", 100, "5"},
      {"first duplicate key wins", "Sec", "dup", "d", 100, "first"},
      {"empty key name finds the nameless line", "Sec", "", "d", 100, "nameless"},
      {"only the first duplicate section is searched", "Sec", "only2", "d", 100, "d"},
      {"header name trimmed", "Padded", "p", "d", 100, "1"},
      {"text after ] ignored", "Trail", "t", "d", 100, "1"},
      {"unclosed header is a line of the section above", "Trail", "u", "d", 100, "2"},
      {"last ] closes the name", "a]b", "ab", "d", 100, "1"},
      {"case folding is ASCII only", "\xE4rger", "x", "d", 100, "d"},
      {"ASCII letters still fold", "\xC4RGER", "x", "d", 100, "1"},
      {"NUL ends a value", "Nul", "k", "d", 100, "va"},
      {"white space before a NUL stays", "Nul", "k2", "d", 100, "val  "},
      {"NUL ends a key name", "Nul", "ke", "d", 100, "v3"},
      {"LF line ends", "Lf", "k", "d", 100, "lf"},
      {"CR line ends", "Cr", "k", "d", 100, "cr"},
      {"no final newline", "End", "k", "d", 100, "last"},
      {"keys above the first header", "", "top", "d", 100, "1"},
      {"missing key", "Sec", "nokey", "default", 100, "default"},
      {"missing section", "NoSec", "key", "dd", 100, "dd"},
      {"default loses trailing spaces only", "Sec", "nokey", "  d\t  ", 100, "  d\t"},
      {"default of spaces keeps one", "Sec", "nokey", "   ", 100, " "},
      {"default loses its quotes", "Sec", "nokey", "'def'", 100, "def"},
      {"null default", "Sec", "nokey", nullptr, 100, ""},
      {"value cut to size - 1", "Sec", "key", "d", 4, "val"},
      {"size 1", "Sec", "key", "d", 1, ""},
      {"quoted value with room", "Sec", "dq", "d", 8, "quoted"},
      {"cut on the closing quote drops one more", "Sec", "dq", "d", 7, "quote"},
      {"cut before the closing quote", "Sec", "dq", "d", 6, "quote"},
      {"default cut", "Sec", "nokey", "default", 4, "def"},
  };
  const std::string file = Put(kSample);
  for (const ReadCase& c : cases) {
    uint32_t ret = 0;
    const std::string got = Guarded(c.size, c.want.size() + 1, [&](char* out) {
      ret = store_.GetString(c.section, c.key, c.def, out, c.size, file.c_str());
    });
    EXPECT_EQ(got, c.want + '\0') << c.what;
    EXPECT_EQ(ret, c.want.size()) << c.what;
  }
  EXPECT_EQ(store_.last_state(), k7::IniFileState::kRead);
}

TEST_F(IniFileTest, GetIntParsesAsTheApi) {
  // clang-format off
  const std::pair<std::string, int> cases[] = {
      {"12", 12}, {"-5", -5}, {"+7", 7}, {"0x1F", 31}, {"0X1F", 0}, {"0x", 0}, {"0b101", 5},
      {"0o17", 15}, {"017", 17}, {"12abc", 12}, {"abc", 0}, {"- 5", 0}, {"\"42\"", 42},
      {"'-3'", -3}, {"\x01\x02" "5", 5}, {"0x1g", 1}, {"-0x10", -16}, {"4294967295", -1},
      {"4294967296", 0}, {"2147483648", INT_MIN}, {"99999999999", 1215752191},
      {std::string(28, '0') + "9", 9},  // 29 characters are read
      {std::string(29, '0') + "9", 0},  // the 30th is not
      {"", 77},
  };
  // clang-format on
  for (const auto& [value, want] : cases) {
    const std::string file = Put("[I]\r\nk=" + value + "\r\nnoeq\r\n");
    EXPECT_EQ(store_.GetInt("I", "k", 77, file.c_str()), want) << "value '" << value << "'";
  }
  const std::string file = Put("[I]\r\nnoeq\r\n");
  EXPECT_EQ(store_.GetInt("I", "noeq", 77, file.c_str()), 77);
  EXPECT_EQ(store_.GetInt("I", "missing", -3, file.c_str()), -3);
}

struct ListCase {
  const char* section;
  uint32_t size;
  std::string want;
  uint32_t ret;
};

TEST_F(IniFileTest, GetSectionCutsAsTheApi) {
  const std::string file = Put(
      "[S]\r\na=1\r\nbb=22\r\nnoeq\r\nc=\r\n;comment\r\n=x\r\n[E]\r\n;only\r\n[s]\r\ndup=1\r\n");
  const std::string all = "a=1\0bb=22\0noeq\0c=\0=x\0\0"s;
  // clang-format off
  const ListCase cases[] = {
      {"S", 100, all, 21}, {"s", 100, all, 21},  // the first of the duplicates, any case
      {" S", 100, "\0\0"s, 0},                  // no trimming here
      {"E", 100, "\0\0"s, 0},                   // comments only
      {"none", 100, "\0\0"s, 0}, {"S", 2, "\0\0"s, 0}, {"S", 3, "a\0\0"s, 1},
      {"S", 6, "a=1\0\0\0"s, 4}, {"S", 10, "a=1\0bb=2\0\0"s, 8},
      {"S", 22, all, 20},  // an exact fit counts as cut
      {"S", 23, all, 21},
  };
  // clang-format on
  for (const ListCase& c : cases) {
    uint32_t ret = 0;
    const std::string got = Guarded(c.size, c.want.size(), [&](char* out) {
      ret = store_.GetSection(c.section, out, c.size, file.c_str());
    });
    EXPECT_EQ(got, c.want) << c.section << " size " << c.size;
    EXPECT_EQ(ret, c.ret) << c.section << " size " << c.size;
  }
}

TEST_F(IniFileTest, SectionNamesAndKeyListsCutAsTheApi) {
  const std::string file = Put("[a]\r\nk=1\r\nnoeq\r\nbb=2\r\n[]\r\nx=1\r\n[bb]\r\n[ccc]\r\n");
  // clang-format off
  const ListCase names[] = {
      {nullptr, 1, "\0"s, 0}, {nullptr, 2, "\0\0"s, 0}, {nullptr, 3, "a\0\0"s, 1},
      {nullptr, 4, "a\0\0\0"s, 2}, {nullptr, 5, "a\0b\0\0"s, 3},
      {nullptr, 10, "a\0bb\0ccc\0\0"s, 8},
      {nullptr, 11, "a\0bb\0ccc\0\0\0"s, 9},  // the buffer's last byte is always set
      {nullptr, 64, "a\0bb\0ccc\0\0"s, 9},
  };
  // clang-format on
  for (const ListCase& c : names) {
    uint32_t ret = 0;
    std::string got = Guarded(c.size, c.want.size(), [&](char* out) {
      ret = store_.GetSectionNames(out, c.size, file.c_str());
    });
    EXPECT_EQ(got, c.want) << "names size " << c.size;
    EXPECT_EQ(ret, c.ret) << "names size " << c.size;
    got = Guarded(c.size, c.want.size(), [&](char* out) {
      ret = store_.GetString(nullptr, "k", "d", out, c.size, file.c_str());
    });
    EXPECT_EQ(got.substr(0, c.ret + 1), c.want.substr(0, c.ret + 1)) << "string size " << c.size;
    EXPECT_EQ(ret, c.ret) << "string size " << c.size;
  }
  // Keys that have a value; the default (quotes removed, spaces kept) when none.
  const ListCase keys[] = {
      {"a", 64, "k\0bb\0\0"s, 5},  {"a", 5, "k\0b\0\0"s, 3},     {"a", 2, "d\0"s, 1},
      {"ccc", 64, "dflt  \0"s, 6}, {"none", 64, "dflt  \0"s, 6},
  };
  for (const ListCase& c : keys) {
    uint32_t ret = 0;
    const std::string got = Guarded(c.size, c.want.size(), [&](char* out) {
      ret = store_.GetString(c.section, nullptr, "'dflt  '", out, c.size, file.c_str());
    });
    EXPECT_EQ(got, c.want) << c.section << " size " << c.size;
    EXPECT_EQ(ret, c.ret) << c.section << " size " << c.size;
  }
}

using Op = std::function<bool(k7::IIniStore&, const char*)>;
Op Set(const char* s, const char* k, const char* v) {
  return [=](k7::IIniStore& st, const char* f) { return st.WriteString(s, k, v, f); };
}
Op SetSection(const char* s, std::string list) {
  return [=](k7::IIniStore& st, const char* f) { return st.WriteSection(s, list.c_str(), f); };
}

struct WriteCase {
  const char* what;
  std::string before;  // as Bytes() has it
  std::vector<Op> ops;
  std::string after;
};

TEST_F(IniFileTest, WritesLeaveTheBytesTheApiLeaves) {
  const std::string lf = "[S]\nk=v\n\n;c\n[T]\n x = y \nnoeq\n";
  const std::string missing = "<missing>";
  // clang-format off
  const WriteCase cases[] = {
      {"creates file, section and key", missing, {Set("Sec", "key", "value")},
       "[Sec]\r\nkey=value\r\n"},
      {"appends keys to their section, sections at the end", "[Sec]\r\nkey=value\r\n[Z]\r\n",
       {Set("Other", "a", "1"), Set("sec", "k2", "v2")},
       "[Sec]\r\nkey=value\r\nk2=v2\r\n[Z]\r\n[Other]\r\na=1\r\n"},
      {"replaces in place, keeps the name's case", "[Sec]\r\nKey=old\r\nnext=1\r\n",
       {Set("sec", "KEY", " \tnew")}, "[Sec]\r\nKey=new\r\nnext=1\r\n"},
      {"no change leaves the file as it is", lf, {Set("S", "k", "  v"), Set("S", "gone", nullptr),
       Set("Gone", nullptr, nullptr), SetSection("Gone", "\0"s)}, lf},
      {"a change rewrites all: CRLF, no blank lines, comments kept", lf, {Set("S", "k", "w")},
       "[S]\r\nk=w\r\n;c\r\n[T]\r\nx=y\r\nnoeq\r\n"},
      {"removes a key, a section", lf, {Set("S", "k", nullptr), Set("t", nullptr, nullptr)},
       "[S]\r\n;c\r\n"},
      {"a value for a line without =", lf, {Set("T", "noeq", "1")},
       "[S]\r\nk=v\r\n;c\r\n[T]\r\nx=y\r\nnoeq=1\r\n"},
      {"section list replaces the keys", lf, {SetSection("S", "a=1\0b = 2\0noeq\0 c=3\0"s)},
       "[S]\r\na=1\r\nb =2\r\nc=3\r\n[T]\r\nx=y\r\nnoeq\r\n"},
      {"empty list keeps the header", lf, {SetSection("S", "\0"s)},
       "[S]\r\n[T]\r\nx=y\r\nnoeq\r\n"},
      {"empty list, no file: nothing", missing, {SetSection("S", "\0"s)}, missing},
      {"odd list entries", missing, {SetSection("S", "=x\0=\0k=\0a==b\0"s)},
       "[S]\r\n=x\r\n=\r\nk=\r\na==b\r\n"},
      {"duplicates: set in the first, delete wherever found",
       "[D]\r\nk=1\r\nk=2\r\n[d]\r\nk=3\r\nm=4\r\n",
       {Set("D", "k", "X"), Set("D", "n", "Y"), Set("D", "m", nullptr)},
       "[D]\r\nk=X\r\nk=2\r\nn=Y\r\n[d]\r\nk=3\r\n"},
      {"duplicates: list empties all, delete takes the first",
       "[D]\r\nk=1\r\n[d]\r\nk=3\r\n[x]\r\n[D]\r\n",
       {SetSection("D", "z=9\0"s), Set("d", nullptr, nullptr)}, "[d]\r\n[x]\r\n[D]\r\n"},
      {"new names keep their trailing white space", missing, {Set("  Pad  ", "  pk  ", " pv ")},
       "[Pad  ]\r\npk  =pv \r\n"},
      {"nameless header dropped, lines above the first header kept",
       "top=1\r\n[]\r\ne=1\r\n[A]\r\n=x\r\n=y\r\n", {Set("A", "new", "1")},
       "top=1\r\ne=1\r\n[A]\r\n=x\r\nnew=1\r\n"},
      {"keys above the first header by the empty name", "top=1\r\n[A]\r\nx=1\r\n",
       {Set("", "new", "2")}, "top=1\r\nnew=2\r\n[A]\r\nx=1\r\n"},
      {"UTF-8 signature kept", "\xEF\xBB\xBF[S]\r\nk=v\r\n", {Set("S", "k2", "v2")},
       "\xEF\xBB\xBF[S]\r\nk=v\r\nk2=v2\r\n"},
      {"NUL bytes cut names on rewrite", "[S]\r\n\0abc\r\nk=1\r\n\0"s, {Set("S", "k", "2")},
       "[S]\r\n\r\nk=2\r\n\r\n"},
  };
  // clang-format on
  for (const WriteCase& c : cases) {
    const std::string file = Path("w.ini");
    fs::remove(file);
    if (c.before != missing) Put(c.before, "w.ini");
    for (const Op& op : c.ops) EXPECT_TRUE(op(store_, file.c_str())) << c.what;
    EXPECT_EQ(Bytes(file), c.after) << c.what;
  }
}

TEST_F(IniFileTest, EmptiedSectionIsListedButEmpty) {
  const std::string file = Put("[A]\r\nk=1\r\n[B]\r\nx=1\r\n");
  ASSERT_TRUE(store_.WriteSection("A", "\0", file.c_str()));
  char buf[64];
  EXPECT_EQ(store_.GetSection("A", buf, sizeof buf, file.c_str()), 0u);
  EXPECT_EQ(store_.GetSectionNames(buf, sizeof buf, file.c_str()), 4u);
  EXPECT_EQ(std::string(buf, 5), "A\0B\0\0"s);
}

TEST_F(IniFileTest, FilesItCannotUseGiveDefaultsAndAreNeverWritten) {
  k7::PortableIniStore small(64);
  const std::string big = Put("[S]\r\nk=" + std::string(100, 'v') + "\r\n", "big.ini");
  const std::string utf16 = Put("\xFF\xFE[\0S\0]\0"s, "u16.ini");
  fs::create_directory(Path("folder.ini"));
  const struct {
    std::string file;
    k7::IniFileState state;
  } cases[] = {
      {big, k7::IniFileState::kTooLarge},
      {utf16, k7::IniFileState::kUnsupported},
      {Path("folder.ini"), k7::IniFileState::kUnreadable},
      {Path("no/such/dir.ini"), k7::IniFileState::kUnreadable},
  };
  for (const auto& c : cases) {
    const char* f = c.file.c_str();
    const std::string before = Bytes(c.file);
    char buf[32];
    // As when the API cannot open a file: the default copied as it is.
    EXPECT_EQ(small.GetString("S", "k", "'q' ", buf, sizeof buf, f), 3u) << c.file;
    EXPECT_STREQ(buf, "'q'");
    EXPECT_EQ(small.last_state(), c.state) << c.file;
    EXPECT_EQ(small.GetInt("S", "k", 9, f), 9);
    EXPECT_EQ(small.GetSection("S", buf, sizeof buf, f), 0u);
    EXPECT_EQ(small.GetSectionNames(buf, sizeof buf, f), 0u);
    EXPECT_FALSE(small.WriteString("S", "k", "x", f)) << c.file;
    EXPECT_FALSE(small.WriteSection("S", "a=1\0", f)) << c.file;
    EXPECT_FALSE(small.WriteString("S", nullptr, nullptr, f)) << c.file;
    EXPECT_EQ(Bytes(c.file), before) << c.file;
    EXPECT_EQ(small.Check(f), c.state) << c.file;
  }

  // A missing file reads as empty (the default's quotes removed).
  const std::string missing = Path("missing.ini");
  char buf[32];
  EXPECT_EQ(store_.GetString("S", "k", "'q'", buf, sizeof buf, missing.c_str()), 1u);
  EXPECT_STREQ(buf, "q");
  EXPECT_EQ(store_.last_state(), k7::IniFileState::kMissing);
  EXPECT_TRUE(store_.WriteString("S", "k", nullptr, missing.c_str()));
  EXPECT_EQ(Bytes(missing), "<missing>");
}

TEST_F(IniFileTest, BoundedOnHostileFiles) {
  // Binary noise heavy in the characters the parser looks at.
  std::mt19937 rng(7);
  const char alphabet[] = "[]=;\"' \t\r\n\0\x1a\xff\x80kK";
  for (int round = 0; round < 20; ++round) {
    std::string noise(4096, '\0');
    for (char& c : noise) {
      c = rng() % 2 ? alphabet[rng() % (sizeof alphabet - 1)] : static_cast<char>(rng());
    }
    noise[0] = '[';  // never a UTF-16 signature
    const std::string file = Put(noise);
    for (uint32_t size : {1u, 2u, 3u, 7u, 64u, 5000u}) {
      Guarded(size, 0, [&](char* out) {
        EXPECT_LT(store_.GetString("k", "k", "d", out, size, file.c_str()), size);
      });
      Guarded(size, 0,
              [&](char* out) { EXPECT_LE(store_.GetSection("k", out, size, file.c_str()), size); });
      Guarded(size, 0, [&](char* out) {
        EXPECT_LE(store_.GetSectionNames(out, size, file.c_str()), size);
        EXPECT_EQ(out[size - 1], '\0');
      });
    }
    // Whatever the file held, a value written reads back.
    ASSERT_TRUE(store_.WriteString("Sec", "key", "v=1", file.c_str()));
    char buf[8];
    EXPECT_EQ(store_.GetString("Sec", "key", "d", buf, sizeof buf, file.c_str()), 3u);
    EXPECT_STREQ(buf, "v=1");
  }

  // A line longer than any buffer, and a thousand sections.
  std::string many = "[Long]\r\nk=12" + std::string(1 << 20, 'x') + "\r\n";
  for (int i = 0; i < 1000; ++i)
    many += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
  const std::string file = Put(many);
  char buf[64];
  EXPECT_EQ(store_.GetString("Long", "k", "", buf, sizeof buf, file.c_str()), 63u);
  EXPECT_EQ(store_.GetSection("Long", buf, sizeof buf, file.c_str()), 62u);
  EXPECT_EQ(store_.GetInt("Long", "k", 0, file.c_str()), 12);
  std::vector<char> names(16384);
  const uint32_t n = store_.GetSectionNames(names.data(), 16384, file.c_str());
  EXPECT_EQ(n, 5u + 10 * 3 + 90 * 4 + 900 * 5);  // "Long" and "S0".."S999"
  EXPECT_EQ(store_.GetInt("S999", "k", -1, file.c_str()), 999);
  EXPECT_EQ(store_.GetSectionNames(names.data(), 100, file.c_str()), 98u);
}

}  // namespace
