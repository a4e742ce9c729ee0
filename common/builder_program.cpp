#include "common/builder_program.h"

#include "common/process_end.h"

namespace common {

void run_builder_program(int argc, const char* const* argv, const ProgramUsage& usage, Dialogue dialogue) {
  take_no_arguments(argc, argv, usage);
  process::handle_failures_and_end_signals();
  Console console;
  OutputFile file;
  dialogue(console, file);
}

}  // namespace common
