// Cindral: its command line, the ends of its run, then its dialogue on the
// console and FOR011.
#include "common/builder_program.h"
#include "dialogues/cindral.h"

int main(int argc, char** argv) { common::run_builder_program(argc, argv, dialogues::cindral::kProgram); }
