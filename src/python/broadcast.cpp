// NavData, read_rinex_nav and read_rinex_nav_bytes.
#include <memory>
#include <span>
#include <string>

#include "navigation/broadcast/nav_reader.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/gil.hpp"
#include "python/orbit_methods.hpp"
#include "python/shared_values.hpp"

namespace skyloam::py {
namespace {

const NavData& nav_of(PyObject* self) { return *value_of<SharedNav>(self); }

PyObject* wrap(Result<NavData> read) {
  if (!read) return raise_error(PyExc_OSError, "Failed to read RINEX NAV: ", read.error());
  return box(std::make_shared<const NavData>(std::move(*read)), nav_data_class());
}

PyObject* read_file(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"read_rinex_nav", {"path"}, 1};
  Arguments a;
  std::string path;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, path)) return nullptr;
  return wrap(without_gil([&] { return read_nav_file(path); }));
}

PyObject* read_bytes(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"read_rinex_nav_bytes", {"data", "filename"}, 2};
  Arguments a;
  std::span<const char> bytes;  // the immutable bytes object's own buffer
  std::string filename;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, bytes) || !a.get(1, filename)) {
    return nullptr;
  }
  return wrap(without_gil([&] { return read_nav_bytes(bytes, filename); }));
}

PyObject* version(PyObject* self) { return to_python(nav_of(self).version()); }
PyObject* num_records(PyObject* self) {
  return to_python(std::uint64_t{nav_of(self).num_records()});
}
PyObject* leap_seconds(PyObject* self) { return to_python(nav_of(self).leap_seconds()); }
PyObject* repr_nav(PyObject* self) { return to_python(to_string(nav_of(self))); }

PyGetSetDef nav_members[] = {
    {"version", getter<version>, nullptr, nullptr, nullptr},
    {"num_records", getter<num_records>, nullptr, nullptr, nullptr},
    {"leap_seconds", getter<leap_seconds>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef nav_methods[] = {
    {"satellites", noargs<orbit_satellites<SharedNav>>, METH_NOARGS, "satellites($self)\n--\n\n"},
    {"get_position", as_cfunction(fastcall<orbit_position<SharedNav>>),
     METH_FASTCALL | METH_KEYWORDS, "get_position($self, satellite, epoch)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

PyTypeObject* nav_data_class() {
  return ensure_class<SharedNav>({
      .name = "skyloam_mp.NavData",
      .doc = "Python-exposed RINEX navigation data",
      .repr = unary<repr_nav>,
      .getset = nav_members,
      .methods = nav_methods,
  });
}

PyMethodDef read_rinex_nav_function = {"read_rinex_nav", as_cfunction(fastcall<read_file>),
                                       METH_FASTCALL | METH_KEYWORDS,
                                       "read_rinex_nav(path)\n--\n\nRead RINEX navigation file"};

PyMethodDef read_rinex_nav_bytes_function = {
    "read_rinex_nav_bytes", as_cfunction(fastcall<read_bytes>), METH_FASTCALL | METH_KEYWORDS,
    "read_rinex_nav_bytes(data, filename)\n--\n\nRead RINEX navigation from bytes"};

}  // namespace skyloam::py
