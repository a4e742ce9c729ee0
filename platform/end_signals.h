// The signals that ask a run to end: SIGINT, SIGTERM, SIGHUP and SIGQUIT on
// POSIX; Ctrl-C, Ctrl-Break, the console window closed, logging off and
// shutting down on Windows.
//
// Caught, they let the run close its output file on a whole record, write
// the owed console line end and hand back unread input before the process
// ends as the signal asks (the default action, so that shells and scripts
// still see the kill). A signal that was ignored when the program started
// (nohup, a background job of a script) stays ignored.
#pragma once

#include "platform/platform.h"

namespace platform::end_signals {

// What the run does before it ends by a signal. Runs inside the signal
// handler, so it must use async-signal-safe calls only.
using EndDuties = platform::EndDuties;

inline void catch_all(EndDuties duties) { platform::catch_end_signals(duties); }

// Holds the signals back while it lives, for state that the end duties read
// and that must not be seen half changed (a block of records being written
// and counted, the input's read position being moved). A signal that comes
// meanwhile is handled when it ends. Holds nest.
class Held {
 public:
  Held() noexcept { platform::hold_end_signals(); }
  ~Held() { platform::release_end_signals(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
};

}  // namespace platform::end_signals
