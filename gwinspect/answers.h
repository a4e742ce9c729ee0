// The answers of one file, as `gwinspect answers` writes them, for callers
// other than the command line (the fuzz target).
#pragma once

#include <ostream>
#include <string>

namespace gwinspect {

// In the order of kBuilders in answers.cpp.
enum class Builder { Morvek, Cindral, Quillet };

// Writes to `out_fd` the answers that make `builder` write the file at
// `path` again, and to `messages` the warnings and notes, or the one error
// line. Returns the exit status: 0 done (a file that ends early included),
// 2 when the file cannot be answered or the answers cannot be written.
int write_answers(Builder builder, const std::string& path, int out_fd, std::ostream& messages);

}  // namespace gwinspect
