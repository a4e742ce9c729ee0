#include "common/builder_program.h"

#include <string>

#include "common/process_end.h"

namespace common {

void run_builder_program(int argc, const char* const* argv, const BuilderProgram& builder) {
  // The builders' --help: what the program does, then what all three share.
  // (Appended piece by piece: GCC 12 warns falsely of overlap on a chain of +.)
  std::string help = "\n";
  help.append(builder.what_it_does)
      .append("\nAnswers are typed at the terminal or read from a file, one per line:\n\n  ")
      .append(builder.name)
      .append(" < answers.txt\n"
              "\n"
              "Options:\n"
              "  --help     show this help and exit\n"
              "  --version  show the version and exit\n"
              "\n"
              "Exit status: 0 after \"Stop - Program terminated.\", 1 after a run-time error")
      .append(builder.refuses ? "\nor a refusal, " : ",\n")
      .append("2 for an unknown argument. The manual: man ")
      .append(builder.name)
      .append("\n");
  take_no_arguments(argc, argv, ProgramUsage{builder.name, "[--help | --version]", help});
  process::handle_failures_and_end_signals();
  Console console;
  OutputFile file;
  builder.dialogue(console, file);
}

}  // namespace common
