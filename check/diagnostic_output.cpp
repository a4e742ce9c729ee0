#include "check/diagnostic_output.h"

#include "inspect/printable_text.h"

namespace check {
namespace {

std::string plural(std::int64_t count, std::string_view word) {
  std::string text = std::to_string(count);
  text += ' ';
  text += word;
  if (count != 1) text += 's';
  return text;
}

using inspect::append_json_string;

void append_member(std::string& out, std::string_view name, std::int64_t value) {
  append_json_string(out, name);
  out += ": ";
  out += std::to_string(value);
}

void append_member(std::string& out, std::string_view name, std::string_view value) {
  append_json_string(out, name);
  out += ": ";
  append_json_string(out, value);
}

// The members of one JSON object, written with ", " between them.
class Members {
 public:
  explicit Members(std::string& out) : out_(out) {}
  template <typename Value>
  void add(std::string_view name, const Value& value) {
    separate();
    append_member(out_, name, value);
  }
  // A member whose value the caller writes next, to the text returned.
  std::string& name(std::string_view name) {
    separate();
    append_json_string(out_, name);
    out_ += ": ";
    return out_;
  }

 private:
  void separate() {
    if (!first_) out_ += ", ";
    first_ = false;
  }
  std::string& out_;
  bool first_ = true;
};

// {...}: an object whose members `fill` adds.
template <typename Fill>
void append_object(std::string& out, Fill&& fill) {
  out += "{";
  Members members(out);
  fill(members);
  out += "}";
}

}  // namespace

std::string diagnostic_line(const Diagnostic& d, std::string_view folder_prefix) {
  // The folder is the user's bytes, and a message may name other files:
  // each is shown escaped, so that one finding stays one line.
  std::string line = inspect::printable(folder_prefix);
  line += inspect::printable(d.file);
  if (d.line > 0) {
    line += ':';
    line += std::to_string(d.line);
    if (d.column > 0) {
      line += ':';
      line += std::to_string(d.column);
    }
  }
  line += ": ";
  line += severity_name(d.severity);
  line += ": ";
  line += inspect::printable(d.message);
  return line;
}

std::string summary_line(const CheckResult& result) {
  return plural(result.errors(), "error") + ", " + plural(result.warnings(), "warning");
}

std::string json_document(const CheckResult& result, std::string_view folder) {
  std::string out = "{";
  Members top(out);
  top.add("folder", folder);
  top.name("completed") += result.completed ? "true" : "false";
  top.add("errors", result.errors());
  top.add("warnings", result.warnings());
  out += ",\n \"diagnostics\": [";
  bool first = true;
  for (const Diagnostic& d : result.diagnostics) {
    out += first ? "\n  {" : ",\n  {";
    first = false;
    Members members(out);
    members.add("file", d.file);
    members.add("line", d.line);
    members.add("column", d.column);
    members.add("severity", severity_name(d.severity));
    members.add("rule", d.rule);
    members.add("message", d.message);
    members.add("count", d.count);
    members.name("cell");
    if (d.cell.empty()) {
      out += "null";
    } else {
      append_object(out, [&](Members& cell) {
        cell.add("layer", d.cell.layer);
        cell.add("row", d.cell.row);
        cell.add("column", d.cell.column);
      });
    }
    members.name("other");
    if (d.other) {
      append_object(out, [&](Members& other) {
        other.add("file", d.other->file);
        other.add("line", d.other->line);
        other.add("column", d.other->column);
      });
    } else {
      out += "null";
    }
    out += "}";
  }
  out += first ? "]}\n" : "\n ]}\n";
  return out;
}

}  // namespace check
