// The answers that rebuild each builder's file, in the order its builder
// asks its questions. Each reads the open file `fd` from its start and
// writes to the session's answers; a file that ends early ends the answers
// with FileEndsEarly, one the builder cannot have written with a ReadError.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "answers/answer_session.h"
#include "inspect/record.h"

namespace answers {

// What the FOR001 beside a file says, for the counts FOR011 and FOR013 do
// not hold.
struct BasicCounts {
  inspect::GridCounts grid;
  std::int64_t periods = 0;
};

// The counts of the FOR001 beside a file, or, for the notes, why there are
// none: "no FOR001 beside it", or that the one there cannot be read.
struct Beside {
  std::optional<BasicCounts> counts;
  std::string none_because;
};

void answer_basic_file(AnswerSession& session, int fd);
void answer_flow_file(AnswerSession& session, int fd, const Beside& beside);
void answer_drain_file(AnswerSession& session, int fd, const Beside& beside);

}  // namespace answers
