// What the ends of a run (process_end.h) ask of the console and of the
// output file, so that the ends know neither of them.
#pragma once

namespace common {

class RunParticipant {
 public:
  // Hands what is buffered to the system; a failure is reported (and ends
  // the run).
  virtual void hand_over() = 0;
  // The same, ignoring failure: the run is already failing.
  virtual void hand_over_quietly() = 0;
  // The participant's part of the end of the run; a failure is reported
  // only when `report_errors`.
  virtual void finish(bool report_errors) = 0;
  // The same from a signal handler: async-signal-safe.
  virtual void finish_at_signal() noexcept = 0;

 protected:
  ~RunParticipant() = default;
};

}  // namespace common
