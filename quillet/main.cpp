// Quillet: its command line, the ends of its run, then its dialogue on the
// console and FOR013.
#include "common/builder_program.h"
#include "dialogues/quillet.h"

namespace {

// What --help says the program does; the rest of the help is the builders'.
constexpr std::string_view kWhatItDoes =
    "Asks, one question at a time, for the drain limits and, stress period by\n"
    "stress period, the active drains or the reuse code, and writes the drain\n"
    "file FOR013 in the current folder.\n";

}  // namespace

int main(int argc, char** argv) {
  common::run_builder_program(argc, argv, {"Quillet", kWhatItDoes, false}, dialogues::quillet::run_dialogue);
}
