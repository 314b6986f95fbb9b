// MultipathAnalyzer.
#include <optional>
#include <string>
#include <vector>

#include "analysis/multipath/multipath_analysis.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/gil.hpp"
#include "python/shared_values.hpp"

namespace skyloam::py {
namespace {

struct Analyzer {
  SharedObsData data;
  AnalyzerConfig config;
};

// The code filter of one argument, or false with ValueError set.
bool code_filter(const char* name, const std::optional<std::vector<std::string>>& entries,
                 std::vector<std::string>& out) {
  if (!entries) return true;
  auto parsed = parse_code_filter(name, *entries);
  if (!parsed) {
    raise_value_error(parsed.error().display());
    return false;
  }
  out = std::move(*parsed);
  return true;
}

PyObject* new_analyzer(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  static const Signature signature{
      "MultipathAnalyzer",
      {"obs_data", "elevation_cutoff", "systems", "bias_window_seconds", "min_arc_seconds",
       "arc_gap_factor", "include_codes", "exclude_codes", "max_epochs", "detect_cycle_slips",
       "ion_delta_base", "ion_delta_rate", "cp_delta_base", "cp_delta_rate"},
      1};
  Arguments a;
  const SharedObsData* data = nullptr;
  AnalyzerConfig config;
  std::optional<std::vector<std::string>> systems, include, exclude;
  if (!a.bind(signature, args, kwargs) || !a.get(0, data) || !a.get(1, config.elevation_cutoff) ||
      !a.get(2, systems) || !a.get(3, config.bias_window_seconds) ||
      !a.get(4, config.min_arc_seconds) || !a.get(5, config.arc_gap_factor) ||
      !a.get(6, include) || !a.get(7, exclude) || !a.get(8, config.max_epochs) ||
      !a.get(9, config.detect_cycle_slips) || !a.get(10, config.ion_delta_base) ||
      !a.get(11, config.ion_delta_rate) || !a.get(12, config.cp_delta_base) ||
      !a.get(13, config.cp_delta_rate)) {
    return nullptr;
  }
  if (systems) config.systems = parse_systems(*systems);
  if (!code_filter("include_codes", include, config.include_codes) ||
      !code_filter("exclude_codes", exclude, config.exclude_codes)) {
    return nullptr;
  }
  return box(Analyzer{*data, std::move(config)}, type);
}

PyObject* run(PyObject* self) {
  Borrow borrow;
  if (!borrow.shared<Analyzer>(self)) return nullptr;
  const Analyzer& analyzer = value_of<Analyzer>(self);
  AnalysisOutput output = without_gil([&] { return analyze(*analyzer.data, analyzer.config); });
  return box<AnalysisResultsValue>(std::move(output), analysis_results_class());
}

PyMethodDef analyzer_methods[] = {
    {"analyze", noargs<run>, METH_NOARGS, "analyze($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

PyTypeObject* multipath_analyzer_class() {
  return ensure_class<Analyzer>({
      .name = "skyloam_mp.MultipathAnalyzer",
      .doc = "MultipathAnalyzer(obs_data, elevation_cutoff=10.0, systems=None, "
             "bias_window_seconds=1500.0, min_arc_seconds=300.0, arc_gap_factor=5.0, "
             "include_codes=None, exclude_codes=None, max_epochs=None, detect_cycle_slips=True, "
             "ion_delta_base=0.10, ion_delta_rate=0.003, cp_delta_base=5.0, cp_delta_rate=0.10)"
             "\n--\n\nPython-exposed Multipath Analyzer",
      .construct = constructor<new_analyzer>,
      .methods = analyzer_methods,
  });
}

}  // namespace skyloam::py
