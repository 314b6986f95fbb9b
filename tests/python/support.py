"""Shared helpers of the Python tests: the module under test and the test data."""
import os
import unittest

import skyloam_mp

TESTDATA = os.environ.get(
    "SKYLOAM_TESTDATA",
    os.path.join(os.path.dirname(__file__), "..", "..", "..", "shared", "testdata"))


def testdata(relative):
    """Path of a shared test file; skips the test when the folder is absent."""
    if not os.path.isdir(TESTDATA):
        raise unittest.SkipTest(f"shared test data not found at {TESTDATA} (needs ../shared/testdata)")
    return os.path.join(TESTDATA, relative)


__all__ = ["skyloam_mp", "testdata", "TESTDATA"]
