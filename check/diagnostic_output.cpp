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
  append_member(out, "folder", folder);
  out += ", \"completed\": ";
  out += result.completed ? "true" : "false";
  out += ", ";
  append_member(out, "errors", result.errors());
  out += ", ";
  append_member(out, "warnings", result.warnings());
  out += ",\n \"diagnostics\": [";
  bool first = true;
  for (const Diagnostic& d : result.diagnostics) {
    out += first ? "\n  {" : ",\n  {";
    first = false;
    append_member(out, "file", d.file);
    out += ", ";
    append_member(out, "line", d.line);
    out += ", ";
    append_member(out, "column", d.column);
    out += ", ";
    append_member(out, "severity", severity_name(d.severity));
    out += ", ";
    append_member(out, "rule", d.rule);
    out += ", ";
    append_member(out, "message", d.message);
    out += ", ";
    append_member(out, "count", d.count);
    out += ", \"cell\": ";
    if (d.cell.empty()) {
      out += "null";
    } else {
      out += "{";
      append_member(out, "layer", d.cell.layer);
      out += ", ";
      append_member(out, "row", d.cell.row);
      out += ", ";
      append_member(out, "column", d.cell.column);
      out += "}";
    }
    out += ", \"other\": ";
    if (!d.other) {
      out += "null";
    } else {
      out += "{";
      append_member(out, "file", d.other->file);
      out += ", ";
      append_member(out, "line", d.other->line);
      out += ", ";
      append_member(out, "column", d.other->column);
      out += "}";
    }
    out += "}";
  }
  out += first ? "]}\n" : "\n ]}\n";
  return out;
}

}  // namespace check
