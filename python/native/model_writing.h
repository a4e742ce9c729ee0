// The writing half of the compiled module: the answers of a model's files
// made from its arrays, and each file written by its builder's dialogue.
#pragma once

#include <pybind11/pybind11.h>

namespace gwbuilders {

// Adds to `module`: basic_answers, flow_answers, drain_answers (each from a
// dict of the part's values: an Answers object, or gwbuilders.ModelError),
// Answers.text(), write(builder, folder, answers) (gwbuilders.WriteError
// when it cannot) and flow_arrays_held(simulation_type, layer_types).
void add_model_writing(pybind11::module_& module);

}  // namespace gwbuilders
