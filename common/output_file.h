// A program's one output file: open, set to start, records, close.
//
// The first record written after the file is set to its start cuts the file
// there, so a run that fails before its first record leaves an existing file
// as it was. Records are buffered, but handed to the system before any read
// that may wait for the user and at every end of the run; a write that fails
// part-way is cut back to the last complete record. Every write hands over
// whole records, so between writes the file ends on a record boundary. While
// a run has the file open, it holds a lock on it that keeps other runs out.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "common/byte_buffer.h"
#include "common/run_participant.h"
#include "format/descriptor_list.h"
#include "format/record_render.h"

namespace common {

class OutputFile final : public RunParticipant {
 public:
  // Where the records go: to the file, or nowhere. A file that writes
  // nowhere is named, opened and written like any other, but nothing
  // reaches the system: no file is created, opened, cut or written.
  enum class Writes { ToSystem, Nowhere };

  OutputFile() = default;
  explicit OutputFile(Writes writes) : nowhere_(writes == Writes::Nowhere) {}
  // The file the run opens by its name is made at `path` instead, before
  // open(): a file written beside its place under a name of its own, for
  // the caller to rename there once the run is complete. Messages still
  // name the file as the run named it.
  void place_at(std::string path) { place_ = std::move(path); }
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // `status` "UNKNOWN" and `access` "sequential" (any case, blanks around):
  // a missing file is created, an existing one opened unchanged.
  void open(std::int32_t unit, std::string_view name, std::string_view status,
            std::string_view access);
  void rewind();

  template <typename Value>
  void write_record(const format::DescriptorList& list, std::span<const Value> values) {
    begin_write();
    format::for_each_record(list, values, [&](std::span<const Value> record_values) {
      char* at = buffer_.room(list.columns_of_first(record_values.size()) + 2);
      end_record(format::put_record(at, list, record_values));
    });
  }
  void write_record(const format::DescriptorList& list, std::initializer_list<format::Item> items) {
    write_record(list, std::span<const format::Item>(items.begin(), items.size()));
  }

  // The same as write_record(list, {values...}) for values whose types are
  // known when compiled (std::int32_t, float): one record rendered field by
  // field without looking at the kind of each value.
  template <typename... Values>
  void write_fields(const format::DescriptorList& list, Values... values) {
    if (sizeof...(Values) > list.size()) {  // more than one record
      write_record(list, {format::Item(values)...});
      return;
    }
    begin_write();
    char* at = buffer_.room(list.columns_of_first(sizeof...(Values)) + 2);
    std::size_t i = 0;
    ((at = format::put_field(at, values, list[i++])), ...);
    end_record(at);
  }

  // One record already rendered through a descriptor list (render_records),
  // as write_record() would have written it.
  void write_rendered(std::string_view record) {
    begin_write();
    char* at = buffer_.room(record.size() + 2);
    std::memcpy(at, record.data(), record.size());
    end_record(at + record.size());
  }

  void close();

  // Hands the buffered records to the system.
  void flush();
  // Closes without reporting a failure: the run is ending on another error.
  void close_quietly();
  // The same from a signal handler (async-signal-safe).
  void close_at_signal() noexcept;

  const std::string& name() const { return name_; }

  // The ends of the run (process_end.h).
  void hand_over() override { flush(); }
  void hand_over_quietly() override {
    if (fd_ >= 0) write_buffer();
  }
  void finish(bool report_errors) override {
    if (report_errors) {
      close();
    } else {
      close_quietly();
    }
  }
  void finish_at_signal() noexcept override { close_at_signal(); }

 private:
  // Before a record: the cut the first record owes.
  void begin_write() {
    if (cut_pending_ && !failed_) cut_file();
  }
  void cut_file();
  // The end of a record whose fields were put into the buffer's room up to
  // `at`: CR LF, then the record is the buffer's. Handed on as soon as the
  // buffer fills, even inside one write: a row of a very wide grid would
  // otherwise be held whole.
  void end_record(char* at) {
    *at++ = '\r';
    *at++ = '\n';
    buffer_.commit(at);
    if (buffer_.size() >= kFlushThreshold) flush();
  }
  void lock_against_other_runs(bool writable);
  int write_buffer();                // 0 or errno
  int hand_over_buffer() noexcept;  // the same, with the end signals not held
  [[noreturn]] void fail(int code, std::string_view operation, int err);

  int fd_ = -1;
  bool nowhere_ = false;
  std::string name_;
  std::string place_;  // where the file is made, when not at its name
  bool regular_ = false;
  bool cut_pending_ = false;
  bool failed_ = false;
  std::int64_t written_ = 0;  // bytes in the file since it was cut
  ByteBuffer buffer_{2 * kFlushThreshold};
};

}  // namespace common
