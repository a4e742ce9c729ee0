// The console of a program: prompt lines, formatted echoes, free-form
// answers, the stop.
//
// Every record shown on the console begins with a carriage-control character
// that is not displayed: a blank (or anything unlisted) puts a line end in
// front, "0" two, "1" a form feed, "+" a carriage return only. The line end
// of a record is owed, not written: it goes out in front of the next record,
// at the start of a read (when standard input and output are both
// terminals), or at the end of the run.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/answer_scanner.h"
#include "common/answer_watcher.h"
#include "common/byte_buffer.h"
#include "format/descriptor_list.h"
#include "common/input_stream.h"
#include "common/run_participant.h"
#include "format/record_render.h"

namespace common {

// Console lines rendered once and shown many times, such as the prompts of
// cell-by-cell entry, which repeat for every row and every layer.
class ConsoleLines {
 public:
  // Adds one line as Console::write_line(items) shows it. Takes only lines
  // that make one console record beginning with a text (every line of the
  // programs does); returns false, adding nothing, for any other.
  bool add(std::initializer_list<format::Item> items);

 private:
  friend class Console;
  std::string shown_;  // each line as shown after an open line: CR LF, its text
  std::size_t last_line_at_ = 0;  // where the text of the last line begins in shown_
};

class Console final : public RunParticipant {
 public:
  static constexpr std::size_t kLineRoom = 79;  // columns for items, after the carriage-control blank
  // An output descriptor that takes everything and keeps nothing.
  static constexpr int kNullSink = -1;

  // Asks once whether standard input and output are both terminals; they
  // then share one state. The console takes part in every end of the run
  // (process_end.h).
  Console();
  // For tests: explicit descriptors and mode (whether input is typed is
  // still asked of `in_fd`).
  Console(int in_fd, int out_fd, bool shared_terminal);
  // Answers from memory, as from a file; output to `out_fd` (or kNullSink).
  Console(std::string_view answers, int out_fd);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // One list-directed console line of texts and integers: the usual line,
  // one record begun by a text, laid out at once; any other the general way.
  // Always inline, with the loops over the items unrolled, so that for the
  // programs' literal lines the texts' lengths are known when compiled (left
  // to itself, the compiler keeps some lines of a large main as loops). Out
  // of line, a session of drains typed one by one runs a fifth longer.
  [[gnu::always_inline]] void write_line(std::initializer_list<format::Item> items) {
    const std::span<const format::Item> list(items.begin(), items.size());
    if (!fits_one_record(list)) {
      write_line_fallback(list);
      return;
    }
    // The record's carriage-control blank turns into the owed line end.
    char* at = out_.room(kLineRoom + 2);
    if (line_open_) {
      *at++ = '\r';
      *at++ = '\n';
    }
    const char* end = put_simple_line(at, list);
    last_line_ = {static_cast<std::size_t>(at - out_.data()), static_cast<std::size_t>(end - out_.data()), true};
    out_.commit(end);
    line_open_ = true;
    if (out_.size() >= kFlushThreshold) flush();
  }
  // The same as write_line() of each line added to `lines`, in order
  // (inline: cell-by-cell entry shows them before every cell).
  void write_lines(const ConsoleLines& lines) {
    std::string_view shown = lines.shown_;
    if (shown.empty()) return;
    std::size_t at = out_.size() + lines.last_line_at_;
    if (!line_open_) {
      shown.remove_prefix(2);  // no line end is owed yet
      at -= 2;
    }
    out_.append(shown);
    last_line_ = {at, out_.size(), true};
    line_open_ = true;
    if (out_.size() >= kFlushThreshold) flush();
  }

  // The error report of an answer names the question it answered: the last
  // console line before the read, unless one of these says otherwise until
  // the read is done.
  //
  // A line that asks the question, where legend lines follow it.
  void write_question(std::initializer_list<format::Item> items) {
    write_line(items);
    asked_ = Asked::MarkedLine;
    marked_ = last_line_;
  }
  // A cell of an array: "row R, column C of <array> of layer L".
  void asking_for_cell(std::string_view array, std::int32_t layer, std::int64_t row,
                       std::int64_t column) {
    asked_ = Asked::Cell;
    cell_ = {array, layer, row, column};
  }

  // The echo of values rendered through `list`; every record loses its first
  // column to carriage control.
  template <typename Value>
  void write_record(const format::DescriptorList& list, std::span<const Value> values) {
    format::render_records(list, values, [this](std::string_view record) { show_record(record); },
                   scratch_);
  }

  // The echo of one record already rendered through a descriptor list
  // (render_records), as write_record() would have shown it.
  void write_rendered(std::string_view record) { show_record(record); }

