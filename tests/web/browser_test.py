#!/usr/bin/python3
"""The browser version in Debian's chromium, against the desktop's capture.

Serves the built page from a local server of its own, drives chromium through Debian's
python3-selenium and chromedriver (tests/web/chromium.py) and checks, muted:
- on the capture's clock (?fps=15), in a chromium window on an X server of its own
  whose WebGL draws through ANGLE on Mesa's llvmpipe, the capture's rasteriser: every
  compared frame matches vorimel-capture's frame of the same position, and matches it
  better than the capture's frames just before and after, so a frame one off or
  slightly wrong fails; the demo ends on the same frame;
- the same for the first frames in headless chromium, whose WebGL is SwiftShader;
- on the real clock, in the window: the click starts it at the size the page displays
  it (and a resized window draws anew at its new size), Space skips to the next order,
  Escape ends it with the last frame left on the page and "play again" offered, which
  plays again; ?variant=b plays vorimel_b; the position log (?positions) holds what the
  program reported, ?lead=MS moving it ahead.

Each compared frame prints one line with its PSNR against the capture's frame of its
own position and against the frames before and after, to a tenth of a dB.

Usage: browser_test.py PAGE_FOLDER VORIMEL_CAPTURE DATA_FOLDER_PARENT
"""

import base64
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chromium  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402
from work_folder import work_folder  # noqa: E402

FPS = 15
ORDER_SECONDS = 4.8  # 32 rows of 6 ticks at 125 BPM

# Demo frames compared in the window, besides the last one; at 15 frames a second an
# order is 72 frames: spinning solids up to frame 359, vertex ring to 503, cube ring to
# 647, lattice and strips to 791, flashing lattice to the end (1007).
WINDOW_FRAMES = [0, 1, 2, *range(50, 1001, 50)]
# Compared in headless chromium: the first frames, which SwiftShader draws close enough
# to the capture to tell from their neighbours (so do the lattices, a minute later: a
# whole run more for the same check).
HEADLESS_FRAMES = [0, 1, 2]

# PSNR over red, green and blue, in dB: the least a frame must reach against the
# capture's frame of its position, and by how much that must beat the frames before and
# after it. Chosen from measurement, every 25th frame of the demo: ANGLE on llvmpipe
# matched at 49.2 to 68.6 dB (the same pixels on every run), its neighbours at most
# 52.3 dB and at least 10.3 dB less; with the trails' alpha 0.66 instead of 0.65 the
# frames with trails fell to 34.7 to 40.5 dB, within 2 dB of their neighbours.
# SwiftShader matched the first frames at 45.6 to 47.0 dB (neighbours at most 34.8);
# where trails build up its rounding differs from llvmpipe's, to 20 to 30 dB against
# every frame alike, and the lattices to 38.8 to 42.9.
WINDOW_LEAST, WINDOW_MARGIN = 45.0, 6.0
HEADLESS_LEAST, HEADLESS_MARGIN = 42.0, 6.0


def psnr(image, references):
    """PSNR of `image` against each of `references` over red, green and blue (the page's
    PNG has an alpha channel, the capture's none), in one ffmpeg run."""
    count = len(references)
    graph = (f'[0]format=rgb24,split={count}' + ''.join(f'[p{i}]' for i in range(count)) + ';'
             + ';'.join(f'[p{i}][{i + 1}]psnr' for i in range(count)))
    inputs = [argument for path in [image, *references] for argument in ('-i', path)]
    out = subprocess.run(['ffmpeg', '-hide_banner', '-nostdin', *inputs, '-lavfi', graph, '-f', 'null', '-'],
                         capture_output=True, text=True, check=True).stderr
    # one line per filter, named after its place in the graph (split first)
    found = {int(number): float(value) for number, value in
             re.findall(r'Parsed_psnr_(\d+) @ \S+\] PSNR .*? average:(\S+)', out)}
    if len(found) != count:
        raise RuntimeError('ffmpeg printed no PSNR:\n' + out[-500:])
    return [found[number] for number in sorted(found)]


