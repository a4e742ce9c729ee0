// Sizes of the records the builders write, worked out from the record
// layouts alone, so that the runner can check every output file's size
// without trusting the program that wrote it.
#pragma once

#include <cstdint>

namespace bench {

constexpr std::int64_t kLineEnd = 2;  // CR LF

// One formatted write of `count` values through a list of `per_record`
// fields of `width` columns each: full records, then one with the rest; a
// write without values is one empty record.
constexpr std::int64_t formatted_write_bytes(std::int64_t count, std::int64_t per_record,
                                             std::int64_t width) {
  if (count <= 0) return kLineEnd;
  std::int64_t full = count / per_record;
  std::int64_t rest = count % per_record;
  return full * (per_record * width + kLineEnd) + (rest > 0 ? rest * width + kLineEnd : 0);
}

// A record of the given columns and its line end.
constexpr std::int64_t record_bytes(std::int64_t columns) { return columns + kLineEnd; }

// The array-control record ahead of every array and list.
constexpr std::int64_t kArrayControlBytes = record_bytes(63);

// One layer of an integer array ("(20I3)") and of a real array
// ("(10G10.3)"): the array-control record, then one write per row.
constexpr std::int64_t integer_layer_bytes(std::int64_t rows, std::int64_t columns) {
  return kArrayControlBytes + (rows > 0 ? rows * formatted_write_bytes(columns, 20, 3) : 0);
}
constexpr std::int64_t real_layer_bytes(std::int64_t rows, std::int64_t columns) {
  return kArrayControlBytes + (rows > 0 ? rows * formatted_write_bytes(columns, 10, 10) : 0);
}

}  // namespace bench
