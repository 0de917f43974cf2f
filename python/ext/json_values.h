// The counter's JSON rows as Python values, read straight into dicts, lists,
// str, int, float and None: json.loads took three quarters of a short
// text's count. Reads the JSON the row builders write (and any JSON without
// exponents); needs the GIL.
#pragma once

#include <pybind11/pybind11.h>

#include <string_view>

namespace quenbol::python {

// The JSON value that `json` holds (surrounding white space allowed).
// Throws ValueError on anything else.
pybind11::object JsonValues(std::string_view json);

}  // namespace quenbol::python
