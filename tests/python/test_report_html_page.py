"""The page shell of the HTML report: escaping of text, data and code inside
the page, and the pinned plotting library with its licence."""
import json
import os
import re
import unittest

from report_support import NAN, ROOT
from skyloam_report.html_page import Chart, Section, function_ref, render_page, script_code, script_json, table
from skyloam_report.web_library import PlottingLibrary, plotting_library

HOSTILE = "</script><script>alert(1)</script><!-- & \"'"


class Escaping(unittest.TestCase):
    def test_json_in_a_script_never_ends_it_and_reads_back(self):
        value = {"text": HOSTILE, "numbers": [1.5, NAN, float("inf")], "nested": [{"x": HOSTILE}]}
        encoded = script_json(value)
        self.assertNotIn("<", encoded)
        self.assertEqual(json.loads(encoded),
                         {"text": HOSTILE, "numbers": [1.5, None, None], "nested": [{"x": HOSTILE}]})

    def test_code_in_a_script_never_ends_it(self):
        code = 'var a = "</div>" + "</SCRIPT>" + "<!--";'
        escaped = script_code(code)
        self.assertNotRegex(escaped.lower(), r"</|<!--")
        self.assertEqual(escaped, 'var a = "<\\/div>" + "<\\/SCRIPT>" + "<\\!--";')

    def test_page_text_is_escaped_and_every_part_inlined(self):
        library = PlottingLibrary(code="window.echarts = {};", licence="Licence <text>", version="9.9.9")
        chart = Chart("c1", {"title": {"text": HOSTILE}, "formatter": function_ref("clock", 5)})
        body = table(["a", HOSTILE], [[1, HOSTILE]], numeric_columns=[0])
        page = render_page(HOSTILE, [Section(HOSTILE, body, [chart])], library)
        self.assertEqual(page.lower().count("</script>"), 3)  # library, chart data, page script
        self.assertNotIn("<script>alert", page)
        self.assertIn("Licence &lt;text&gt;", page)
        self.assertIn("window.echarts = {};", page)
        self.assertNotRegex(page, r"<(link|img|iframe)|src=|https?://")
        charts = json.loads(re.search(r'id="page-charts">(.*?)</script>', page, re.S).group(1))
        self.assertEqual(charts[0]["option"]["formatter"], {"$fn": "clock", "args": [5]})
        self.assertEqual(charts[0]["option"]["title"]["text"], HOSTILE)


class PlottingLibraryPin(unittest.TestCase):
    def test_the_inlined_library_is_the_locked_version_with_its_licence(self):
        try:
            library = plotting_library()
        except Exception as error:  # noqa: BLE001 - the message says what to run
            self.fail(str(error))
        with open(os.path.join(ROOT, "tools", "report", "web", "package-lock.json")) as f:
            lock = json.load(f)
        self.assertEqual(library.version, lock["packages"]["node_modules/echarts"]["version"])
        self.assertTrue(lock["packages"]["node_modules/echarts"]["integrity"].startswith("sha512-"))
        self.assertIn("Apache License", library.licence)
        self.assertIn("echarts", library.code[:5000].lower())


if __name__ == "__main__":
    unittest.main()
