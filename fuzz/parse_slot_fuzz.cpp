// Feeds arbitrary bytes to the hotkey parser as the content of a slot's
// 30-byte buffer (terminated or not) and checks what must hold for any input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "keys/hotkey_table.h"

using namespace k7;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool IsModifier(uint8_t m) {
  return m == 0 || m == kVkShift || m == kVkCtrl || m == kVkAlt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CHotkeyTable table;
  BUTTONSLOT& slot = table.Slot(0);
  std::memset(slot.szHotkey, 'x', sizeof slot.szHotkey);
  std::memcpy(slot.szHotkey, data, size < sizeof slot.szHotkey ? size : sizeof slot.szHotkey);
  if (size < sizeof slot.szHotkey) slot.szHotkey[size] = '\0';
  table.ParseSlot(0);

  Check(std::memchr(slot.szHotkey, '\0', sizeof slot.szHotkey) != nullptr);
  Check(slot.byKey == KeyCodeForName(slot.szHotkey));
  Check(slot.byExtended <= 1);
  Check(IsModifier(slot.byModifier1) && IsModifier(slot.byModifier2) &&
        IsModifier(slot.byModifier3));
  // Held in the order Ctrl, Alt, Shift, with no gaps and no repeats.
  const uint8_t order[3] = {kVkCtrl, kVkAlt, kVkShift};
  int next = 0;
  bool ended = false;
  for (uint8_t m : {slot.byModifier1, slot.byModifier2, slot.byModifier3}) {
    if (m == 0) {
      ended = true;
      continue;
    }
    Check(!ended);
    while (next < 3 && order[next] != m) ++next;
    Check(next < 3);
    ++next;
  }

  HOTKEYVALUE value{};
  SlotToHotkeyValue(slot, value);
  Check(value.wFlags < 16);

  // Whatever was parsed, storing it and parsing again gives the same value,
  // unless the key is one the writing side has no name for.
  if (slot.byKey == 0 || KeyNameForCode(slot.byKey) != nullptr) {
    CHotkeyTable again;
    HotkeyValueToString(value, again.Slot(0).szHotkey);
    again.ParseSlot(0);
    HOTKEYVALUE back{};
    SlotToHotkeyValue(again.Slot(0), back);
    Check(back.wVirtualKey == value.wVirtualKey && back.wFlags == value.wFlags);
  }

  // Sending any parsed slot is one burst of at most ten events.
  struct Counter : IInputSink {
    int events = 0;
    int sends = 0;
    void Send(const InputBatch& batch) override {
      events += batch.Size();
      ++sends;
    }
    bool IsNumLockOn() override { return true; }
  } counter;
  table.SendHotkey(counter, 0);
  Check(counter.events <= 10 && counter.sends <= 1);
  return 0;
}
