#include "answers/array_answers.h"

#include "format/basic_file.h"
#include "format/flow_file.h"

namespace answers {

std::string_view array_subject(std::string_view label) {
  struct Subject {
    const format::ArrayEntry& array;
    std::string_view subject;
  };
  static constexpr Subject kSubjects[] = {
      {format::kBoundaryArray, "boundary"},
      {format::kStartingHeadArray, "starting head"},
      {format::kPrimaryStorageArray, "primary storage"},
      {format::kTransmissivityArray, "transmissivity"},
      {format::kConductivityArray, "hydraulic conductivity"},
      {format::kBottomArray, "bottom elevation"},
      {format::kVerticalConductanceArray, "vertical conductance"},
      {format::kSecondaryStorageArray, "secondary storage"},
      {format::kTopArray, "top elevation"},
  };
  for (const Subject& s : kSubjects) {
    if (s.array.label == label) return s.subject;
  }
  return label;
}

namespace {

// The cursor's next line, or null where the file ends.
const inspect::ValueLine* next_line(inspect::ArrayCursor& cursor) {
  try {
    return &cursor.next_line();
  } catch (const inspect::FileEndsEarly&) {
    return nullptr;
  }
}

}  // namespace

void answer_array_rows(AnswerSession& session, inspect::ArrayCursor& cursor, std::string_view subject,
                       std::int64_t layer) {
  using namespace array_detail;
  const inspect::ArrayHeader& header = cursor.header();
  AnswerWriter& out = session.out();
  const std::string name = std::string(subject) + ", layer " + std::to_string(layer);
  const std::int64_t per_line = static_cast<std::int64_t>(header.values_format.size());
  const std::int64_t lines_per_row = cursor.lines_per_row();
  if (header.layer.kind == inspect::Field::Kind::Asterisks) {
    session.layer_asterisks(header.line, header.layer,
                            inspect::array_name(header.label_text, header.layer_number));
  }

  if (header.rows <= 0 || header.columns <= 0) {
    out.answer("1").note(name).note(": all values the same? (1 = no: the array has no cells)").end();
    for (std::int64_t r = 1; r <= header.rows; ++r) {  // an empty line per row
      cursor.begin_row();
      const inspect::ValueLine* line = next_line(cursor);
      if (line == nullptr) throw FileEndsEarly{"the question after " + name};
      session.expect_end(line->line(), 0, "an empty row of " + name);
    }
    return;
  }

  auto cell_question = [&](std::int64_t row, std::int64_t column) {
    return name + ", row " + std::to_string(row) + ", column " + std::to_string(column);
  };
  cursor.begin_row();
  const inspect::ValueLine* line = next_line(cursor);
  if (line == nullptr) {
    out.answer("1").note(name).note(": all values the same? (1 = no)").end();
    throw FileEndsEarly{cell_question(1, 1)};
  }
  const inspect::Field first = line->fields[0];
  const std::int64_t first_line_number = line->line_number;
  FieldAnswer value;
  const std::string cell = "a cell of " + name;
  if (!format::answer_for_field(first.text, first.width, first.type, value)) {
    session.answer_for(line->line(), first, cell);
  }
  const std::string value_answer(value.view());  // (the line it points into is soon read over)
  const std::string value_text = padded(first);

  // Uniform? Whole rows first, then line by line (a file with LF line ends
  // or trimmed blanks), stopping at the first field that differs.
  bool uniform = true;
  cursor.restart();
  const std::string full_line = repeated(value_text, per_line);
  const std::string last_line = repeated(value_text, header.columns - (lines_per_row - 1) * per_line);
  std::int64_t row = 1;
  while (row <= header.rows && cursor.pass_row_if_equal(full_line, last_line)) ++row;
  for (; row <= header.rows && uniform; ++row) {
    cursor.begin_row();
    for (std::int64_t k = 0; k < lines_per_row && uniform; ++k) {
      line = next_line(cursor);
      uniform = line != nullptr && line_of(line->fields, line->text, value_text);
    }
  }

  if (uniform) {
    if (value.asterisks) {
      session.warn(first_line_number, first.column,
                   "every cell of " + name +
                       " is asterisks (a value too wide for its field): the value typed is lost "
                       "and the simulator cannot read them; answered " +
                       value_answer + ", which writes the same asterisks");
    }
    out.answer("0").note(name).note(": all values the same? (0 = yes)").end();
    out.answer(value_answer).note(name).note(": the value of every cell").end();
    return;
  }

  cursor.restart();
  out.answer("1").note(name).note(": all values the same? (1 = no)").end();
  std::string row_name;  // "starting head, layer 1, row 4, column ", made once a line
  for (row = 1; row <= header.rows; ++row) {
    cursor.begin_row();
    for (std::int64_t k = 0; k < lines_per_row; ++k) {
      line = next_line(cursor);
      if (line == nullptr) {
        const inspect::ArrayWalk at = cursor.walk();
        throw FileEndsEarly{cell_question(at.row, at.first_column(header))};
      }
      const inspect::Line text_line = line->line();
      const std::span<const inspect::Field> fields = line->fields;
      row_name.assign(name).append(", row ").append(std::to_string(line->row)).append(", column ");
      // The builder writes a row's lines together, once its last cell is in.
      const bool row_starts = line->first_column == 1;
      const bool row_ends = line->end_column() - 1 >= header.columns;
      if (row_starts && !row_ends) {
        session.hold(line->line_number, "row " + std::to_string(line->row) + " of " + name);
      }
      for (std::size_t i = 0; i < fields.size(); ++i) {
        session.answer(text_line, fields[i], cell)
            .note(row_name)
            .note(line->first_column + static_cast<std::int64_t>(i))
            .end();
      }
      session.expect_end(text_line, header.values_format.columns_of_first(fields.size()),
                         [&] { return "row " + std::to_string(line->row) + " of " + name; });
      if (row_ends && !row_starts) session.complete();
    }
  }
}

}  // namespace answers
