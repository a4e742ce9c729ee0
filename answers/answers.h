// The answers of one file, as `gwinspect answers` writes them, for any caller
// (the command line, the fuzz target).
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace answers {

enum class Builder { Morvek, Cindral, Quillet };

// A builder, the file it writes and the word --as takes for it.
struct BuilderFile {
  std::string_view as, file, name;
  Builder builder;
};
inline constexpr BuilderFile kBuilderFiles[] = {
    {"morvek", "FOR001", "Morvek", Builder::Morvek},
    {"cindral", "FOR011", "Cindral", Builder::Cindral},
    {"quillet", "FOR013", "Quillet", Builder::Quillet},
};

constexpr int kAnswersWritten = 0;
constexpr int kAnswersNotWritten = 2;

// Writes to `out_fd` the answers that make `builder` write the file at
// `path` again, and to `messages` the warnings and notes, or the one error
// line. Returns the exit status: 0 done (a file that ends early included),
// 2 when the file cannot be answered or the answers cannot be written.
int write_answers(Builder builder, const std::string& path, int out_fd, std::ostream& messages);

}  // namespace answers
