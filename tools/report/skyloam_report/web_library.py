"""The plotting library inlined into HTML pages: its minified code and licence.

It is installed from the npm registry at set-up (tools/report/web, pinned by
its lock file) and copied beside this package by `cmake --install`."""
import json
import os
from dataclasses import dataclass

from skyloam_report.errors import ReportError

HERE = os.path.dirname(os.path.abspath(__file__))
INSTALLED = os.path.join(HERE, "web")
"""Where `cmake --install` puts the library, its licence and its package.json."""
SOURCE_TREE = os.path.join(HERE, "..", "web", "node_modules", "echarts")
"""Where `npm ci` in tools/report/web puts it."""
SCRIPT = "echarts.min.js"
LICENCE_FILES = ("LICENSE", "NOTICE")


@dataclass(frozen=True)
class PlottingLibrary:
    code: str
    licence: str
    version: str


def _candidates():
    yield INSTALLED, os.path.join(INSTALLED, SCRIPT)
    yield SOURCE_TREE, os.path.join(SOURCE_TREE, "dist", SCRIPT)


def _read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def _version(folder):
    with open(os.path.join(folder, "package.json"), encoding="utf-8") as f:
        return json.load(f)["version"]


def plotting_library():
    for folder, script in _candidates():
        if os.path.exists(script):
            licence = "\n\n".join(_read(os.path.join(folder, name)) for name in LICENCE_FILES)
            return PlottingLibrary(_read(script), licence, _version(folder))
    raise ReportError("the plotting library for --html is missing: run tools/setup/install-deps web "
                      "(npm ci in tools/report/web), then cmake --install again")
