// The dialogue of Quillet, the drain builder, as a function: the questions on
// `console`, the records of FOR013 through `drains` (which it opens and
// closes), then the console's stop. The program calls it with the real
// console and file; a caller can run it in-process (common::run_in_process)
// on any answers, with the console's output and the file going nowhere.
#pragma once

#include "common/builder_program.h"
#include "common/console.h"
#include "common/output_file.h"

namespace dialogues::quillet {

// Ends with console.stop(), or earlier with the run-time error report or a
// refusal (common/process_end.h); never returns.
[[noreturn]] void run_dialogue(common::Console& console, common::OutputFile& drains);

// The program Quillet: its name, what its --help says it does, and this
// dialogue; its main hands it to common::run_builder_program.
extern const common::BuilderProgram kProgram;

}  // namespace dialogues::quillet
