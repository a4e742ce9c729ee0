// The compiled half of gwbuilders: the reading library, the answers, the
// check and the report, with numpy arrays filled in place, and the writing
// of a model's files by the builders' dialogues (model_writing.h). The Python
// package (gwbuilders/) gives these their shapes, names and exceptions.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "answers/answers.h"
#include "check/model_check.h"
#include "inspect/array_cursor.h"
#include "inspect/read_error.h"
#include "python/native/model_reading.h"
#include "python/native/model_writing.h"
#include "report/model_facts.h"
#include "report/report_page.h"

namespace py = pybind11;

namespace {

// Raises gwbuilders.ReadError, with the place, for `error` in the file at `path`.
[[noreturn]] void raise_read_error(const std::string& path, const inspect::ReadError& error) {
  py::gil_scoped_acquire hold;
  const py::module_ errors = py::module_::import("gwbuilders._errors");
  const py::object value = errors.attr("read_error_from_native")(py::bytes(error.what()), py::bytes(path),
                                                                 error.line(), error.column());
  PyErr_SetObject(errors.attr("ReadError").ptr(), value.ptr());
  throw py::error_already_set();
}

// numpy arrays as the reading's buffers: the values go straight into them.
class NumpySink : public gwbuilders::ArraySink {
 public:
  std::int32_t* integer_array(std::string_view label, const inspect::GridCounts& grid) override {
    py::gil_scoped_acquire hold;
    py::array_t<std::int32_t> array({grid.layers, grid.rows, grid.columns});
    arrays_[py::str(std::string(label))] = array;
    return array.mutable_data();
  }
  float* real_array(std::string_view label, const inspect::GridCounts& grid) override {
    py::gil_scoped_acquire hold;
    py::array_t<float> array({grid.layers, grid.rows, grid.columns});
    arrays_[py::str(std::string(label))] = array;
    return array.mutable_data();
  }
  py::dict arrays() const { return arrays_; }

 private:
  py::dict arrays_;
};

py::list asterisk_list(const gwbuilders::AsteriskFields& asterisks) {
  py::list out;
  for (const auto& a : asterisks.first) out.append(py::make_tuple(a.line, a.column, a.what));
  return out;
}

// Runs `read` (the reading of the file at `path`) without the GIL, so that
// other Python threads go on meanwhile; a ReadError becomes
// gwbuilders.ReadError.
template <typename Read>
auto read_without_gil(const std::string& path, Read read) -> decltype(read()) {
  py::gil_scoped_release free;
  try {
    return read();
  } catch (const inspect::ReadError& e) {
    raise_read_error(path, e);
  }
}

// What every reading gives besides its contents: the first fields that
// hold asterisks, and how many there are.
void add_asterisks(py::dict& d, const gwbuilders::AsteriskFields& asterisks) {
  d["asterisks"] = asterisk_list(asterisks);
  d["asterisk_count"] = asterisks.count;
}

py::array_t<float> float_array(const std::vector<float>& values) {
  py::array_t<float> out(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), out.mutable_data());
  return out;
}

// The reading of a file with arrays (`read`: read_basic_file or
// read_flow_file) into numpy's buffers: its grid, arrays and asterisks, and
// what `describe` adds of its contents.
template <typename Contents, typename Describe>
py::dict read_with_arrays(const std::string& path, Contents (*read)(const std::string&, gwbuilders::ArraySink&),
                          Describe describe) {
  NumpySink sink;
  const Contents c = read_without_gil(path, [&] { return read(path, sink); });
  py::dict d;
  describe(c, d);
  d["grid"] = py::make_tuple(c.grid.layers, c.grid.rows, c.grid.columns);
  d["arrays"] = sink.arrays();
  add_asterisks(d, c.asterisks);
  return d;
}

py::dict read_basic(const std::string& path) {
  return read_with_arrays(path, gwbuilders::read_basic_file, [](const gwbuilders::BasicContents& c, py::dict& d) {
    d["title_1"] = py::bytes(c.title_1);
    d["title_2"] = py::bytes(c.title_2);
    d["period_count"] = c.period_count;
    d["time_unit"] = c.time_unit;
    d["module_units"] = std::vector<std::int32_t>(c.module_units.begin(), c.module_units.end());
    d["memory_sharing"] = c.memory_sharing;
    d["save_heads"] = c.save_heads;
    d["no_flow_head"] = c.no_flow_head;
    py::list periods;
    for (const auto& p : c.periods) periods.append(py::make_tuple(p.length, p.steps, p.multiplier));
    d["periods"] = periods;
  });
}

