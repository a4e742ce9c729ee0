#include "inspect/basic_file_reader.h"

#include <algorithm>

#include "format/basic_file.h"

namespace inspect {
namespace {

std::int64_t loop_count(std::int32_t count) { return std::max<std::int32_t>(count, 0); }

}  // namespace

bool BasicFileReader::next(Record& record) {
  record = Record{};
  if (state_.step == Step::Done) {
    // Blank lines after the last record are let pass; anything else is not
    // this file's.
    while (in_.read_line()) {
      if (!trimmed(in_.line().text).empty()) in_.fail(1, "the end of the file after the last record");
    }
    return false;
  }
  if (!in_.read_line()) return false;
  record.line = in_.line();
  BasicFileState& s = state_;
  switch (s.step) {
    case Step::Title1:
    case Step::Title2:
      record.section = Section::Title;
      record.fields = in_.read_fields(layout_of<format::kTitleFormat>());
      s.step = s.step == Step::Title1 ? Step::Title2 : Step::Dimensions;
      return true;
    case Step::Dimensions: {
      record.section = Section::Dimensions;
      record.fields = in_.read_fields(layout_of<format::kDimensionFormat>(), 0, 5);
      const auto& f = record.fields;
      s.grid.layers = loop_count(in_.integer_of(f[0], "the number of layers (I10)"));
      s.grid.rows = loop_count(in_.integer_of(f[1], "the number of rows (I10)"));
      s.grid.columns = loop_count(in_.integer_of(f[2], "the number of columns (I10)"));
      s.period_count = loop_count(in_.integer_of(f[3], "the number of stress periods (I10)"));
      in_.integer_of(f[4], "the time unit (I10)");
      s.step = Step::Modules;
      return true;
    }
    case Step::Modules:
      record.section = Section::ModuleUnits;
      record.fields = in_.read_fields(layout_of<format::kModuleTableFormat>());
      for (const Field& f : record.fields) in_.integer_of(f, "a module unit number (I3)");
      s.step = Step::Options;
      return true;
    case Step::Options:
      record.section = Section::Options;
      record.fields = in_.read_fields(layout_of<format::kOptionFormat>());
      in_.integer_of(record.fields[0], "the memory sharing option (I10)");
      in_.integer_of(record.fields[1], "the save starting heads option (I10)");
      s.layer = 1;
      s.step = s.grid.layers > 0 ? Step::BoundaryControl : Step::NoFlowHead;
      return true;
    case Step::BoundaryControl:
      control_record(record, format::kBoundaryArray.label, Step::BoundaryValues);
      if (s.values.done()) after_values();
      return true;
    case Step::HeadControl:
      control_record(record, format::kStartingHeadArray.label, Step::HeadValues);
      if (s.values.done()) after_values();
      return true;
    case Step::BoundaryValues:
    case Step::HeadValues:
      s.values.read_line(in_, record);
      if (s.values.done()) after_values();
      return true;
    case Step::NoFlowHead:
      record.section = Section::NoFlowHead;
      record.fields = in_.read_fields(layout_of<format::kNoFlowHeadFormat>());
      s.layer = 1;
      s.step = s.grid.layers > 0 ? Step::HeadControl : Step::Periods;
      if (s.step == Step::Periods && s.period_count == 0) s.step = Step::Done;
      return true;
    case Step::Periods:
      record.section = Section::StressPeriod;
      record.fields = in_.read_fields(layout_of<format::kStressPeriodFormat>());
      record.period = s.period;
      in_.integer_of(record.fields[1], "the number of time steps (I10)");
      if (++s.period > s.period_count) s.step = Step::Done;
      return true;
    case Step::Done: break;
  }
  return false;
}

void BasicFileReader::control_record(Record& record, std::string_view label, Step values_step) {
  BasicFileState& s = state_;
  s.values.read_control(in_, label, s.layer, s.grid.rows, s.grid.columns, record);
  s.step = values_step;
}

bool BasicFileReader::reading_values() const {
  return state_.step == Step::BoundaryValues || state_.step == Step::HeadValues;
}

void BasicFileReader::after_values() {
  BasicFileState& s = state_;
  const bool boundary = s.step == Step::BoundaryControl || s.step == Step::BoundaryValues;
  const Step next_control = boundary ? Step::BoundaryControl : Step::HeadControl;
  const Step after_last_layer = boundary ? Step::NoFlowHead : Step::Periods;
  if (++s.layer <= s.grid.layers) {
    s.step = next_control;
    return;
  }
  s.step = after_last_layer;
  if (s.step == Step::Periods && s.period_count == 0) s.step = Step::Done;
}

std::string BasicFileReader::expected() const {
  const BasicFileState& s = state_;
  switch (s.step) {
    case Step::Title1: return "the first title record";
    case Step::Title2: return "the second title record";
    case Step::Dimensions: return "the dimension record";
    case Step::Modules: return "the module unit table";
    case Step::Options: return "the option record";
    case Step::BoundaryControl: return "the array-control record of " + array_name(format::kBoundaryArray.label, s.layer);
    case Step::HeadControl: return "the array-control record of " + array_name(format::kStartingHeadArray.label, s.layer);
    case Step::BoundaryValues:
    case Step::HeadValues:
      return s.values.expected_row();
    case Step::NoFlowHead: return "the no-flow head record";
    case Step::Periods: return "the record of stress period " + std::to_string(s.period);
    case Step::Done: break;
  }
  return "the end of the file";
}

}  // namespace inspect
