// The keys of held buttons: a slot's repeat rule ("Repeat<n>") and hold
// action ("Hold<n>") in a profile's section, and the program-wide hold and
// release times ("HoldMs", "ReleaseMs") in the control file's "Default".
// Files without them behave as they always have.
#pragma once

#include <string>

namespace k7 {

enum class RepeatKind {
  kDefault,  // absent or unreadable: every report, code 66 its first only
  kEvery,    // "every": each report acts
  kFirst,    // "first": only the report with repeat byte 0
  kAfterMs,  // a number: repeats act once the button has been held that long
};

struct RepeatRule {
  RepeatKind kind = RepeatKind::kDefault;
  int ms = 0;  // for kAfterMs
  bool operator==(const RepeatRule& other) const {
    return kind == other.kind && (kind != RepeatKind::kAfterMs || ms == other.ms);
  }
};

constexpr int kMinRepeatMs = 100;
constexpr int kMaxRepeatMs = 2000;

constexpr int kDefaultHoldMs = 600;
constexpr int kMinHoldMs = 200;
constexpr int kMaxHoldMs = 5000;
constexpr int kDefaultReleaseMs = 300;
constexpr int kMinReleaseMs = 50;
constexpr int kMaxReleaseMs = 2000;

// Key names for slot n (0..33): "Repeat12", "Hold12".
std::string RepeatKeyName(int slot);
std::string HoldKeyName(int slot);

// "every" and "first" in any case, or decimal milliseconds in
// [kMinRepeatMs, kMaxRepeatMs]; anything else is kDefault.
RepeatRule ParseRepeatRule(const char* value);
// The value written for a rule; empty for kDefault (no key is written).
std::string FormatRepeatRule(const RepeatRule& rule);

// A program-wide time: decimal milliseconds within [min, max], else the
// default (absent, unreadable and out of range count alike).
int ParseMsSetting(const char* value, int min, int max, int fallback);

}  // namespace k7
