#include "common/process_end.h"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/end_signals.h"
#include "platform/platform.h"
#include "platform/write_all.h"

namespace common::process {
namespace {

RunParticipant* g_console = nullptr;
RunParticipant* g_file = nullptr;
bool g_reporting = false;
// Set while a session runs in-process: its ends return to run_in_process().
bool g_in_process = false;

// The in-process end: thrown by the ends below, caught by run_in_process().
struct SessionEnded {
  SessionEnd end;
};

SessionEnd session_end(SessionEnd::Kind kind, int code) {
  SessionEnd end;
  end.kind = kind;
  end.code = code;
  return end;
}

// The end after a failure: what the user saw before it, the message, then
// the file closed with its completed records and the owed line end.
[[noreturn]] void fail_with(std::string_view text, SessionEnd end) {
  if (g_reporting && !g_in_process) platform::end_process(1);
  g_reporting = true;
  if (g_console != nullptr) g_console->hand_over_quietly();
  if (!g_in_process) platform::write_all(platform::kStandardError, text.data(), text.size());
  if (g_file != nullptr) g_file->finish(false);
  if (g_console != nullptr) g_console->finish(false);
  if (!g_in_process) platform::end_process(1);
  g_reporting = false;
  end.status = 1;
  end.standard_error = std::string(text);
  throw SessionEnded{std::move(end)};
}

// Inside the signal handler: only what is async-signal-safe.
void end_at_signal() noexcept {
  if (g_file != nullptr) g_file->finish_at_signal();
  if (g_console != nullptr) g_console->finish_at_signal();
}

}  // namespace

void handle_failures_and_end_signals() {
  platform::prepare_standard_streams();
  std::set_new_handler(out_of_memory);
  platform::end_signals::catch_all(end_at_signal);
}

void attach_console(RunParticipant* console) { g_console = console; }
void detach_console(RunParticipant* console) {
  if (g_console == console) g_console = nullptr;
}
void attach_file(RunParticipant* file) { g_file = file; }
void detach_file(RunParticipant* file) {
  if (g_file == file) g_file = nullptr;
}

void flush_everything() {
  if (g_reporting) return;
  if (g_console != nullptr) g_console->hand_over();
  if (g_file != nullptr) g_file->hand_over();
}

void end_run(int status) {
  if (g_file != nullptr) g_file->finish(true);
  if (g_console != nullptr) g_console->finish(true);
  if (!g_in_process) platform::end_process(status);
  SessionEnd end = session_end(SessionEnd::Kind::Stop, 0);
  end.status = status;
  throw SessionEnded{std::move(end)};
}

void runtime_error(int code, std::string_view operation, std::string_view name,
                   std::string_view message, const AnswerPlace* answer) {
  char number[8];
  std::snprintf(number, sizeof number, "F%04d", code % 10000);
  std::string report = "\r\nrun-time error ";
  report += number;
  report += ": ";
  report += operation;
  report += "(";
  report += name;
  report += ")\r\n";
  if (!message.empty()) {
    report += "- ";
    report += message;
    report += "\r\n";
  }
  SessionEnd end = session_end(SessionEnd::Kind::RuntimeError, code);
  if (g_in_process && answer != nullptr) end.answer = *answer;
  fail_with(report, std::move(end));
}

void out_of_memory() {
  fail_with("out of memory: the counts given need more storage than is available\n",
            session_end(SessionEnd::Kind::Refusal, 0));
}

void refuse(std::string_view line) {
  std::string text(line);
  text += "\n";
  fail_with(text, session_end(SessionEnd::Kind::Refusal, 0));
}

}  // namespace common::process

namespace common {

SessionEnd run_in_process(const std::function<void()>& session) {
  if (process::g_in_process) throw std::logic_error("one session at a time runs in-process");
  struct InProcess {
    InProcess() { process::g_in_process = true; }
    ~InProcess() {
      process::g_in_process = false;
      process::g_reporting = false;
    }
  } in_process;
  try {
    session();
  } catch (process::SessionEnded& ended) {
    return std::move(ended.end);
  }
  throw std::logic_error("a session run in-process returned without its stop");
}

}  // namespace common
