// Morvek: its command line, the ends of its run, then its dialogue on the
// console and FOR001.
#include "common/builder_program.h"
#include "dialogues/morvek.h"

namespace {

constexpr common::ProgramUsage kUsage = {
    "Morvek", "[--help | --version]",
    "\n"
    "Asks, one question at a time, for two title lines, the grid, the time unit,\n"
    "the modules used, the boundary and starting-head arrays of every layer and\n"
    "the stress periods, and writes the basic file FOR001 in the current folder.\n"
    "\n"
    "Answers are typed at the terminal or read from a file, one per line:\n"
    "\n"
    "  Morvek < answers.txt\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 after \"Stop - Program terminated.\", 1 after a run-time error\n"
    "or a refusal, 2 for an unknown argument. The manual: man Morvek\n"};

}  // namespace

int main(int argc, char** argv) {
  common::run_builder_program(argc, argv, kUsage, dialogues::morvek::run_dialogue);
}
