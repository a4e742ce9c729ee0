// The whole of a builder program: its command line, the ends of its run,
// then its dialogue on the console and its file. The three builders differ
// only in their usage and their dialogue.
#pragma once

#include <string_view>

#include "common/command_line.h"
#include "common/console.h"
#include "common/output_file.h"

namespace common {

// A builder's dialogue: the questions on the console, the records through
// the file (which it opens and closes).
using Dialogue = void (*)(Console& console, OutputFile& file);

// What makes one builder program: its name, what --help says it does (the
// rest of the help is the builders') and its dialogue.
struct BuilderProgram {
  std::string_view name;          // the program as typed: "Morvek"
  std::string_view what_it_does;  // what it asks and writes, each line ending in \n
  bool refuses;                   // it refuses counts beyond its capacity (exit status 1)
  Dialogue dialogue;
};

// Answers --help and --version or refuses any other argument (each ends
// the process), makes every end of the run go through process_end, then
// runs the program's dialogue on standard input and output and the
// builder's file.
void run_builder_program(int argc, const char* const* argv, const BuilderProgram& program);

}  // namespace common
