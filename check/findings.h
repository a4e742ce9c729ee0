// The diagnostics of one check as they are found. A finding that repeats
// (one rule over the cells of an array, or over the drains or stress
// periods of a file) is kept once, with its count and its first place.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "check/diagnostic.h"
#include "check/rules.h"

namespace check {

// One rule counted over the cells of one array. The walk over the array
// counts offending cells per row, so that a row whose bytes repeat the row
// before adds the same count without being looked at again.
struct CellCount {
  std::int64_t count = 0;
  std::int64_t in_row = 0;  // in the row last walked
  // The first offending cell: its field, its grid place, its text, and the
  // place of the field it was compared with, if any.
  std::int64_t line = 0;
  std::int64_t column = 0;
  Cell cell;
  std::string value;
  std::optional<Place> other;

  // Counts one cell; true for the first, whose place the caller then sets.
  bool hit() {
    ++in_row;
    return ++count == 1;
  }
  void begin_row() { in_row = 0; }
  void repeat_row() { count += in_row; }
};

class Findings {
 public:
  // One diagnostic as it stands.
  void add(const Rule& rule, const Place& where, std::string message, Cell cell = {},
           std::optional<Place> other = std::nullopt);

  // What a repeating finding's message ends with when it stands for more:
  // "; 1 more drain lies outside the grid", "; 4 more drains lie ...".
  struct More {
    std::string_view one;
    std::string_view many;
  };
  // A finding that may repeat within `scope` (a file, say; text of static
  // storage): the first one is kept with its message; each further one
  // only counts. `message` may be a function that makes the text: it is
  // called for the first one only.
  template <typename Message>
  void add_repeating(const Rule& rule, std::string_view scope, const Place& where, Message&& message,
                     More more, Cell cell = {}, const Place* other = nullptr) {
    if (count_again(rule, scope)) return;
    std::string text;
    if constexpr (std::is_invocable_v<Message>) {
      text = message();
    } else {
      text = std::move(message);
    }
    add_first(rule, scope, where, std::move(text), more, cell,
              other ? std::optional<Place>(*other) : std::nullopt);
  }

  // The cells that broke `rule` in one array of `file`: "WHAT at row R,
  // column C of layer L (VALUE)" for one cell, "WHAT in N cells of layer L,
  // first at row R, column C (VALUE)" for more; `after` closes either.
  void add_cells(const Rule& rule, std::string_view file, std::string_view what,
                 const CellCount& cells, std::string_view after = {});

  // The check is over: every diagnostic in file order, by line and column.
  CheckResult finish(bool completed);

 private:
  // Counts a finding of `rule` in `scope` again: false when it is the first.
  bool count_again(const Rule& rule, std::string_view scope);
  void add_first(const Rule& rule, std::string_view scope, const Place& where, std::string message,
                 More more, Cell cell, std::optional<Place> other);

  struct Repeating {
    std::size_t index;  // in diagnostics_
    More more;          // texts of static storage
  };
  std::vector<Diagnostic> diagnostics_;
  std::map<std::pair<std::string_view, std::string_view>, Repeating> repeating_;
  // The findings last counted again, by the addresses of their rule's name
  // and scope (texts of static storage): a file's drains repeat a few
  // findings many times.
  struct Recent {
    const char* rule = nullptr;
    const char* scope = nullptr;
    std::size_t index = 0;
  };
  Recent recent_[4];
  std::size_t next_recent_ = 0;
};

// "row 3, column 7 of layer 2", and "row 3, column 7" for a list or a grid
// of one layer named elsewhere.
std::string cell_words(const Cell& cell);

// "1 row", "6 rows": `count` and its noun (`one` for exactly 1).
std::string counted(std::int64_t count, std::string_view one, std::string_view many);

}  // namespace check
