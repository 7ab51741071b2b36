#!/usr/bin/env python3
"""bench/web/web_sync_page.py's own arithmetic, without a browser: the page's positions
written as the position log sync_analysis reads, and the page's clock put on
CLOCK_MONOTONIC from the quickest round trip."""

import os
import re
import sys
import unittest
from unittest import mock

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, '..', '..', 'bench', 'web'))
sys.path.insert(0, here)
import web_sync_page  # noqa: E402
from work_folder import work_folder  # noqa: E402

# "<read ns> <for ns> <order> <row> <fraction>", the fraction in [0, 1): what the reader takes
LOG_LINE = re.compile(r'^(\d+) (\d+) (\d+) (\d+) (0\.\d{5})$')


class FakePage:
    """Answers performance.now() with the given milliseconds, one call after another."""

    def __init__(self, answers):
        self.answers = iter(answers)

    def execute_script(self, script):
        assert 'performance.now()' in script
        return next(self.answers)


class WebSyncPageTest(unittest.TestCase):
    def test_positions_become_log_lines_on_the_monotonic_clock(self):
        log = [[1000.0, 1033.25, 0, 7, 0.5],
               [1016.5, 1049.0, 2, 31, 0.9999996],  # must not be written as 1.00000
               [1033.0, 1066.0, 3, 0, 0.0]]
        with work_folder('web_sync_page_test') as work:
            path = os.path.join(work, 'run.positions')
            web_sync_page.write_positions(path, log, offset_ns=5e12)
            with open(path) as f:
                lines = f.read().splitlines()
            self.assertEqual(len(lines), 3)
            fields = [LOG_LINE.match(line) for line in lines]
            self.assertTrue(all(fields), lines)
            first, second, third = (match.groups() for match in fields)
            self.assertEqual(first, ('5001000000000', '5001033250000', '0', '7', '0.50000'))
            self.assertEqual(second[2:], ('2', '31', '0.99999'))
            self.assertEqual(third[4], '0.00000')

    def test_clock_offset_comes_from_the_quickest_round_trip(self):
        # the page's clock reads 1000 ms less than the monotonic one; round trips of
        # 8, 2 and 5 ms, the page answering at different points inside each
        stamps = [10_000_000_000, 10_008_000_000, 10_100_000_000, 10_102_000_000,
                  10_200_000_000, 10_205_000_000]
        answers = [9_001.0, 9_101.0, 9_204.0]
        with mock.patch.object(web_sync_page.time, 'monotonic_ns', side_effect=stamps):
            offset, half = web_sync_page.clock_offset(FakePage(answers), tries=3)
        self.assertEqual(half, 1_000_000)
        self.assertEqual(offset, 1000 * 1e6)


if __name__ == '__main__':
    unittest.main()
