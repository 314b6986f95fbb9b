// Epoch.
#include <string>

#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/members.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam::py {
namespace {

PyObject* new_epoch(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  static const Signature signature{
      "Epoch", {"year", "month", "day", "hour", "minute", "second"}, 3};
  Arguments a;
  Epoch e{0, 0, 0, 0, 0, 0.0};
  if (!a.bind(signature, args, kwargs) || !a.get(0, e.year) || !a.get(1, e.month) ||
      !a.get(2, e.day) || !a.get(3, e.hour) || !a.get(4, e.minute) || !a.get(5, e.second)) {
    return nullptr;
  }
  return box(e, type);
}

PyObject* parse(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"parse", {"s"}, 1};
  Arguments a;
  std::string text;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, text)) return nullptr;
  const auto epoch = parse_epoch(text);
  if (!epoch) return raise_value_error(epoch.error().display());
  return box(*epoch, epoch_class());
}

PyObject* iso(PyObject* self) { return to_python(to_iso(value_of<Epoch>(self))); }

PyObject* repr_epoch(PyObject* self) {
  return to_python("Epoch(" + to_iso(value_of<Epoch>(self)) + ")");
}

PyObject* gps_time(PyObject* self) { return to_python(to_gps_time(value_of<Epoch>(self))); }

PyObject* julian(PyObject* self) { return to_python(julian_date(value_of<Epoch>(self))); }

PyObject* ordinal(PyObject* self) { return to_python(day_of_year(value_of<Epoch>(self))); }

PyGetSetDef epoch_members[] = {
    {"year", getter<field<Epoch, &Epoch::year>>, nullptr, nullptr, nullptr},
    {"month", getter<field<Epoch, &Epoch::month>>, nullptr, nullptr, nullptr},
    {"day", getter<field<Epoch, &Epoch::day>>, nullptr, nullptr, nullptr},
    {"hour", getter<field<Epoch, &Epoch::hour>>, nullptr, nullptr, nullptr},
    {"minute", getter<field<Epoch, &Epoch::minute>>, nullptr, nullptr, nullptr},
    {"second", getter<field<Epoch, &Epoch::second>>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef epoch_methods[] = {
    {"parse", as_cfunction(fastcall<parse>), METH_FASTCALL | METH_KEYWORDS | METH_STATIC,
     "parse(s)\n--\n\n"},
    {"to_iso", noargs<iso>, METH_NOARGS, "to_iso($self)\n--\n\n"},
    {"to_iso_string", noargs<iso>, METH_NOARGS, "to_iso_string($self)\n--\n\n"},
    {"to_gps_time", noargs<gps_time>, METH_NOARGS, "to_gps_time($self)\n--\n\n"},
    {"julian_date", noargs<julian>, METH_NOARGS, "julian_date($self)\n--\n\n"},
    {"day_of_year", noargs<ordinal>, METH_NOARGS, "day_of_year($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

PyTypeObject* epoch_class() {
  return ensure_class<Epoch>({
      .name = "skyloam_mp.Epoch",
      .doc = "Epoch(year, month, day, hour=0, minute=0, second=0.0)\n--\n\n"
             "Python-exposed Epoch (time)",
      .construct = constructor<new_epoch>,
      .repr = unary<repr_epoch>,
      .str = unary<iso>,
      .getset = epoch_members,
      .methods = epoch_methods,
  });
}

}  // namespace skyloam::py
