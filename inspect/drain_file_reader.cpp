#include "inspect/drain_file_reader.h"

#include "format/drain_file.h"

namespace inspect {

bool DrainFileReader::next(Record& record) {
  record = Record{};
  DrainFileState& s = state_;
  if (!in_.read_line()) return false;
  record.line = in_.line();
  if (!s.header_read) {
    record.section = Section::DrainHeader;
    record.fields = in_.read_fields(layout_of<format::kDrainHeaderFormat>());
    in_.integer_of(record.fields[0], "the maximum number of drains (I10)");
    in_.integer_of(record.fields[1], "the flow term output code (I10)");
    s.header_read = true;
    return true;
  }
  if (!s.in_drains) {
    record.section = Section::UseCode;
    record.fields = in_.read_fields(layout_of<format::kUseCodeFormat>());
    record.period = s.period;
    s.use_code = in_.integer_of(record.fields[0], "the use code of stress period " +
                                                       std::to_string(s.period) + " (I10)");
    if (s.use_code > 0) {
      s.in_drains = true;
      s.drain = 1;
    } else {
      ++s.period;
    }
    return true;
  }
  record.section = Section::Drain;
  if (drain_fields_read_) {
    record.fields = in_.read_fields(layout_of<format::kDrainFormat>(), 0, layout_of<format::kDrainFormat>().size(), in_.converts_values());
  }
  record.period = s.period;
  record.drain = s.drain;
  if (++s.drain > s.use_code) {
    s.in_drains = false;
    ++s.period;
  }
  return true;
}

bool DrainFileReader::ended_early() const { return !state_.header_read || state_.in_drains; }

std::string DrainFileReader::expected() const {
  const DrainFileState& s = state_;
  if (!s.header_read) return "the drain header record";
  if (s.in_drains) {
    return "the record of drain " + std::to_string(s.drain) + " of stress period " +
           std::to_string(s.period);
  }
  return "the use code of stress period " + std::to_string(s.period) + " or the end of the file";
}

}  // namespace inspect