def save_data_url(url, path):
    with open(path, 'wb') as out:
        out.write(base64.b64decode(url.split(',', 1)[1]))


failures = []


def check(condition, text):
    print(('ok   ' if condition else 'FAIL ') + text, flush=True)
    if not condition:
        failures.append(text)


def capture_reference(capture, data_parent, folder):
    subprocess.run([capture, '--frames', folder, '--fps', str(FPS)], cwd=data_parent, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return len([name for name in os.listdir(folder) if name.endswith('.png')])


def open_on_capture_clock(browser, server, frames, rasteriser):
    """Opens the page on the capture's clock, keeping `frames`; checks that chromium's
    WebGL draws with `rasteriser`, which the thresholds are for."""
    chromium.open_page(browser, server.url + f'?muted&fps={FPS}&height=480')
    renderer = chromium.webgl_renderer(browser)
    check(rasteriser.lower() in renderer.lower(), f'chromium\'s WebGL draws with {rasteriser} ({renderer})')
    browser.execute_script(f'vorimelPage.keep = new Set({sorted(frames)});')


def compare_frames(browser, label, frames, reference, captured, work, least, margin):
    print(f'     {label}: each frame at least {least} dB against the capture\'s frame of its position, '
          f'and {margin} dB more than against the frames before and after', flush=True)
    for frame in frames:
        url = browser.execute_script(f'return vorimelPage.snapshots[{frame}] || null;')
        if not url:
            check(False, f'{label} frame {frame} was kept')
            continue
        page_png = os.path.join(work, f'{label}{frame:06d}.png')
        save_data_url(url, page_png)
        neighbours = [near for near in (frame - 1, frame + 1) if 0 <= near < captured]
        own, *others = psnr(page_png, [os.path.join(reference, f'{near:06d}.png')
                                       for near in (frame, *neighbours)])
        check(own >= least and own >= max(others) + margin,
              f'{label} frame {frame} ({frame / FPS:.1f} s): {own:.1f} dB, against '
              + ', '.join(f'frame {near} {other:.1f} dB' for near, other in zip(neighbours, others)))


def frames_in_window(server, display, reference, captured, work):
    frames = sorted({*WINDOW_FRAMES, captured - 1})
    browser = chromium.start_chromium(chromium.LLVMPIPE, display=display)
    try:
        open_on_capture_clock(browser, server, frames, 'llvmpipe')
        chromium.click(browser, '#window')
        chromium.wait_until(browser, 'vorimelPage.state === "ended"', 900, poll=0.5)
        check(browser.execute_script('return vorimelPage.exitCode;') == 0,
              'the demo ended by itself with exit code 0')
        shown = browser.execute_script('return vorimelPage.demoFrames;')
        # the frame that reaches order 14 is drawn but never shown, in both
        check(shown == captured, f'it ended on the capture\'s last frame ({shown} frames shown, '
                                 f'{captured} captured)')
        compare_frames(browser, 'llvmpipe', frames, reference, captured, work, WINDOW_LEAST, WINDOW_MARGIN)
    finally:
        browser.quit()


def first_frames_headless(server, reference, captured, work):
    browser = chromium.start_chromium(chromium.SWIFTSHADER)
    try:
        open_on_capture_clock(browser, server, HEADLESS_FRAMES, 'SwiftShader')
        chromium.click(browser, '#window')
        chromium.wait_until(browser, f'vorimelPage.snapshots[{max(HEADLESS_FRAMES)}]', 120, poll=0.2)
        chromium.click(browser, '#stop')
        compare_frames(browser, 'SwiftShader', HEADLESS_FRAMES, reference, captured, work, HEADLESS_LEAST,
                       HEADLESS_MARGIN)
    finally:
        browser.quit()


def heard(browser):
    return browser.execute_script('return vorimelPage.music.lastHeard;')


def canvas_brightness(browser):
    """Mean of the canvas's red, green and blue, 0..255: 0 for a black canvas."""
    return browser.execute_script('''
        const c = document.getElementById('canvas');
        const copy = document.createElement('canvas');
        copy.width = c.width; copy.height = c.height;
        const g = copy.getContext('2d');
        g.drawImage(c, 0, 0);
        const p = g.getImageData(0, 0, copy.width, copy.height).data;
        let sum = 0;
        for (let i = 0; i < p.length; i += 4) sum += p[i] + p[i + 1] + p[i + 2];
        return sum / (3 * p.length / 4);''')


def canvas_size(browser):
    """The canvas's own pixels, the pixels it is displayed at, the largest 4:3 frame of a
    height that is a multiple of 6 which its area holds (480 at least), and the largest
    4:3 box the area holds."""
    return browser.execute_script('''
        const c = document.getElementById('canvas');
        const ratio = window.devicePixelRatio || 1;
        const w = c.parentElement.clientWidth * ratio, h = c.parentElement.clientHeight * ratio;
        const fit = Math.max(480, Math.floor(Math.min(h, w * 3 / 4) / 6) * 6);
        const box = Math.min(h, w * 3 / 4);
        return {frame: [c.width, c.height], shown: [Math.round(c.clientWidth * ratio),
                Math.round(c.clientHeight * ratio)], fit: [fit * 4 / 3, fit],
                box: [Math.round(box * 4 / 3), Math.round(box)]};''')


def check_native_size(browser, when):
    size = canvas_size(browser)
    if size['fit'][1] <= size['box'][1]:
        check(size['frame'] == size['fit'] and size['shown'] == size['frame'],
              f'{when}: the frame is drawn at the size the page shows it ({size})')
    else:
        check(size['frame'] == [640, 480] and abs(size['shown'][1] - size['box'][1]) <= 1,
              f'{when}: a page too small for 480 lines shows them scaled down ({size})')


def keys_on_real_clock(server, display):
    browser = chromium.start_chromium(chromium.LLVMPIPE, display=display)
    try:
        chromium.open_page(browser, server.url + '?muted')
        chromium.start_demo(browser)
        print('     click to first frame: %.0f ms' % browser.execute_script(
            'return vorimelPage.firstFrameAt - vorimelPage.clickedAt;'), flush=True)
        check_native_size(browser, 'at the start')
        # Space early in order 0, so that skipping moves the music seconds beyond what
        # playing on would in the same time, however slowly a busy machine answers
        chromium.wait_until(browser, 'vorimelPage.music.lastHeard >= 0.5', 20)
        before = heard(browser)
        check(before < ORDER_SECONDS - 2.0, f'the music plays order 0 ({before:.2f} s heard)')
        pressed = time.monotonic()
        chromium.press(browser, Keys.SPACE)
        after = chromium.wait_until(browser, f'vorimelPage.music.lastHeard >= {ORDER_SECONDS} '
                                             f'&& vorimelPage.music.lastHeard', 10, poll=0.02)
        took = time.monotonic() - pressed
        check(after - before >= took + 1.0 and after < ORDER_SECONDS + 1.0,
              f'Space skipped to the start of order 1 ({before:.2f} s -> {after:.2f} s in {took:.2f} s)')
        browser.set_window_size(1100, 900)
        time.sleep(1.0)
        check_native_size(browser, 'after the window grew')

        chromium.press(browser, Keys.ESCAPE)  # the page is not fullscreen, so the demo ends
        chromium.wait_until(browser, 'vorimelPage.state === "ended"', 10)
        check(browser.execute_script('return vorimelPage.exitCode;') == 0, 'Escape ended the demo with exit code 0')
        check(canvas_brightness(browser) > 10, 'the last frame stays on the canvas')
        check(browser.execute_script('return !document.getElementById("end").classList.contains("hidden");'),
              '"play again" is offered')

        chromium.click(browser, '#again')
        chromium.wait_until(browser, 'vorimelPage.state === "running"', 60)
        chromium.wait_until(browser, 'vorimelPage.music.lastHeard >= 0.5', 20)
        check(heard(browser) < ORDER_SECONDS, 'play again starts the music from its beginning')
        chromium.click(browser, '#stop')
        chromium.wait_until(browser, 'vorimelPage.state === "ended"', 10)
        check(browser.execute_script('return vorimelPage.exitCode;') == 0, 'the stop button ends the demo')
    finally:
        browser.quit()


def second_variant(server, display):
    browser = chromium.start_chromium(chromium.LLVMPIPE, display=display)
    try:
        chromium.open_page(browser, server.url + '?muted&variant=b')
        chromium.start_demo(browser)
        chromium.wait_until(browser, 'vorimelPage.music.lastHeard >= 0.5', 20)
        scripts = browser.execute_script('return Array.from(document.scripts, (s) => s.src.split("/").pop());')
        check('vorimel_b-web.js' in scripts and 'vorimel-web.js' not in scripts,
              f'?variant=b plays vorimel_b ({", ".join(scripts)})')
    finally:
        browser.quit()


def position_log(server, display):
    """?positions keeps what the program took from the player, on the page's clock, and
    ?lead=MS reads that much further ahead."""
    browser = chromium.start_chromium(chromium.LLVMPIPE, display=display)
    try:
        chromium.open_page(browser, server.url + '?muted&positions&lead=100')
        chromium.start_demo(browser)
        # two seconds of music and ten frames, however slowly a busy machine draws them
        chromium.wait_until(browser, 'vorimelPage.music.lastHeard >= 2.0 '
                                     '&& vorimelPage.music.positionLog.length >= 10', 60)
        log, last_heard, now = browser.execute_script(
            'const m = vorimelPage.music; return [m.positionLog, m.lastHeard, performance.now()];')
        chromium.click(browser, '#stop')
        leads = [for_ms - read_ms for read_ms, for_ms, *_ in log]
        # the program's own lead is a frame's time (at most 0.1 s) and the browser's display
        # delay, three frame intervals of at most 1/4 s
        check(all(100 <= lead <= 100 + 850 for lead in leads),
              f'each position is for 100 ms more than the program\'s lead ahead '
              f'({min(leads):.1f} to {max(leads):.1f} ms)')
        reads = [entry[0] for entry in log]
        rows = [entry[2] * 32 + entry[3] + entry[4] for entry in log]
        check(all(a <= b for a, b in zip(reads, reads[1:])) and reads[-1] <= now
              and all(a <= b for a, b in zip(rows, rows[1:])),
              'reads are in order, and so are the rows played without a seek')
        check(all(0 <= entry[4] < 1 for entry in log), 'every part of a row played is in [0, 1)')
        # the last position is the last second heard; order 0 keeps one tempo
        rows_heard = last_heard / (ORDER_SECONDS / 32)
        check(abs(rows[-1] - rows_heard) < 0.1,
              f'the last position is the last second heard (row {rows[-1]:.2f}; '
              f'{last_heard:.3f} s is row {rows_heard:.2f})')
    finally:
        browser.quit()


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    page, capture, data_parent = (os.path.abspath(path) for path in sys.argv[1:])
    if not os.path.exists(os.path.join(page, 'vorimel-web.js')):
        print(f'browser_test: {page} holds no built page (scripts/build-web builds it)')
        return 1
    server = chromium.PageServer(page)
    x_server = None
    try:
        x_server = chromium.XServer()
        with work_folder('browser_test', failed=lambda: bool(failures)) as work:
            reference = os.path.join(work, 'capture')
            captured = capture_reference(capture, data_parent, reference)
            frames_in_window(server, x_server.display, reference, captured, work)
            first_frames_headless(server, reference, captured, work)
            keys_on_real_clock(server, x_server.display)
            second_variant(server, x_server.display)
            position_log(server, x_server.display)
    finally:
        if x_server:
            x_server.close()
        server.close()
    print(f'browser_test: {len(failures)} failed' if failures else 'browser_test: all passed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
