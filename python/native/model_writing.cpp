#include "python/native/model_writing.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "common/capacity.h"
#include "format/basic_file.h"
#include "format/flow_file.h"
#include "python/native/builder_writing.h"
#include "python/native/model_answers.h"

namespace py = pybind11;

namespace gwbuilders {
namespace {

// The answers of one file, kept on the C++ side: a model of many cells
// has many answers, and writing them needs no copy into Python.
struct Answers {
  Builder builder;
  std::string text;
};

// The arrays a part's values point into, held while its answers are made.
class Buffers {
 public:
  explicit Buffers(const py::dict& values) : values_(values) {}

  // The value of `key`, C-contiguous (the Python layer has checked its
  // dtype and shape; a view with strides is copied once).
  template <typename T>
  const T* array(const char* key) {
    auto a = py::array_t<T, py::array::c_style | py::array::forcecast>::ensure(values_[key]);
    if (!a) throw py::value_error(std::string(key) + " is not an array");
    kept_.push_back(a);
    return a.data();
  }
  template <typename T>
  std::span<const T> list(const char* key) {
    const T* data = array<T>(key);
    return {data, static_cast<std::size_t>(kept_.back().size())};
  }
  template <typename T>
  T scalar(const char* key) {
    return values_[key].cast<T>();
  }
  // The integers of `values` by their keys, each into its member of `into`.
  template <typename Values>
  void integers(Values& into, std::initializer_list<std::pair<const char*, std::int32_t Values::*>> keys) {
    for (const auto& [key, member] : keys) into.*member = scalar<std::int32_t>(key);
  }
  void keep(py::array a) { kept_.push_back(std::move(a)); }

 private:
  py::dict values_;
  std::vector<py::array> kept_;
};

Answers basic_answers_of(const py::dict& values) {
  Buffers in(values);
  BasicValues b;
  b.title_1 = in.scalar<std::string>("title_1");
  b.title_2 = in.scalar<std::string>("title_2");
  in.integers(b, {{"layers", &BasicValues::layers}, {"rows", &BasicValues::rows},
                  {"columns", &BasicValues::columns}, {"period_count", &BasicValues::period_count},
                  {"time_unit", &BasicValues::time_unit}, {"memory_sharing", &BasicValues::memory_sharing},
                  {"save_heads", &BasicValues::save_heads}});
  b.module_units = in.scalar<std::array<std::int32_t, 24>>("module_units");
  b.no_flow_head = in.scalar<float>("no_flow_head");
  b.periods = in.list<StressPeriodValues>("periods");
  b.ibound = in.array<std::int32_t>("ibound");
  b.shead = in.array<float>("shead");
  py::gil_scoped_release free;
  return {Builder::Morvek, basic_answers(b)};
}

Answers flow_answers_of(const py::dict& values) {
  Buffers in(values);
  FlowValues f;
  in.integers(f, {{"simulation_type", &FlowValues::simulation_type},
                  {"cell_by_cell_code", &FlowValues::cell_by_cell_code}, {"layers", &FlowValues::layers},
                  {"rows", &FlowValues::rows}, {"columns", &FlowValues::columns}});
  f.layer_types = in.list<std::int32_t>("layer_types");
  f.anisotropy = in.list<float>("anisotropy");
  f.delr = in.list<float>("delr");
  f.delc = in.list<float>("delc");
  const py::dict arrays = values["arrays"];
  for (std::size_t a = 0; a < format::kLayerArrays.size(); ++a) {
    const py::str label(std::string(format::kLayerArrays[a].entry.label));
    if (!arrays.contains(label) || arrays[label].is_none()) continue;
    auto array = py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(arrays[label]);
    if (!array) throw py::value_error("flow.arrays[" + std::string(label) + "] is not an array");
    f.arrays[a] = array.data();
    in.keep(array);
  }
  py::gil_scoped_release free;
  return {Builder::Cindral, flow_answers(f)};
}

Answers drain_answers_of(const py::dict& values) {
  Buffers in(values);
  DrainValues d;
  in.integers(d, {{"max_drains", &DrainValues::max_drains}, {"flow_code", &DrainValues::flow_code}});
  for (const py::handle period : values["periods"].cast<py::list>()) {
    if (py::isinstance<py::int_>(period)) {
      d.periods.push_back({period.cast<std::int32_t>(), {}});
      continue;
    }
    auto drains = py::array_t<Drain, py::array::c_style>::ensure(period);
    if (!drains) throw py::value_error("a period of drains.periods is not an array of DRAIN_DTYPE");
    d.periods.push_back({0, {drains.data(), static_cast<std::size_t>(drains.size())}});
    in.keep(drains);
  }
  py::gil_scoped_release free;
  return {Builder::Quillet, drain_answers(d)};
}

void write_answers(const std::string& folder, const Answers& answers) {
  py::gil_scoped_release free;
  write_with_builder(answers.builder, folder, answers.text);
}

// For each property array, whether each layer holds it.
py::list flow_arrays_held(std::int32_t simulation_type, const std::vector<std::int32_t>& layer_types) {
  py::list out;
  const auto layers = static_cast<std::int32_t>(layer_types.size());
  for (const format::LayerArray& array : format::kLayerArrays) {
    std::vector<bool> held;
    for (std::int32_t layer = 1; layer <= layers; ++layer) {
      held.push_back(format::is_selected(array.selection, simulation_type,
                                         layer_types[static_cast<std::size_t>(layer - 1)], layer, layers));
    }
    out.append(py::make_tuple(std::string(array.entry.label), held));
  }
  return out;
}

// gwbuilders.ModelError or WriteError with `message` (the bytes of paths
// shown as Python shows undecodable bytes).
void raise_as(const char* name, const char* message) {
  const py::object type = py::module_::import("gwbuilders._errors").attr(name);
  const py::object text =
      py::reinterpret_steal<py::object>(PyUnicode_DecodeUTF8(message, std::strlen(message), "backslashreplace"));
  PyErr_SetObject(type.ptr(), text.ptr());
}

}  // namespace

void add_model_writing(py::module_& m) {
  PYBIND11_NUMPY_DTYPE(StressPeriodValues, length, steps, multiplier);
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const BadModel& e) {
      raise_as("ModelError", e.what());
    } catch (const WriteFailure& e) {
      raise_as("WriteError", e.what());
    }
  });
  py::class_<Answers>(m, "Answers")
      .def("text", [](const Answers& a) { return py::bytes(a.text); })
      .def("__len__", [](const Answers& a) { return a.text.size(); });
  m.def("basic_answers", &basic_answers_of, py::arg("values"));
  m.def("flow_answers", &flow_answers_of, py::arg("values"));
  m.def("drain_answers", &drain_answers_of, py::arg("values"));
  m.def("write", &write_answers, py::arg("folder"), py::arg("answers"));
  m.def("flow_arrays_held", &flow_arrays_held, py::arg("simulation_type"), py::arg("layer_types"));
  m.attr("MAX_CELLS_PER_ARRAY") = common::kMaxCellsPerArray;
  m.attr("TITLE_LENGTH") = format::kTitleLength;
  // The module table: the unit a module's slot (from 1) holds when it is
  // used, for each module asked for; the slots of FOR011's and FOR013's.
  py::dict units;
  for (const format::Module& module : format::kModules) {
    units[py::int_(module.slot)] = format::module_unit(static_cast<std::size_t>(module.slot));
  }
  m.attr("MODULE_UNITS") = units;
  m.attr("FLOW_SLOT") = format::kFlowSlot;
  m.attr("DRAIN_SLOT") = format::kDrainSlot;
}

}  // namespace gwbuilders
