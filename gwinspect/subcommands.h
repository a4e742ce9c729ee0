// The subcommands of gwinspect. Each takes the arguments after its name and
// returns the exit status: 0 done, 2 when it could not be done (bad input,
// bad arguments, output that cannot be written).
#pragma once

#include <span>

namespace gwinspect {

constexpr int kDone = 0;
constexpr int kFailed = 2;

int run_answers(std::span<char* const> arguments);
// 0 no error, 1 errors found, 2 the check could not be made.
int run_check(std::span<char* const> arguments);
int run_report(std::span<char* const> arguments);
// 0 the answers make a complete file, 1 they stop on an error, 2 they
// could not be tried.
int run_try(std::span<char* const> arguments);

}  // namespace gwinspect
