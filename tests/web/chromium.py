"""Debian's chromium driven through Debian's python3-selenium and chromedriver, for the
browser test and the browser figures: the page's own local server, an X server of our
own for a chromium window, and the steps every script takes on the demo's page."""

import os
import select
import socket
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

# Chromium's WebGL drawn by ANGLE over GL, which on a GPU-less X server is Mesa's
# llvmpipe, the rasteriser the native capture draws with; chromium refuses that GL
# unless told to ignore its block list. Needs an X server (a window, not headless).
LLVMPIPE = ('--use-gl=angle', '--use-angle=gl', '--ignore-gpu-blocklist')
# SwiftShader: the CPU rasteriser chromium carries, the one a headless chromium has.
SWIFTSHADER = ('--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader')


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def wait_for_port(port, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            with socket.create_connection(('127.0.0.1', port), timeout=1):
                return
        except OSError:
            time.sleep(0.1)
    raise RuntimeError(f'nothing listens on port {port}')


class PageServer:
    """python3 -m http.server on a free port, serving one folder."""

    def __init__(self, folder):
        self.port = free_port()
        self.process = subprocess.Popen(
            [sys.executable, '-m', 'http.server', str(self.port), '--bind', '127.0.0.1', '--directory', folder],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for_port(self.port)
        self.url = f'http://127.0.0.1:{self.port}/'

    def close(self):
        self.process.terminate()
        self.process.wait(10)


class XServer:
    """An Xvfb of our own on whichever display number is free (Xvfb picks it and says
    which), for chromium windows; `display` is the DISPLAY value. It lives at most
    `lifetime` seconds, even when whoever started it is killed and cannot stop it."""

    def __init__(self, width=1280, height=1024, lifetime=3600):
        reader, writer = os.pipe()
        try:
            self.process = subprocess.Popen(
                ['timeout', '--kill-after=5', str(lifetime), 'Xvfb', '-displayfd', str(writer),
                 '-screen', '0', f'{width}x{height}x24', '-nolisten', 'tcp', '-noreset'],
                pass_fds=(writer,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(writer)
            writer = None
            # Xvfb writes the number and the newline separately, and gives up if the
            # pipe is closed in between: read up to the newline
            number = b''
            deadline = time.monotonic() + 20
            while not number.endswith(b'\n'):
                ready, _, _ = select.select([reader], [], [], max(0.0, deadline - time.monotonic()))
                part = os.read(reader, 32) if ready else b''
                if not part:
                    break
                number += part
            number = number.decode().strip()
        finally:
            if writer is not None:
                os.close(writer)
            os.close(reader)
        if not number.isdigit():
            self.close()
            raise RuntimeError('Xvfb did not start')
        self.display = ':' + number

    def close(self):
        # timeout passes the signal on to Xvfb and ends with it
        self.process.terminate()
        self.process.wait(10)


def start_chromium(gl, width=800, height=600, display=None, extra_args=()):
    """A chromium session (selenium's webdriver) drawing WebGL with `gl` (LLVMPIPE,
    SWIFTSHADER, or chromium's own flags): headless, or with `display` a window on that
    X server. Chromium and chromedriver inherit the environment (PULSE_SERVER too)."""
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for argument in ([] if display else ['--headless=new']) + [
            '--no-sandbox', '--disable-gpu-sandbox', f'--window-size={width},{height}',
            '--autoplay-policy=no-user-gesture-required', *gl, *extra_args]:
        options.add_argument(argument)
    # the bar saying chromium is driven would take a window's lines
    options.add_experimental_option('excludeSwitches', ['enable-automation'])
    environment = dict(os.environ, **({'DISPLAY': display} if display else {}))
    service = Service('/usr/bin/chromedriver', env=environment)
    return webdriver.Chrome(service=service, options=options)


def gl_from_environment(default=SWIFTSHADER):
    """VORIMEL_CHROMIUM_GL's flags, for the figure scripts; `default` when unset."""
    flags = os.environ.get('VORIMEL_CHROMIUM_GL')
    return tuple(flags.split()) if flags else default


def webgl_renderer(browser):
    """What draws the page's WebGL, as chromium names it (e.g. "ANGLE (..., llvmpipe ...)")."""
    return browser.execute_script('''
        const gl = document.createElement('canvas').getContext('webgl');
        const info = gl && gl.getExtension('WEBGL_debug_renderer_info');
        return gl ? gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER) : 'no WebGL';''')


def wait_until(browser, expression, seconds, poll=0.05):
    """Polls a JavaScript expression until it is truthy; returns its value."""
    return WebDriverWait(browser, seconds, poll_frequency=poll).until(
        lambda b: b.execute_script(f'return {expression};'), f'not true after {seconds} s: {expression}')


def open_page(browser, url, seconds=20):
    """Opens the demo's page and waits until it has loaded."""
    browser.get(url)
    wait_until(browser, 'window.vorimelPage && document.readyState === "complete"', seconds)


def click(browser, css):
    browser.find_element(By.CSS_SELECTOR, css).click()


def start_demo(browser, seconds=60):
    """Answers "fullscreen?" with Window and waits until the music plays."""
    click(browser, '#window')
    wait_until(browser, 'vorimelPage.state === "running"', seconds)


def press(browser, key):
    """A real key press on the focused element, as the keyboard gives it."""
    ActionChains(browser).send_keys(key).perform()
