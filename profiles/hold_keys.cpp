#include "profiles/hold_keys.h"

#include "base/text.h"

namespace k7 {

namespace {

// Decimal digits only (no sign, no blank inside), at most 9 of them; -1 otherwise.
int ParseDecimal(const char* value) {
  if (value == nullptr || *value == '\0') return -1;
  int n = 0;
  int digits = 0;
  for (const char* p = value; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9' || ++digits > 9) return -1;
    n = n * 10 + (*p - '0');
  }
  return n;
}

}  // namespace

std::string RepeatKeyName(int slot) {
  return "Repeat" + std::to_string(slot);
}

std::string HoldKeyName(int slot) {
  return "Hold" + std::to_string(slot);
}

RepeatRule ParseRepeatRule(const char* value) {
  RepeatRule rule;
  if (value == nullptr) return rule;
  if (EqualsNoCase(value, "every")) {
    rule.kind = RepeatKind::kEvery;
  } else if (EqualsNoCase(value, "first")) {
    rule.kind = RepeatKind::kFirst;
  } else {
    const int ms = ParseDecimal(value);
    if (ms >= kMinRepeatMs && ms <= kMaxRepeatMs) {
      rule.kind = RepeatKind::kAfterMs;
      rule.ms = ms;
    }
  }
  return rule;
}

std::string FormatRepeatRule(const RepeatRule& rule) {
  switch (rule.kind) {
    case RepeatKind::kEvery:
      return "every";
    case RepeatKind::kFirst:
      return "first";
    case RepeatKind::kAfterMs:
      return std::to_string(rule.ms);
    case RepeatKind::kDefault:
      break;
  }
  return std::string();
}

int ParseMsSetting(const char* value, int min, int max, int fallback) {
  const int ms = ParseDecimal(value);
  return ms >= min && ms <= max ? ms : fallback;
}

}  // namespace k7