py::dict read_flow(const std::string& path) {
  return read_with_arrays(path, gwbuilders::read_flow_file, [](const gwbuilders::FlowContents& c, py::dict& d) {
    d["simulation_type"] = c.simulation_type;
    d["cell_by_cell_code"] = c.cell_by_cell_code;
    d["layer_types"] = c.layer_types;
    d["anisotropy"] = float_array(c.anisotropy);
    d["delr"] = float_array(c.delr);
    d["delc"] = float_array(c.delc);
    d["labels"] = c.labels;
  });
}

py::dict read_drains(const std::string& path) {
  const gwbuilders::DrainContents c =
      read_without_gil(path, [&] { return gwbuilders::read_drain_file(path); });
  py::dict d;
  d["max_drains"] = c.max_drains;
  d["flow_code"] = c.flow_code;
  py::list periods;
  for (const auto& p : c.periods) periods.append(py::make_tuple(p.use_code, p.first));
  d["periods"] = periods;
  // One record per drain, (layer, row, column, elevation, conductance).
  py::array_t<gwbuilders::Drain> drains(static_cast<py::ssize_t>(c.drains.size()));
  std::copy(c.drains.begin(), c.drains.end(), drains.mutable_data());
  d["drains"] = drains;
  add_asterisks(d, c.asterisks);
  return d;
}

// The answers of the file at `path` as `gwinspect answers` writes them:
// (exit status, the answers, the messages).
py::tuple answers_of(int builder, const std::string& path) {
  if (builder < 0 || builder > 2) throw py::value_error("builder: 0 Morvek, 1 Cindral, 2 Quillet");
  std::string text, messages;
  int status = 0;
  {
    py::gil_scoped_release free;
    // The answers library writes to a file descriptor: a file in memory.
    const int fd = memfd_create("gwbuilders-answers", MFD_CLOEXEC);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "memfd_create");
    std::ostringstream out;
    status = answers::write_answers(static_cast<answers::Builder>(builder), path, fd, out);
    messages = out.str();
    const off_t size = lseek(fd, 0, SEEK_END);
    text.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    close(fd);
  }
  return py::make_tuple(status, py::bytes(text), py::bytes(messages));
}

// (completed, [(file, line, column, severity, rule, message, (layer, row, column), count)]).
py::tuple check_folder(const std::string& folder) {
  check::CheckResult result;
  {
    py::gil_scoped_release free;
    result = check::check_model(folder);
  }
  py::list out;
  for (const check::Diagnostic& d : result.diagnostics) {
    out.append(py::make_tuple(py::bytes(d.file), d.line, d.column, std::string(check::severity_name(d.severity)),
                              d.rule, py::bytes(d.message),
                              py::make_tuple(d.cell.layer, d.cell.row, d.cell.column), d.count));
  }
  return py::make_tuple(result.completed, out);
}

// The page of `gwinspect report`, or the error it would print.
py::bytes report_of(const std::string& folder, const std::string& length_unit) {
  std::string page;
  {
    py::gil_scoped_release free;
    try {
      report::ModelFacts model = report::read_model(folder);
      model.length_unit = length_unit;
      page = report::report_page(model);
    } catch (const inspect::ReadError& e) {
      raise_read_error(folder + "/FOR001", e);
    }
  }
  return py::bytes(page);
}

}  // namespace

PYBIND11_MODULE(_native, m) {
  m.doc() = "The compiled reading, answers, check, report and writing of gwbuilders";
  PYBIND11_NUMPY_DTYPE(gwbuilders::Drain, layer, row, column, elevation, conductance);
  m.def("read_basic", &read_basic, py::arg("path"));
  m.def("read_flow", &read_flow, py::arg("path"));
  m.def("read_drains", &read_drains, py::arg("path"));
  m.def("answers", &answers_of, py::arg("builder"), py::arg("path"));
  m.def("check", &check_folder, py::arg("folder"));
  m.def("report", &report_of, py::arg("folder"), py::arg("length_unit"));
  // (rows passed by comparing bytes, rows walked again from a kept row) so
  // far in this process: the tests see the quick way still taken.
  m.def("passed_row_counts", [] {
    const inspect::PassedRowCounts counts = inspect::passed_row_counts();
    return py::make_tuple(counts.passed_by_bytes, counts.replayed);
  });
  gwbuilders::add_model_writing(m);
}
