// The log's files on the real system.
#pragma once

#include "app/event_log.h"

namespace k7 {

// Each call opens and closes its file, shared with every reader, so the log
// can be read, moved or deleted while the program runs.
class Win32LogFiles : public ILogFiles {
 public:
  uint64_t Size(const std::string& path) override;
  bool Append(const std::string& path, const std::string& bytes, uint32_t* error) override;
  bool Replace(const std::string& from, const std::string& to, uint32_t* error) override;
};

}  // namespace k7
