// Cindral: its command line, the ends of its run, then its dialogue on the
// console and FOR011.
#include "common/builder_program.h"
#include "dialogues/cindral.h"

namespace {

constexpr common::ProgramUsage kUsage = {
    "Cindral", "[--help | --version]",
    "\n"
    "Asks, one question at a time, for the simulation type, the grid, the layer\n"
    "types, anisotropy factors and cell widths, then layer by layer the property\n"
    "arrays, and writes the block-centred flow file FOR011 in the current folder.\n"
    "\n"
    "Answers are typed at the terminal or read from a file, one per line:\n"
    "\n"
    "  Cindral < answers.txt\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 after \"Stop - Program terminated.\", 1 after a run-time error\n"
    "or a refusal, 2 for an unknown argument. The manual: man Cindral\n"};

}  // namespace

int main(int argc, char** argv) {
  common::run_builder_program(argc, argv, kUsage, dialogues::cindral::run_dialogue);
}
