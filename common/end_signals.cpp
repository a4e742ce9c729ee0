#include "end_signals.h"

#include <unistd.h>

#include <array>

namespace builders::end_signals {
namespace {

constexpr std::array<int, 4> kEndSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

EndDuties g_duties = nullptr;

sigset_t end_signal_set() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kEndSignals) sigaddset(&set, signal);
  return set;
}

// The other end signals are held while this runs (sa_mask), so the duties
// are done once. Then the signal's default action ends the process: raised
// while it is still blocked, it is delivered as soon as it is unblocked.
void on_end_signal(int signal) {
  if (g_duties != nullptr) g_duties();
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  sigaction(signal, &default_action, nullptr);
  raise(signal);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, signal);
  sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
  _exit(128 + signal);  // not reached: the default action of each ends the process
}

}  // namespace

void catch_all(EndDuties duties) {
  g_duties = duties;
  struct sigaction action {};
  action.sa_handler = on_end_signal;
  action.sa_mask = end_signal_set();
  for (int signal : kEndSignals) {
    struct sigaction previous {};
    if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

Held::Held() noexcept {
  const sigset_t set = end_signal_set();
  sigprocmask(SIG_BLOCK, &set, &previous_);
}

Held::~Held() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace builders::end_signals
