"""Sanitized build only: the interpreter runs with the sanitizer runtime loaded.

Without it the instrumented module would not even import, but a changed test
environment could silently run the Python tests against another build; this
makes such a run fail instead. Registered only in the sanitized build.
"""
import unittest

from support import skyloam_mp  # noqa: F401  (the module must import under the runtime)


class SanitizerRuntime(unittest.TestCase):
    def test_address_sanitizer_is_mapped_into_the_interpreter(self):
        with open("/proc/self/maps", encoding="utf-8") as maps:
            mapped = maps.read()
        self.assertTrue("libasan" in mapped or "libclang_rt.asan" in mapped)


if __name__ == "__main__":
    unittest.main()
