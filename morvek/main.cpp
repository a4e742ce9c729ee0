// Morvek: its command line, the ends of its run, then its dialogue on the
// console and FOR001.
#include "common/builder_program.h"
#include "dialogues/morvek.h"

int main(int argc, char** argv) { common::run_builder_program(argc, argv, dialogues::morvek::kProgram); }
