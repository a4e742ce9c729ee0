#include "common/process_end.h"

#include <cstdio>
#include <new>
#include <string>

#include "common/console.h"
#include "platform/end_signals.h"
#include "common/output_file.h"
#include "platform/platform.h"
#include "platform/write_all.h"

namespace common::process {
namespace {

Console* g_console = nullptr;
OutputFile* g_file = nullptr;
bool g_reporting = false;

// The end after a failure: what the user saw before it, the message, then
// the file closed with its completed records and the owed line end.
[[noreturn]] void fail_with(std::string_view text) {
  if (g_reporting) platform::end_process(1);
  g_reporting = true;
  if (g_console != nullptr) g_console->flush_quietly();
  platform::write_all(platform::kStandardError, text.data(), text.size());
  if (g_file != nullptr) g_file->close_quietly();
  if (g_console != nullptr) g_console->finish(false);
  platform::end_process(1);
}

// Inside the signal handler: only what is async-signal-safe.
void end_at_signal() noexcept {
  if (g_file != nullptr) g_file->close_at_signal();
  if (g_console != nullptr) g_console->end_at_signal();
}

}  // namespace

void handle_failures_and_end_signals() {
  platform::prepare_standard_streams();
  std::set_new_handler(out_of_memory);
  platform::end_signals::catch_all(end_at_signal);
}

void attach_console(Console* console) { g_console = console; }
void detach_console(Console* console) {
  if (g_console == console) g_console = nullptr;
}
void attach_file(OutputFile* file) { g_file = file; }
void detach_file(OutputFile* file) {
  if (g_file == file) g_file = nullptr;
}

void flush_everything() {
  if (g_reporting) return;
  if (g_console != nullptr) g_console->flush();
  if (g_file != nullptr) g_file->flush();
}

void end_run(int status) {
  if (g_file != nullptr) g_file->close();
  if (g_console != nullptr) g_console->finish(true);
  platform::end_process(status);
}

void runtime_error(int code, std::string_view operation, std::string_view name,
                   std::string_view message) {
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
  fail_with(report);
}

void out_of_memory() {
  fail_with("out of memory: the counts given need more storage than is available\n");
}

void refuse(std::string_view line) {
  std::string text(line);
  text += "\n";
  fail_with(text);
}

}  // namespace common::process
