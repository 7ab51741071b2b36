#!/usr/bin/python3
"""One run of the page in a headed chromium for bench/web/web_sync.sh: serves the page,
opens it as an app window (no tab strip or toolbar: the window is the 640x480 canvas,
titled as the page), clicks "Window", lets SECONDS of music play, and writes what the
page reported to PREFIX.positions in the demo's position-log format, its stamps moved
from performance.now() onto CLOCK_MONOTONIC. Prints key=value figures on its last line.

Chromium's performance.now() counts from the page's time origin on the system's
monotonic clock; the offset between the two is measured here by stamping CLOCK_MONOTONIC
right before and after asking the page for performance.now() (the quickest of many
round trips bounds the error), once before the music and once after it: the two
offsets agree when both run on one clock.

Usage: bench/web/web_sync_page.py PAGE_FOLDER PREFIX SECONDS [ADDRESS_OPTIONS]
  ADDRESS_OPTIONS  more of the page's address options, e.g. lead=100
Needs DISPLAY (an X server) and, for sound, PULSE_SERVER; chromium inherits both.
Chromium is driven through Debian's python3-selenium; VORIMEL_CHROMIUM_GL gives its GL
flags (SwiftShader's unless set).
"""

import math
import os
import signal
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'web'))

ADDRESS = '?height=480&positions'


def clock_offset(browser, tries=30):
    """(CLOCK_MONOTONIC ns minus performance.now() ns, half the round trip in ns) of the
    quickest of `tries` round trips."""
    best = None
    for _ in range(tries):
        before = time.monotonic_ns()
        page_ms = browser.execute_script('return performance.now();')
        after = time.monotonic_ns()
        half = (after - before) / 2
        if best is None or half < best[1]:
            best = ((before + after) / 2 - page_ms * 1e6, half)
    return best


def write_positions(path, log, offset_ns):
    """The page's [read ms, for ms, order, row, fraction] as the demo's log lines."""
    with open(path, 'w') as out:
        for read_ms, for_ms, order, row, fraction in log:
            # cut, not rounded: a row's last part never reads as 1
            cut = math.floor(fraction * 1e5) / 1e5
            out.write(f'{round(read_ms * 1e6 + offset_ns)} {round(for_ms * 1e6 + offset_ns)} '
                      f'{order} {row} {cut:.5f}\n')


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__, file=sys.stderr)
        return 2
    page_folder, prefix, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    address = ADDRESS + ('&' + sys.argv[4] if len(sys.argv) == 5 and sys.argv[4] else '')
    display = os.environ.get('DISPLAY')
    if not display:
        print('web_sync_page: DISPLAY names no X server for the window', file=sys.stderr)
        return 2
    # here, not at the top: the arithmetic above is tested where selenium is not installed
    import chromium
    # stopped from outside (the script's timeout): chromium and its driver still closed
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    server = chromium.PageServer(page_folder)
    opened = time.monotonic_ns()
    browser = None
    try:
        browser = chromium.start_chromium(chromium.gl_from_environment(), width=640, height=480,
                                          display=display, extra_args=[f'--app={server.url}{address}'])
        loaded = time.monotonic_ns()
        chromium.wait_until(browser, 'window.vorimelPage && document.readyState === "complete"', 60)
        inner = browser.execute_script('return [innerWidth, innerHeight, document.title];')
        offset_before, error_before = clock_offset(browser)
        muted = browser.execute_script('return vorimelPage.music.gain.gain.value === 0;')
        chromium.click(browser, '#window')
        chromium.wait_until(browser, 'vorimelPage.state === "running"', 120, poll=0.1)
        frames_from, from_ms = browser.execute_script('return [vorimelPage.demoFrames, performance.now()];')
        time.sleep(seconds)
        frames_to, to_ms, state = browser.execute_script(
            'return [vorimelPage.demoFrames, performance.now(), vorimelPage.state];')
        log = browser.execute_script('return vorimelPage.music.positionLog;')
        canvas = browser.execute_script('const c = document.getElementById("canvas");'
                                        'return [c.width, c.height, c.clientWidth, c.clientHeight];')
        chromium.click(browser, '#stop')
        # while the demo draws, a call waits for a slow frame: round trips of 100 ms and more
        chromium.wait_until(browser, 'vorimelPage.state === "ended"', 30)
        offset_after, error_after = clock_offset(browser)
    finally:
        if browser:
            browser.quit()
        server.close()

    write_positions(prefix + '.positions', log, offset_before)
    leads = sorted(for_ms - read_ms for read_ms, for_ms, *_ in log)
    fps = (frames_to - frames_from) / ((to_ms - from_ms) / 1000)
    print(f'web_sync_page: window {inner[0]}x{inner[1]} "{inner[2]}", canvas {canvas[0]}x{canvas[1]} '
          f'shown at {canvas[2]}x{canvas[3]}, {"muted" if muted else "not muted"}, state {state}',
          file=sys.stderr)
    # the time origin (offset) lies between starting chromium and the page being loaded
    origin_inside = opened <= offset_before <= loaded
    print(f'web_sync_page: performance.now() + {offset_before / 1e6:.3f} ms = CLOCK_MONOTONIC '
          f'(+-{error_before / 1e6:.2f} ms; {(offset_after - offset_before) / 1e6:+.3f} ms after the '
          f'music, +-{error_after / 1e6:.2f}); time origin '
          f'{"inside" if origin_inside else "OUTSIDE"} the page\'s start-up', file=sys.stderr)
    print(f'page: frames={frames_to - frames_from} fps={fps:.1f} positions={len(log)} '
          f'lead_median_ms={leads[len(leads) // 2] if leads else 0:.1f} '
          f'clock_error_ms={error_before / 1e6:.2f} '
          f'clock_drift_ms={(offset_after - offset_before) / 1e6:.3f}')
    return 0 if log else 1


if __name__ == '__main__':
    sys.exit(main())
