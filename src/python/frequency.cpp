// get_frequency and get_wavelength.
#include <optional>
#include <string>

#include "geodesy/coordinates.hpp"
#include "geodesy/frequency.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"

namespace skyloam::py {
namespace {

// The first Unicode character of valid UTF-8 text.
char32_t first_character(const std::string& text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return lead;
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  char32_t cp = lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length && i < text.size(); ++i) cp = (cp << 6) | (byte(i) & 0x3Fu);
  return cp;
}

// The frequency named by the arguments; absent when none, or on a failure
// (then `ok` is false and an exception is set).
std::optional<double> frequency_of(const char* function, PyObject* const* args, Py_ssize_t nargs,
                                   PyObject* kwnames, bool& ok) {
  const Signature signature{function, {"system", "band", "fcn"}, 2};
  Arguments a;
  std::string system;
  std::uint8_t band = 0;
  std::optional<std::int8_t> fcn;
  ok = a.bind(signature, args, nargs, kwnames) && a.get(0, system) && a.get(1, band) &&
       a.get(2, fcn);
  if (!ok || system.empty()) return std::nullopt;
  return carrier_frequency(first_character(system), band, fcn);
}

PyObject* get_frequency(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  bool ok = false;
  const auto frequency = frequency_of("get_frequency", args, nargs, kwnames, ok);
  if (!ok) return nullptr;
  return to_python(frequency);
}

PyObject* get_wavelength(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  bool ok = false;
  const auto frequency = frequency_of("get_wavelength", args, nargs, kwnames, ok);
  if (!ok) return nullptr;
  if (!frequency) return none();
  return to_python(kSpeedOfLight / *frequency);
}

}  // namespace

PyMethodDef get_frequency_function = {
    "get_frequency", as_cfunction(fastcall<get_frequency>), METH_FASTCALL | METH_KEYWORDS,
    "get_frequency(system, band, fcn=None)\n--\n\nGet frequency for a GNSS signal"};

PyMethodDef get_wavelength_function = {
    "get_wavelength", as_cfunction(fastcall<get_wavelength>), METH_FASTCALL | METH_KEYWORDS,
    "get_wavelength(system, band, fcn=None)\n--\n\nGet wavelength for a GNSS signal"};

}  // namespace skyloam::py
