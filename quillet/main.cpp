// Quillet: its command line, the ends of its run, then its dialogue on the
// console and FOR013.
#include "common/builder_program.h"
#include "dialogues/quillet.h"

namespace {

constexpr common::ProgramUsage kUsage = {
    "Quillet", "[--help | --version]",
    "\n"
    "Asks, one question at a time, for the drain limits and, stress period by\n"
    "stress period, the active drains or the reuse code, and writes the drain\n"
    "file FOR013 in the current folder.\n"
    "\n"
    "Answers are typed at the terminal or read from a file, one per line:\n"
    "\n"
    "  Quillet < answers.txt\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 after \"Stop - Program terminated.\", 1 after a run-time error,\n"
    "2 for an unknown argument. The manual: man Quillet\n"};

}  // namespace

int main(int argc, char** argv) {
  common::run_builder_program(argc, argv, kUsage, dialogues::quillet::run_dialogue);
}
