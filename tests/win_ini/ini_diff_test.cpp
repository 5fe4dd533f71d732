// The portable INI store and the reader's per-press store against the
// private-profile API: one script of reads and writes run on three copies of
// each starting file, one through each store, requiring the same return
// values, the same buffers (every byte, with the untouched ones) and the same
// file bytes after each write. The per-press store reads its file once for a
// whole run of reads, and again after each of its writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "fuzz/ini_script.h"
#include "fakes/portable_ini_store.h"
#include "profiles/ini_store_win32.h"
#include "profiles/press_ini_win32.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// kCorpus: each input the fuzz target kept, its file and its read calls.
enum class Kind { kFile, kMissing, kFolder, kNoFolder, kCorpus };

struct Start {
  const char* name;
  Kind kind;
  std::function<std::string()> bytes;
};

void PrintTo(const Start& start, std::ostream* os) {
  *os << start.name;
}

std::string Noise() {
  std::mt19937 rng(11);
  const char alphabet[] = "[]=;\"' \t\r\n\0\x1a\x0bSsecKy";
  std::string s(16384, '\0');
  for (char& c : s) c = rng() % 2 ? alphabet[rng() % (sizeof alphabet - 1)] : char(rng());
  s[0] = '[';  // no UTF-16 or UTF-8 signature
  return s;
}

std::string EveryByte() {
  std::string s = "[Sec]\r\n";
  for (int b = 0x21; b <= 0xff; ++b) {
    if (b == '=' || b == '[' || b == ';') continue;
    const char c = char(b);
    s += "k";
    s += std::to_string(b);
    s.append("=<").append(1, c).append(">\r\n").append(1, c).append("key=").append(1, c);
    s += "\r\n";
  }
  return s + "[\xC4\xE4\x8A\x9A]\r\nkey=1\r\n";
}

std::string Thousand() {
  std::string s;
  for (int i = 0; i < 1000; ++i)
    s += "[S" + std::to_string(i) + "]\r\nkey=" + std::to_string(i) + "\r\n";
  return s + "[Sec]\r\nkey=last\r\n";
}

const Start kStarts[] = {
    {"basic", Kind::kFile,
     [] { return "[Sec]\r\nkey=value\r\nadded=0\r\n[Dup]\r\nk=1\r\n[Empty]\r\nx=1\r\n"s; }},
    {"lf_only", Kind::kFile, [] { return "[Sec]\nkey=value\nnoeq\n\n[Dup]\nk=1\n"s; }},
    {"cr_only_no_final_newline", Kind::kFile, [] { return "[Sec]\rkey=v\r[Dup]\rk=1"s; }},
    {"whitespace_and_comments", Kind::kFile,
     [] {
       return "top = 1 \r\n  [ Sec ]  \r\n\t key \t=\t value \t\r\n;comment=1\r\n  ; spaced\r\n"
              "\r\n\r\n=nameless\r\n=again\r\n noeq \r\n\x1a\r\n\x0b[Dup] junk\r\n[Open\r\nk=1\r\n"s;
     }},
    {"duplicates", Kind::kFile,
     [] {
       return "[Sec]\r\nkey=1\r\nkey=2\r\n[SEC]\r\nkey=3\r\nonly2=4\r\n[Dup]\r\nk=a\r\n[dup]\r\n"
              "k=b\r\n[S999]\r\n[s999]\r\nz=1\r\n"s;
     }},
    {"quotes_and_numbers", Kind::kFile,
     [] {
       return "[Sec]\r\nkey=\"quoted\"\r\na='x'\r\nb=\"\r\nc=\"\"\r\nd='mixed\"\r\ne=0x1F\r\n"
              "f=-12abc\r\ng=4294967296\r\nh=\"42\"\r\ni=0b101\r\nj=0X10\r\nl=" +
              std::string(40, '1') + "\r\n";
     }},
    {"nul_bytes", Kind::kFile,
     [] {
       return "[Sec\0x]\r\nkey=va\0lue\r\nk2=val  \0  \r\nke\0y3=v3\r\n\0abc\r\n[Dup]\r\nk=1\r\n"s;
     }},
    {"every_byte", Kind::kFile, EveryByte},
    {"binary_noise", Kind::kFile, Noise},
    {"long_lines", Kind::kFile,
     [] {
       return "[Sec]\r\nkey=" + std::string(100000, 'v') + "\r\n" + std::string(50000, 'n') +
              "\r\n[" + std::string(5000, 'L') +
              "]\r\nkey=1\r\n[Dup]\r\nk=" + std::string(70000, 'k') + "\r\n";
     }},
    {"thousand_sections", Kind::kFile, Thousand},
    {"utf8_signature", Kind::kFile, [] { return "\xEF\xBB\xBF[Sec]\r\nkey=v\r\n"s; }},
    {"nameless_header", Kind::kFile, [] { return "top=1\r\n[Sec]\r\nkey=1\r\n[]\r\ne=1\r\n"s; }},
    {"empty", Kind::kFile, [] { return ""s; }},
    {"missing", Kind::kMissing, nullptr},
    {"folder", Kind::kFolder, nullptr},
    {"no_folder", Kind::kNoFolder, nullptr},
    {"fuzz_corpus", Kind::kCorpus, nullptr},
};

