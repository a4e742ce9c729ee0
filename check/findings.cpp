#include "check/findings.h"

#include <algorithm>

namespace check {
namespace {

// FOR001 first, then FOR011 and FOR013, then the other files by name.
int file_rank(std::string_view file) {
  if (file == "FOR001") return 0;
  if (file == "FOR011") return 1;
  if (file == "FOR013") return 2;
  return 3;
}

}  // namespace

std::string cell_words(const Cell& cell) {
  std::string words = "row " + std::to_string(cell.row) + ", column " + std::to_string(cell.column);
  if (cell.layer > 0) words += " of layer " + std::to_string(cell.layer);
  return words;
}

std::string counted(std::int64_t count, std::string_view one, std::string_view many) {
  std::string words = std::to_string(count);
  words += ' ';
  words += count == 1 ? one : many;
  return words;
}

void Findings::add(const Rule& rule, const Place& where, std::string message, Cell cell,
                   std::optional<Place> other) {
  diagnostics_.push_back({where.file, where.line, where.column, rule.severity, std::string(rule.name),
                          std::move(message), cell, 1, std::move(other)});
}

bool Findings::count_again(const Rule& rule, std::string_view scope) {
  for (const Recent& r : recent_) {
    if (r.rule == rule.name.data() && r.scope == scope.data()) {
      ++diagnostics_[r.index].count;
      return true;
    }
  }
  const auto found = repeating_.find({rule.name, scope});
  if (found == repeating_.end()) return false;
  ++diagnostics_[found->second.index].count;
  recent_[next_recent_] = {rule.name.data(), scope.data(), found->second.index};
  next_recent_ = (next_recent_ + 1) % std::size(recent_);
  return true;
}

void Findings::add_first(const Rule& rule, std::string_view scope, const Place& where,
                         std::string message, More more, Cell cell, std::optional<Place> other) {
  repeating_.emplace(std::make_pair(rule.name, scope), Repeating{diagnostics_.size(), more});
  add(rule, where, std::move(message), cell, std::move(other));
}

void Findings::add_cells(const Rule& rule, std::string_view file, std::string_view what,
                         const CellCount& cells, std::string_view after) {
  if (cells.count == 0) return;
  std::string message(what);
  if (cells.count == 1) {
    message += " at " + cell_words(cells.cell);
  } else {
    message += " in " + std::to_string(cells.count) + " cells";
    if (cells.cell.layer > 0) message += " of layer " + std::to_string(cells.cell.layer);
    message += ", first at row " + std::to_string(cells.cell.row) + ", column " +
               std::to_string(cells.cell.column);
  }
  message += " (" + cells.value + ")";
  message += after;
  diagnostics_.push_back({std::string(file), cells.line, cells.column, rule.severity,
                          std::string(rule.name), std::move(message), cells.cell, cells.count,
                          cells.other});
}

CheckResult Findings::finish(bool completed) {
  for (const auto& [key, repeating] : repeating_) {
    Diagnostic& d = diagnostics_[repeating.index];
    if (d.count > 1) {
      d.message += "; " + std::to_string(d.count - 1) + " more ";
      d.message += d.count == 2 ? repeating.more.one : repeating.more.many;
    }
  }
  repeating_.clear();
  for (Recent& r : recent_) r = Recent{};
  std::stable_sort(diagnostics_.begin(), diagnostics_.end(), [](const Diagnostic& a, const Diagnostic& b) {
    const int rank_a = file_rank(a.file), rank_b = file_rank(b.file);
    if (rank_a != rank_b) return rank_a < rank_b;
    if (a.file != b.file) return a.file < b.file;
    if (a.line != b.line) return a.line < b.line;
    return a.column < b.column;
  });
  CheckResult result;
  result.diagnostics = std::move(diagnostics_);
  result.completed = completed;
  diagnostics_.clear();
  return result;
}

}  // namespace check
