// Cindral: its command line, the ends of its run, then its dialogue on the
// console and FOR011.
#include "common/builder_program.h"
#include "dialogues/cindral.h"

namespace {

// What --help says the program does; the rest of the help is the builders'.
constexpr std::string_view kWhatItDoes =
    "Asks, one question at a time, for the simulation type, the grid, the layer\n"
    "types, anisotropy factors and cell widths, then layer by layer the property\n"
    "arrays, and writes the block-centred flow file FOR011 in the current folder.\n";

}  // namespace

int main(int argc, char** argv) {
  common::run_builder_program(argc, argv, {"Cindral", kWhatItDoes, true}, dialogues::cindral::run_dialogue);
}
