// What the user is told when an INI file refuses a write: the file, the
// reason Windows gave, and a remedy that works for that reason.
#pragma once

#include <cstdint>
#include <string>

namespace k7 {

// The reason in a few words ("the file is in use by another program"), or
// systemText (the system's own text for the code) when this program has no
// words of its own for it.
std::string WriteErrorReason(uint32_t error, const std::string& systemText);

// A user's command could not save its change.
std::string WriteFailedText(const char* file, uint32_t error, const std::string& systemText);

// At start-up, on a first run: markerWritten false when the first-run
// marker itself was refused (nothing else was written, and the next start
// tries the first run again); true when a later write stopped the built-in
// profiles half way (nothing tries them again; Default restores them).
std::string StartupWriteFailedText(const char* file, uint32_t error, const std::string& systemText,
                                   bool markerWritten);

}  // namespace k7