std::string Escape(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += char(c);
    } else {
      char b[8];
      snprintf(b, sizeof b, "\\x%02X", c);
      out += b;
    }
  }
  return out.size() > 300 ? out.substr(0, 300) + "..." : out;
}

class IniDifferential : public ::testing::TestWithParam<Start> {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("k7-ini-diff-" + std::to_string(GetCurrentProcessId()) + "-" + GetParam().name);
    fs::remove_all(root_);
    fs::create_directories(root_ / "api");
    fs::create_directories(root_ / "port");
    fs::create_directories(root_ / "press");
    // Absolute paths: a bare name would mean the Windows directory to the API.
    apiFile_ = Prepare(root_ / "api");
    portFile_ = Prepare(root_ / "port");
    pressFile_ = Prepare(root_ / "press");
  }
  void TearDown() override {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, apiFile_.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, pressFile_.c_str());
    press_.EndPress();
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  std::string Prepare(const fs::path& dir) const {
    const Start& start = GetParam();
    if (start.kind == Kind::kNoFolder) return (dir / "none" / "t.ini").string();
    const fs::path file = dir / "t.ini";
    if (start.kind == Kind::kFolder) fs::create_directory(file);
    if (start.kind == Kind::kFile) {
      std::ofstream(file, std::ios::binary) << start.bytes();
    }
    return file.string();
  }

  static std::string Bytes(const std::string& path) {
    if (fs::is_directory(path)) return "<folder>";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Runs one call through the three stores, each on its own copy, with buffers
  // of `size` bytes followed by guard bytes, all prefilled alike.
  void Same(const std::string& what, uint32_t size,
            const std::function<int64_t(k7::IIniStore&, const char*, char*)>& call) {
    // The API keeps parsed files for a while; make it read the file again,
    // as the portable store does on every call.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, apiFile_.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, pressFile_.c_str());
    std::vector<char> a(size + 4, '#');
    std::vector<char> p(size + 4, '#');
    std::vector<char> r(size + 4, '#');
    const int64_t ra = call(api_, apiFile_.c_str(), a.data());
    const int64_t rp = call(port_, portFile_.c_str(), p.data());
    const int64_t rr = call(press_, pressFile_.c_str(), r.data());
    ++calls_;
    if (ra == rp && a == p && ra == rr && a == r) return;
    if (++mismatches_ > 25) return;
    ADD_FAILURE() << GetParam().name << ": " << what << " size " << size << "\n  api   " << ra
                  << " [" << Escape(std::string(a.begin(), a.end())) << "]\n  port  " << rp << " ["
                  << Escape(std::string(p.begin(), p.end())) << "]\n  press " << rr << " ["
                  << Escape(std::string(r.begin(), r.end())) << "]";
  }

  void SameFiles(const std::string& what) {
    const std::string a = Bytes(apiFile_);
    const std::string p = Bytes(portFile_);
    const std::string r = Bytes(pressFile_);
    if (a == p && a == r) return;
    if (++mismatches_ > 25) return;
    ADD_FAILURE() << GetParam().name << ": file after " << what << "\n  api   [" << Escape(a)
                  << "]\n  port  [" << Escape(p) << "]\n  press [" << Escape(r) << "]";
  }

  // Section names as the API lists them, all of them.
  std::vector<std::string> Names() {
    std::vector<char> buf(1 << 20);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, apiFile_.c_str());
    const uint32_t n = api_.GetSectionNames(buf.data(), uint32_t(buf.size()), apiFile_.c_str());
    std::vector<std::string> names;
    for (uint32_t i = 0; i < n; i += uint32_t(names.back().size()) + 1) {
      names.emplace_back(&buf[i]);
    }
    return names;
  }

  void ReadSection(const std::string& name) {
    const char* s = name.c_str();
    for (uint32_t size : {2u, 3u, 7u, 64u, 200000u}) {
      Same("GetSection " + name, size,
           [&](k7::IIniStore& st, const char* f, char* b) { return st.GetSection(s, b, size, f); });
    }
    Same("key list " + name, 64, [&](k7::IIniStore& st, const char* f, char* b) {
      return st.GetString(s, nullptr, "'d' ", b, 64, f);
    });
    // Every key the section lists, by the name the list gives.
    std::vector<char> buf(200000);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, apiFile_.c_str());
    const uint32_t n = api_.GetSection(s, buf.data(), uint32_t(buf.size()), apiFile_.c_str());
    int keys = 0;
    for (uint32_t i = 0; i < n && keys < 12; ++keys) {
      const std::string line(&buf[i]);
      i += uint32_t(line.size()) + 1;
      const std::string key = line.substr(0, line.find('='));
      // Wine's narrow calls cannot take a name of 32767 characters or more:
      // the conversion fails and Wine goes on with an uninitialised pointer.
      if (key.size() < 32767) ReadKey(name, key);
    }
  }

  void ReadKey(const std::string& section, const std::string& key) {
    const std::string what = "[" + section + "] " + key;
    for (uint32_t size : {1u, 2u, 3u, 6u, 64u, 200000u}) {
      Same("GetString " + what, size, [&](k7::IIniStore& st, const char* f, char* b) {
        return st.GetString(section.c_str(), key.c_str(), "dflt", b, size, f);
      });
    }
    Same("GetInt " + what, 0, [&](k7::IIniStore& st, const char* f, char*) {
      return st.GetInt(section.c_str(), key.c_str(), -77, f);
    });
  }

  void ReadAll() {
    press_.BeginPress();
    for (uint32_t size : {1u, 2u, 3u, 5u, 8u, 16u, 64u, 1u << 20}) {
      Same("GetSectionNames", size, [&](k7::IIniStore& st, const char* f, char* b) {
        return st.GetSectionNames(b, size, f);
      });
      Same("GetString names", size, [&](k7::IIniStore& st, const char* f, char* b) {
        return st.GetString(nullptr, "key", "d", b, size, f);
      });
    }
    const std::vector<std::string> names = Names();
    for (size_t i = 0; i < names.size(); ++i) {
      if (i < 25 || i + 5 >= names.size()) ReadSection(names[i]);
    }
    // Lookups the names above do not make: trimming, case, missing names and
    // the defaults' own rules.
    const std::pair<const char*, const char*> lookups[] = {
        {"Sec", "key"},  {" Sec\t", " key "}, {"SEC", "KEY"},  {"", "top"},       {"Sec", ""},
        {"Sec", "noeq"}, {"Dup", "k"},        {"S999", "key"}, {"NoSuch", "key"},
    };
    const char* defaults[] = {nullptr, "", "d  ", "   ", "\"q\"", "'x'", "plain"};
    for (const auto& [section, key] : lookups) {
      for (const char* def : defaults) {
        const std::string what =
            std::string("[") + section + "] " + key + " def " + (def != nullptr ? def : "null");
        for (uint32_t size : {2u, 4u, 256u}) {
          Same(what, size, [&](k7::IIniStore& st, const char* f, char* b) {
            return st.GetString(section, key, def, b, size, f);
          });
        }
      }
      Same(std::string("GetInt [") + section + "] " + key, 0,
           [&](k7::IIniStore& st, const char* f, char*) { return st.GetInt(section, key, 5, f); });
    }
    ReadSection(" Sec ");
    ReadSection("NoSuch");
    // Names too long for Wine's narrow calls: refused, with the results of
    // a name that is not there.
    const std::string huge(40000, 'S');
    Same("GetSection huge name", 64, [&](k7::IIniStore& st, const char* f, char* b) {
      return st.GetSection(huge.c_str(), b, 64, f);
    });
    Same("GetInt huge names", 0, [&](k7::IIniStore& st, const char* f, char*) {
      return st.GetInt(huge.c_str(), huge.c_str(), 9, f);
    });
  }

  // One input of the fuzz target: its file in all three places, then its
  // calls, with names listed as the portable store lists them.
  void ReadCorpusInput(const fs::path& input) {
    std::ifstream in(input, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), {});
    const auto* data = reinterpret_cast<const uint8_t*>(raw.data());
    const std::string bytes = k7::fuzz::IniScriptFile(data, raw.size());
    // Text with a signature (UTF-16, UTF-8) the stores do not claim to read
    // as the API does.
    if (bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0 ||
        bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
      return;
    }
    for (const std::string& f : {apiFile_, portFile_, pressFile_}) {
      std::ofstream(f, std::ios::binary | std::ios::trunc) << bytes;
    }
    press_.BeginPress();
    const std::vector<k7::fuzz::IniCall> calls =
        k7::fuzz::IniScriptCalls(data, raw.size(), [&](const char* section) {
          std::vector<char> buf(2 * bytes.size() + 64);
          const uint32_t n =
              section == nullptr
                  ? port_.GetSectionNames(buf.data(), uint32_t(buf.size()), portFile_.c_str())
                  : port_.GetSection(section, buf.data(), uint32_t(buf.size()), portFile_.c_str());
          std::vector<std::string> items;
          for (uint32_t i = 0; i < n && buf[i] != '\0'; i += uint32_t(items.back().size()) + 1) {
            items.emplace_back(&buf[i]);
          }
          return items;
        });
    for (const k7::fuzz::IniCall& call : calls) {
      Same(input.filename().string() + " call " + std::to_string(int(call.kind)) + " [" +
               call.section + "] " + call.key,
           call.size, [&](k7::IIniStore& st, const char* f, char* b) {
             return k7::fuzz::RunIniCall(st, call, f, b);
           });
    }
  }

  void Write(const std::string& what, const std::function<bool(k7::IIniStore&, const char*)>& op) {
    Same(what, 0, [&](k7::IIniStore& st, const char* f, char*) { return int64_t{op(st, f)}; });
    SameFiles(what);
    Same("names after " + what, 4096,
         [&](k7::IIniStore& st, const char* f, char* b) { return st.GetSectionNames(b, 4096, f); });
    Same("[Sec] after " + what, 4096, [&](k7::IIniStore& st, const char* f, char* b) {
      return st.GetSection("Sec", b, 4096, f);
    });
  }

  void WriteAll() {
    auto set = [this](const char* s, const char* k, const char* v) {
      const std::string what = std::string("WriteString ") + (s ? s : "null") + " " +
                               (k ? k : "null") + " " + (v ? v : "null");
      Write(what, [=](k7::IIniStore& st, const char* f) { return st.WriteString(s, k, v, f); });
    };
    auto setSection = [this](const char* s, const char* list) {
      Write(std::string("WriteSection ") + s,
            [=](k7::IIniStore& st, const char* f) { return st.WriteSection(s, list, f); });
    };
    // First the calls that change nothing: the file keeps its own bytes.
    set("Sec", "key", "value");
    set("Sec", "nokey", nullptr);
    set("Ghost", nullptr, nullptr);
    setSection("Nowhere", "\0");
    set("Sec", "key", "new value");
    set("Sec", "added", "1");
    set("sec", "KEY", " \tlead");
    set("Sec", "key", "lead");  // no change
    set("NewSec", "k", "v=w");
    set("Sec", "noeq", "now");
    set("Dup", "k", nullptr);
    set("S999", nullptr, nullptr);
    set("Ghost", "k", nullptr);
    set("", "top", "2");
    setSection("Sec", "a=1\0b=2\0noeq\0c= 3\0=e\0");
    setSection("Empty", "\0");
    setSection("NewSec", nullptr);
    setSection("Sec", "\0");
    set("Last", "k", "\"quoted\"");
  }

  fs::path root_;
  std::string apiFile_;
  std::string portFile_;
  k7::Win32IniStore api_;
  k7::PortableIniStore port_;
  std::string pressFile_;
  k7::Win32WholeFileReader reader_;
  k7::Win32IniStore pressApi_;
  k7::PressIniStore press_{reader_, pressApi_};
  int calls_ = 0;
  int mismatches_ = 0;
};

TEST_P(IniDifferential, SameResultsAndBytes) {
  if (GetParam().kind == Kind::kCorpus) {
    int inputs = 0;
    for (const auto& entry : fs::directory_iterator(K7_INI_CORPUS_DIR)) {
      ReadCorpusInput(entry.path());
      ++inputs;
    }
    EXPECT_EQ(mismatches_, 0) << "of " << calls_ << " calls";
    EXPECT_GT(inputs, 0);
    return;
  }
  ReadAll();
  WriteAll();
  ReadAll();
  EXPECT_EQ(mismatches_, 0) << "of " << calls_ << " calls";
  EXPECT_GT(calls_, 300);
}

INSTANTIATE_TEST_SUITE_P(Files, IniDifferential, ::testing::ValuesIn(kStarts),
                         [](const ::testing::TestParamInfo<Start>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
