#include "fakes/recording_input.h"

#include <cstdio>

namespace k7::test {

std::string Describe(const InputEvent& e) {
  char buf[96];
  if (e.kind == InputEvent::kKey) {
    std::snprintf(buf, sizeof buf, "key vk=0x%02X scan=0x%02X flags=%u", unsigned(e.a),
                  unsigned(e.b), unsigned(e.flags));
  } else {
    std::snprintf(buf, sizeof buf, "mouse flags=%u dx=%d dy=%d", unsigned(e.a), int(e.dx),
                  int(e.dy));
  }
  return buf;
}

std::string Describe(const std::vector<InputEvent>& events) {
  std::string out;
  for (const InputEvent& e : events) out += Describe(e) + "\n";
  return out;
}

}  // namespace k7::test
