// Morvek: its command line, the ends of its run, then its dialogue on the
// console and FOR001.
#include "common/builder_program.h"
#include "dialogues/morvek.h"

namespace {

// What --help says the program does; the rest of the help is the builders'.
constexpr std::string_view kWhatItDoes =
    "Asks, one question at a time, for two title lines, the grid, the time unit,\n"
    "the modules used, the boundary and starting-head arrays of every layer and\n"
    "the stress periods, and writes the basic file FOR001 in the current folder.\n";

}  // namespace

int main(int argc, char** argv) {
  common::run_builder_program(argc, argv, {"Morvek", kWhatItDoes, true}, dialogues::morvek::run_dialogue);
}
