"""Synthetic multi-GNSS observation and orbit files with a known multipath truth.

The package simulates a static receiver above a horizontal ground reflector
tracking GPS, GLONASS, Galileo and BeiDou on circular orbits, and writes a
RINEX observation file, the matching SP3 orbit file and a JSON truth file.
`tools/generate_sample.py` is the command-line entry point; `run.generate`
is the importable one.
"""
