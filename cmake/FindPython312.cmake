# Locates a CPython 3.12 interpreter with development headers.
#
# Order: an explicit -DPython_EXECUTABLE=..., then `python3.12` on PATH (only
# if it really runs: a pyenv shim on PATH may not), then the pyenv prefix of
# any installed 3.12. Fails the configure step with a clear message otherwise.

function(_skyloam_probe_python candidate out_ok)
  set(${out_ok} FALSE PARENT_SCOPE)
  if(NOT candidate)
    return()
  endif()
  execute_process(
    COMMAND "${candidate}" -c
      "import sys, sysconfig, os; v = sys.version_info; inc = sysconfig.get_paths()['include']; print('%d.%d;%s' % (v[0], v[1], int(os.path.exists(os.path.join(inc, 'Python.h')))))"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc EQUAL 0 AND out STREQUAL "3.12;1")
    set(${out_ok} TRUE PARENT_SCOPE)
  endif()
endfunction()

set(_skyloam_python "")
if(Python_EXECUTABLE)
  _skyloam_probe_python("${Python_EXECUTABLE}" _ok)
  if(NOT _ok)
    message(FATAL_ERROR
      "Python_EXECUTABLE=${Python_EXECUTABLE} is not a CPython 3.12 with development headers (Python.h).")
  endif()
  set(_skyloam_python "${Python_EXECUTABLE}")
endif()

if(NOT _skyloam_python)
  find_program(_skyloam_py312_on_path NAMES python3.12 NO_CACHE)
  _skyloam_probe_python("${_skyloam_py312_on_path}" _ok)
  if(_ok)
    set(_skyloam_python "${_skyloam_py312_on_path}")
  endif()
endif()

if(NOT _skyloam_python)
  find_program(_skyloam_pyenv NAMES pyenv NO_CACHE)
  set(_skyloam_pyenv_root "$ENV{PYENV_ROOT}")
  if(_skyloam_pyenv)
    execute_process(COMMAND "${_skyloam_pyenv}" root OUTPUT_VARIABLE _skyloam_pyenv_root
      ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  if(NOT _skyloam_pyenv_root)
    set(_skyloam_pyenv_root "$ENV{HOME}/.pyenv")
  endif()
  file(GLOB _skyloam_pyenv_312 LIST_DIRECTORIES true "${_skyloam_pyenv_root}/versions/3.12*")
  list(SORT _skyloam_pyenv_312 COMPARE NATURAL ORDER DESCENDING)
  foreach(prefix IN LISTS _skyloam_pyenv_312)
    _skyloam_probe_python("${prefix}/bin/python3.12" _ok)
    if(_ok)
      set(_skyloam_python "${prefix}/bin/python3.12")
      break()
    endif()
  endforeach()
endif()

if(NOT _skyloam_python)
  message(FATAL_ERROR
    "No CPython 3.12 with development headers found. Tried python3.12 on PATH and "
    "the pyenv versions 3.12*. Install one (e.g. `pyenv install 3.12`) or pass "
    "-DPython_EXECUTABLE=/path/to/python3.12.")
endif()

set(Python_EXECUTABLE "${_skyloam_python}" CACHE FILEPATH "CPython 3.12 interpreter" FORCE)
find_package(Python 3.12 EXACT REQUIRED COMPONENTS Interpreter Development.Module)
message(STATUS "skyloam_mp builds against ${Python_EXECUTABLE} (${Python_VERSION})")
