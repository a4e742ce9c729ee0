// The signals that ask a run to end: SIGINT, SIGTERM, SIGHUP and SIGQUIT.
//
// Caught, they let the run close its output file on a whole record, write
// the owed console line end and hand back unread input before the process
// ends as the signal asks (the default action, so that shells and scripts
// still see the kill). A signal that was ignored when the program started
// (nohup, a background job of a script) stays ignored.
#pragma once

#include <signal.h>

namespace builders::end_signals {

// What the run does before it ends by a signal. Runs inside the signal
// handler, so it must use async-signal-safe calls only.
using EndDuties = void (*)() noexcept;

void catch_all(EndDuties duties);

// Holds the signals back while it lives, for state that the end duties read
// and that must not be seen half changed (a block of records being written
// and counted, the input's read position being moved). A signal that comes
// meanwhile is handled when it ends.
class Held {
 public:
  Held() noexcept;
  ~Held();
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace builders::end_signals
