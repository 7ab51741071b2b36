#!/usr/bin/python3
"""Figures of the browser version in Debian's headless chromium: the page's download
size, the time from the click to the first frame, and the frame time per scene beside
the same scenes drawn natively.

Usage: bench/web/web_figures.py PAGE_FOLDER [NATIVE_BUILD_FOLDER]
  PAGE_FOLDER          build/web/page (scripts/build-web builds it)
  NATIVE_BUILD_FOLDER  build/release: its bench/scene_bench is run for the native column

The frame times come from the page's ?bench: the demo runs on the capture's clock at
10 frames per second of demo (every scene is reached whatever the browser's speed), at
640x480, and each frame is read back before the next so that its time includes the
browser's GL finishing it. Chromium runs headless, through Debian's python3-selenium;
VORIMEL_CHROMIUM_GL gives chromium's GL flags (SwiftShader's unless set).
"""

import gzip
import os
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'web'))
import chromium  # noqa: E402

def download_sizes(page):
    print('Download (what the page fetches; gzip -9 as a server that compresses sends it):')
    total = total_gz = 0
    for name in sorted(os.listdir(page)):
        path = os.path.join(page, name)
        if not os.path.isfile(path) or name.startswith('vorimel_b-web'):
            continue  # the page fetches one of the two programs
        with open(path, 'rb') as f:
            data = f.read()
        packed = len(gzip.compress(data, 9))
        total += len(data)
        total_gz += packed
        print(f'  {name:<22} {len(data) / 1e6:8.2f} MB {packed / 1e6:8.2f} MB gzip')
    print(f'  {"total":<22} {total / 1e6:8.2f} MB {total_gz / 1e6:8.2f} MB gzip')


def click_to_first_frame(server, runs=3):
    times = []
    for _ in range(runs):
        browser = chromium.start_chromium(chromium.gl_from_environment())
        try:
            chromium.open_page(browser, server.url + '?muted&height=480', 30)
            chromium.start_demo(browser)
            times.append(browser.execute_script('return vorimelPage.firstFrameAt - vorimelPage.clickedAt;'))
            chromium.click(browser, '#stop')
        finally:
            browser.quit()
    print(f'Click to the demo\'s first frame (page already loaded, {runs} runs; the loading '
          f'screen\'s own pause of 1 s included): median {statistics.median(times):.0f} ms, '
          f'from {min(times):.0f} to {max(times):.0f} ms')


def browser_frame_times(server):
    browser = chromium.start_chromium(chromium.gl_from_environment())
    try:
        chromium.open_page(browser, server.url + '?muted&height=480&fps=10&bench', 30)
        renderer = chromium.webgl_renderer(browser)
        chromium.click(browser, '#window')
        chromium.wait_until(browser, 'vorimelPage.state === "ended"', 1200, poll=1.0)
        times = {}  # by scene, in the order the scenes come
        for scene, milliseconds in browser.execute_script('return vorimelPage.frameTimes;'):
            times.setdefault(scene, []).append(milliseconds)
        return renderer, times
    finally:
        browser.quit()


def native_frame_times(build):
    """scene_bench's variant a column: scene name -> median ms."""
    out = subprocess.run([os.path.join(build, 'bench', 'scene_bench'), '100'], cwd=build, check=True,
                         capture_output=True, text=True).stdout
    times = {}
    for line in out.splitlines():
        words = line.split()
        if len(words) >= 2 and words[0].endswith('Effect'):
            try:
                times[words[0]] = float(words[1])
            except ValueError:
                pass
    return times


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__)
        return 2
    page = os.path.abspath(sys.argv[1])
    if not os.path.exists(os.path.join(page, 'vorimel-web.js')):
        print(f'web_figures: {page} holds no built page (scripts/build-web builds it)')
        return 1
    download_sizes(page)
    server = chromium.PageServer(page)
    try:
        click_to_first_frame(server)
        renderer, times = browser_frame_times(server)
    finally:
        server.close()
    native = native_frame_times(os.path.abspath(sys.argv[2])) if len(sys.argv) == 3 else {}
    print(f'Frame time per scene, 640x480, median (chromium: {renderer})')
    print(f'  {"scene":<24} {"frames":>6} {"browser ms":>11} {"native ms":>10}')
    for scene, values in times.items():
        here = native.get(scene)
        print(f'  {scene:<24} {len(values):6d} {statistics.median(values):11.1f} '
              f'{(f"{here:.1f}" if here is not None else "-"):>10}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
