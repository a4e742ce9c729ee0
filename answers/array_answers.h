// The answers of one array or list: "all values the same?" and then one
// value for every cell, or the cells one by one. An array is answered with
// one value when every cell's field is the same text; a row of the file is
// first compared whole against the row that one value would give, so that
// uniform arrays, the common case in large models, are passed at the speed
// of comparing bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "answers/answer_session.h"
#include "inspect/array_cursor.h"
#include "inspect/read_error.h"
#include "inspect/record.h"
#include "inspect/record_reader.h"

namespace answers {

// The subject of a note for the array of `label` ("HYDCON-": "hydraulic
// conductivity").
std::string_view array_subject(std::string_view label);

namespace array_detail {

// The field's text with the columns missing at a line end as blanks.
inline std::string padded(const inspect::Field& field) {
  std::string text(field.text);
  text.resize(static_cast<std::size_t>(field.width), ' ');
  return text;
}

inline bool same_text(const inspect::Field& field, std::string_view padded_text) {
  const std::size_t present = field.text.size();
  if (padded_text.size() != static_cast<std::size_t>(field.width)) return false;
  if (padded_text.substr(0, present) != field.text) return false;
  return padded_text.find_first_not_of(' ', present) == std::string_view::npos;
}

// Every field of the line `text` is `padded_text`, and nothing follows them.
inline bool line_of(std::span<const inspect::Field> fields, std::string_view text, std::string_view padded_text) {
  for (const inspect::Field& f : fields) {
    if (!same_text(f, padded_text)) return false;
  }
  const std::size_t end = fields.size() * padded_text.size();
  return text.size() <= end || text.find_first_not_of(' ', end) == std::string_view::npos;
}
inline bool line_of(const inspect::Record& record, std::string_view padded_text) {
  return line_of(record.fields, record.line.text, padded_text);
}

inline std::string repeated(std::string_view text, std::int64_t times) {
  std::string out;
  out.reserve(text.size() * static_cast<std::size_t>(times) + 2);
  for (std::int64_t i = 0; i < times; ++i) out += text;
  out += "\r\n";
  return out;
}

}  // namespace array_detail

// The answers of the array whose rows `cursor` walks, from its first row
// (see answer_array()).
void answer_array_rows(AnswerSession& session, inspect::ArrayCursor& cursor, std::string_view subject,
                       std::int64_t layer);

// After the array-control record of a two-dimensional array: its answers,
// read on the cursor the reader hands over; the reader then goes on after
// the array. `subject` and `layer` name its cells in the notes.
template <typename Reader>
void answer_array(AnswerSession& session, Reader& reader, std::string_view subject,
                  std::int64_t layer) {
  // Every line is read (no row passed as the one before: each cell is
  // answered), its fields as text.
  inspect::ArrayCursor cursor = reader.values_cursor(inspect::Reading::Plain, inspect::ValueForm::FieldText);
  answer_array_rows(session, cursor, subject, layer);
  reader.resume_after(cursor);
}

// After the array-control record of a list of `count` entries: its
// answers. `subject`, `subjects` and `index` name the entries ("cell width
// along rows", "cell widths along rows", "column").
template <typename Reader>
void answer_list(AnswerSession& session, Reader& reader, std::string_view subject,
                 std::string_view subjects, std::string_view index, std::int64_t count) {
  using namespace array_detail;
  const inspect::ArrayHeader header = reader.array();
  AnswerWriter& out = session.out();
  const std::int64_t per_line = static_cast<std::int64_t>(header.values_format.size());
  inspect::Record record;
  if (count <= 0 || per_line == 0) {
    out.answer("1").note(subjects).note(": all values the same? (1 = no: the list is empty)").end();
    if (!reader.next(record)) throw FileEndsEarly{"the question after the " + std::string(subjects)};
    session.expect_end(record.line, 0, "an empty list");
    return;
  }
  const std::int64_t lines = (count + per_line - 1) / per_line;
  auto expect_line = [&](const inspect::Record& r) {
    const std::int64_t wanted = std::min(per_line, count - (r.first - 1));
    if (static_cast<std::int64_t>(r.fields.size()) != wanted) {
      throw inspect::ReadError(r.line.number, 1,
                               "expected " + std::to_string(wanted) + " " + std::string(subjects) +
                                   " on this line, found " + std::to_string(r.fields.size()));
    }
  };

  const auto start = reader.checkpoint();
  if (!reader.next(record)) throw FileEndsEarly{std::string(subjects) + ": all values the same?"};
  if (record.section != inspect::Section::ArrayValues) {
    throw inspect::ReadError(record.line.number, 1,
                             "expected " + std::to_string(count) + " " + std::string(subjects) +
                                 ", found none");
  }
  expect_line(record);
  const inspect::Field first = record.fields[0];
  FieldAnswer value;
  const std::string entry = "an entry of the " + std::string(subjects);
  if (!format::answer_for_field(first.text, first.width, first.type, value)) session.answer_for(record.line, first, entry);
  const std::string value_answer(value.view());  // (the line it points into is soon read over)
  const std::string value_text = padded(first);
  bool uniform = line_of(record, value_text);
  for (std::int64_t left = lines - 1; left > 0 && uniform; --left) {
    uniform = reader.next(record) && record.section == inspect::Section::ArrayValues &&
              line_of(record, value_text);
    if (uniform) expect_line(record);
  }
  if (uniform) {
    out.answer("0").note(subjects).note(": all values the same? (0 = yes)").end();
    out.answer(value_answer).note(subject).note(": every ").note(index).end();
    return;
  }
  reader.resume(start);
  out.answer("1").note(subjects).note(": all values the same? (1 = no)").end();
  for (std::int64_t left = lines; left > 0; --left) {
    if (!reader.next(record)) {
      throw FileEndsEarly{std::string(subject) + ", " + std::string(index) + " " +
                          std::to_string((lines - left) * per_line + 1)};
    }
    if (record.section != inspect::Section::ArrayValues) {
      throw inspect::ReadError(record.line.number, 1,
                               "expected " + std::to_string(count) + " " + std::string(subjects) +
                                   ", found " + std::to_string((lines - left) * per_line));
    }
    expect_line(record);
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
      session.answer(record.line, record.fields[i], entry)
          .note(subject)
          .note(", ")
          .note(index)
          .note(" ")
          .note(record.first + static_cast<std::int64_t>(i))
          .end();
    }
    session.expect_end(record.line, header.values_format.columns_of_first(record.fields.size()),
                       [&] { return "a line of " + std::string(subjects); });
  }
}

}  // namespace answers
