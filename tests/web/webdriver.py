"""A WebDriver client over plain HTTP for Debian's chromedriver and chromium: no
package beyond Python's standard library, nothing downloaded."""

import json
import os
import socket
import subprocess
import time
import urllib.request

ELEMENT = 'element-6066-11e4-a52e-4f735466cecf'


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


class Browser:
    """Chromium driven through chromedriver, which this object starts and stops:
    headless, or with headed=True a window on the X server in DISPLAY (chromium and
    chromedriver inherit the environment, PULSE_SERVER included)."""

    def __init__(self, width=800, height=600, extra_args=(), headed=False):
        self.port = free_port()
        self.driver = subprocess.Popen(['chromedriver', f'--port={self.port}'],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for_port(self.port)
        # SwiftShader by default: the GPU-less rasteriser every Chromium carries
        gl = os.environ.get('VORIMEL_CHROMIUM_GL', '--use-gl=angle --use-angle=swiftshader').split()
        args = [*([] if headed else ['--headless=new']), '--no-sandbox', '--disable-gpu-sandbox',
                f'--window-size={width},{height}', '--autoplay-policy=no-user-gesture-required',
                '--enable-unsafe-swiftshader', *gl, *extra_args]
        caps = {'capabilities': {'alwaysMatch': {
            'browserName': 'chrome',
            'goog:chromeOptions': {'binary': '/usr/bin/chromium', 'args': args,
                                   # the bar saying so would take a headed window's lines
                                   'excludeSwitches': ['enable-automation']}}}}
        try:
            self.session = self._call('POST', '/session', caps)['sessionId']
        except Exception:
            self.driver.terminate()
            raise

    def _call(self, method, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        request = urllib.request.Request(f'http://127.0.0.1:{self.port}{path}', data=data, method=method,
                                         headers={'Content-Type': 'application/json'})
        try:
            with urllib.request.urlopen(request, timeout=120) as response:
                return json.loads(response.read())['value']
        except urllib.error.HTTPError as error:
            raise RuntimeError(f'{method} {path}: {error.read().decode(errors="replace")}') from None

    def session_call(self, method, path, body=None):
        return self._call(method, f'/session/{self.session}{path}', body)

    def open(self, url):
        self.session_call('POST', '/url', {'url': url})

    def run(self, script, *args):
        return self.session_call('POST', '/execute/sync', {'script': script, 'args': list(args)})

    def wait_until(self, expression, seconds, poll=0.05):
        """Polls a JavaScript expression until it is truthy; returns its value."""
        deadline = time.monotonic() + seconds
        while True:
            value = self.run(f'return {expression};')
            if value:
                return value
            if time.monotonic() > deadline:
                raise TimeoutError(f'not true after {seconds} s: {expression}')
            time.sleep(poll)

    def open_page(self, url, seconds=20):
        """Opens the demo's page and waits until it has loaded."""
        self.open(url)
        self.wait_until('window.vorimelPage && document.readyState === "complete"', seconds)

    def start_demo(self, seconds=60):
        """Answers "fullscreen?" with Window and waits until the music plays."""
        self.click('#window')
        self.wait_until('vorimelPage.state === "running"', seconds)

    def click(self, css):
        element = self.session_call('POST', '/element', {'using': 'css selector', 'value': css})
        element_id = element.get(ELEMENT) or element.get('ELEMENT')
        self.session_call('POST', f'/element/{element_id}/click', {})

    def press(self, key):
        """A real key press, as the keyboard gives it (e.g. ' ' or '\\ue00c' for Escape)."""
        self.session_call('POST', '/actions', {'actions': [{
            'type': 'key', 'id': 'keyboard',
            'actions': [{'type': 'keyDown', 'value': key}, {'type': 'keyUp', 'value': key}]}]})

    def close(self):
        try:
            self._call('DELETE', f'/session/{self.session}')
        finally:
            self.driver.terminate()
            self.driver.wait(10)


class PageServer:
    """python3 -m http.server on a free port, serving one folder."""

    def __init__(self, folder):
        self.port = free_port()
        self.process = subprocess.Popen(
            ['python3', '-m', 'http.server', str(self.port), '--bind', '127.0.0.1', '--directory', folder],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for_port(self.port)
        self.url = f'http://127.0.0.1:{self.port}/'

    def close(self):
        self.process.terminate()
        self.process.wait(10)
