// Rendering one formatted write: items matched in order with the data
// descriptors of a list, the list used again from its start while items
// remain. Each record is rendered into a place the caller provides.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "format/descriptor_list.h"
#include "format/field_render.h"

namespace format {

// One value of a formatted write. The programs pair integers with I, reals
// with G and texts with A; any other pairing renders asterisks.
struct Item {
  enum class Kind : std::uint8_t { Integer, Real, Text };
  Kind kind;
  std::int32_t integer = 0;
  float real = 0.0f;
  std::string_view text;

  Item(std::int32_t v) : kind(Kind::Integer), integer(v) {}
  Item(float v) : kind(Kind::Real), real(v) {}
  Item(std::string_view v) : kind(Kind::Text), text(v) {}
  Item(const char* v) : kind(Kind::Text), text(v) {}
};

// One field of `d.width` bytes at `at`; returns its end.
inline char* put_field(char* at, std::int32_t value, const Descriptor& d) {
  if (d.kind == Descriptor::Kind::Integer) return put_integer_field(at, value, d.width);
  return put_asterisks(at, d.width);
}
inline char* put_field(char* at, float value, const Descriptor& d) {
  if (d.kind == Descriptor::Kind::Real) return put_real_field(at, value, d.width, d.digits);
  return put_asterisks(at, d.width);
}
inline char* put_field(char* at, const Item& item, const Descriptor& d) {
  switch (item.kind) {
    case Item::Kind::Integer: return put_field(at, item.integer, d);
    case Item::Kind::Real: return put_field(at, item.real, d);
    case Item::Kind::Text: break;
  }
  if (d.kind == Descriptor::Kind::Text) return put_text_field(at, item.text, d.width);
  return put_asterisks(at, d.width);
}

void append_field(std::string& out, const Item& item, const Descriptor& d);
void append_field(std::string& out, std::int32_t value, const Descriptor& d);
void append_field(std::string& out, float value, const Descriptor& d);

// Splits a write into its records: `each(record_values)` is called once per
// record, with the values it holds (fewer than the list's descriptors for a
// last, short record). A write without values is one empty record.
template <typename Value, typename Each>
void for_each_record(const DescriptorList& list, std::span<const Value> values, Each&& each) {
  if (values.empty()) {
    each(values);
    return;
  }
  if (list.size() == 0) throw std::invalid_argument("descriptor list without data descriptors");
  for (std::size_t first = 0; first < values.size(); first += list.size()) {
    each(values.subspan(first, std::min(list.size(), values.size() - first)));
  }
}

// The fields of one record at `at` (room for list.columns_of_first(n)
// bytes); returns its end.
template <typename Value>
char* put_record(char* at, const DescriptorList& list, std::span<const Value> record_values) {
  for (std::size_t i = 0; i < record_values.size(); ++i) at = put_field(at, record_values[i], list[i]);
  return at;
}

// Renders `values` (a span of Item, int32_t or float) through `list`.
// `sink(std::string_view)` receives each record, without line end;
// `scratch` is reused between calls to avoid allocations.
template <typename Value, typename Sink>
void render_records(const DescriptorList& list, std::span<const Value> values, Sink&& sink,
                    std::string& scratch) {
  for_each_record(list, values, [&](std::span<const Value> record_values) {
    scratch.resize(std::max(scratch.size(), list.columns_of_first(record_values.size())));
    char* end = put_record(scratch.data(), list, record_values);
    sink(std::string_view(scratch.data(), static_cast<std::size_t>(end - scratch.data())));
  });
}

}  // namespace format