  // One free-form value each; a null answer leaves the variable as it was.
  void read_integer(std::int32_t& value);
  void read_real(float& value);
  // One line into `length` bytes of `text`, blank-filled ("(a)").
  void read_text(char* text, std::size_t length);

  // "Stop - Program terminated.", then the end of the run with status 0.
  [[noreturn]] void stop();

  // From now on every answer whose line goes on with more than blanks or a
  // note is told to `watcher` as it is read, the rest of its line consumed
  // at once (nullptr: none). Every read then goes the general way.
  void watch_answers(AnswerWatcher* watcher) {
    watcher_ = watcher;
    read_usual_answers_at_once();
  }
  // Where the last answer read the general way stands (-1 for none).
  std::int64_t last_answer_line() const { return scanner_.answer_line(); }
  std::int64_t last_answer_column() const { return scanner_.answer_column(); }
  // The line of the first answer not read, past blanks and empty lines; 0
  // when the answers hold no more (or are typed).
  std::int64_t next_unread_line() { return scanner_.next_unread_line(); }

  // Hands everything written so far to the system. Raises the run-time error
  // report if standard output cannot take it.
  void flush();

  // Writes what is buffered, ignoring failure (the run is already failing).
  void flush_quietly();

  // End-of-run duties: the owed line end, the last flush (a failure is
  // reported only when `report_errors`), and standard input given back.
  void finish(bool report_errors) override;

  // The same when a signal ends the run, from its handler: the owed line end
  // where standard output is a terminal (text still buffered is dropped),
  // and standard input given back. Async-signal-safe.
  void end_at_signal() noexcept;

  // The ends of the run (process_end.h).
  void hand_over() override { flush(); }
  void hand_over_quietly() override { flush_quietly(); }
  void finish_at_signal() noexcept override { end_at_signal(); }

 private:
  static constexpr int kIntegerWidth = 11;

  // Whether the items make one console record that begins with the added
  // carriage-control blank: a text first, and room for all. Every line of
  // the programs does.
  [[gnu::always_inline]] static bool fits_one_record(std::span<const format::Item> items) {
    if (!items.empty() && items[0].kind != format::Item::Kind::Text) return false;
    std::size_t room = kLineRoom;
    bool after_number = false;
#pragma GCC unroll 8
    for (const format::Item& item : items) {
      const bool number = item.kind == format::Item::Kind::Integer;
      const std::size_t width =
          number ? (after_number ? kIntegerWidth + 1 : kIntegerWidth) : item.text.size();
      if (width >= room) return false;
      room -= width;
      after_number = number;
    }
    return true;
  }

  // The text of such a line, as shown (without the blank) at `at`, which
  // has room for kLineRoom bytes; returns its end.
  [[gnu::always_inline]] static char* put_simple_line(char* at, std::span<const format::Item> items) {
    bool after_number = false;
#pragma GCC unroll 8
    for (const format::Item& item : items) {
      if (item.kind == format::Item::Kind::Integer) {
        at = format::put_integer_field(at, item.integer, after_number ? kIntegerWidth + 1 : kIntegerWidth);
        after_number = true;
      } else {
        ByteBuffer::copy_bytes(at, item.text.data(), item.text.size());
        at += item.text.size();
        after_number = false;
      }
    }
    return at;
  }

  // write_line() of any other line: a text or a number that does not fit
  // moves on to the next record, a text split where it must.
  void write_line_fallback(std::span<const format::Item> items);

  friend class ConsoleLines;  // lays out its lines as write_line() does

  void show_record(std::string_view record);
  void read_usual_answers_at_once();
  template <typename Read>
  void read_answer(Read read, std::size_t text_length);
  void tell_discarded_rest(std::size_t text_length);
  [[noreturn]] void answer_failed(int code);
  std::string question_text() const;
  int write_out();

  // A line of out_, by its offsets; valid until out_ is written out.
  struct ShownLine {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool held = false;  // still in out_
  };
  enum class Asked : unsigned char { LastLine, MarkedLine, Cell };
  struct CellAsked {
    std::string_view array;
    std::int32_t layer = 0;
    std::int64_t row = 0;
    std::int64_t column = 0;
  };

  int out_fd_;
  bool shared_;
  bool out_is_terminal_;
  bool line_open_ = false;
  bool output_failed_ = false;
  ByteBuffer out_;
  std::string scratch_;
  InputStream in_;
  AnswerScanner scanner_;
  // What the next answer answers (see write_question()). A line that has
  // left out_ lives on in saved_question_ while it may still be asked.
  Asked asked_ = Asked::LastLine;
  ShownLine last_line_;
  ShownLine marked_;
  CellAsked cell_;
  std::string saved_question_;
  AnswerWatcher* watcher_ = nullptr;
};

}  // namespace common
