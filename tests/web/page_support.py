"""What the page's browser tests, its benchmark and its screenshots share:
a demo client, varune-server started on it, and headless Chromium driven by
Selenium, each browser with an empty profile (so a cold cache)."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

CHROMIUM = '/usr/bin/chromium'
CHROMEDRIVER = '/usr/bin/chromedriver'


class BrowserUnavailable(Exception):
    """No browser can be started here; the reason says why."""


def make_client(cli, folder, scale='demo'):
    """The demo client in `folder`, written once."""
    if not os.path.exists(os.path.join(folder, 'ROWID.SPF')):
        os.makedirs(folder, exist_ok=True)
        subprocess.run([cli, 'demo-client', folder, '--scale', scale], check=True, stdout=subprocess.DEVNULL)
    return folder


class Server:
    """varune-server on 127.0.0.1 with a free port, until stop()."""

    def __init__(self, program, client, web, log_path, extra=()):
        self.log = open(log_path, 'w')
        self.process = subprocess.Popen(
            [program, client, '--listen', '127.0.0.1:0', '--web', web, *extra],
            stdout=subprocess.PIPE, stderr=self.log, text=True)
        line = self.process.stdout.readline().strip()
        said = 'listening on 127.0.0.1:'
        if not line.startswith(said):
            self.stop()
            raise RuntimeError(f'varune-server did not start: {line!r}, see {log_path}')
        self.url = f'http://127.0.0.1:{line[len(said):]}'

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()
        return self.process.returncode


def start_browser(width=1280, height=900, language='en-GB'):
    """Headless Chromium of that window size and browser language, with an
    empty profile of its own. Raises BrowserUnavailable."""
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError as error:
        raise BrowserUnavailable(f'Selenium is not installed ({error})')
    for program in (CHROMIUM, CHROMEDRIVER):
        if not shutil.which(program):
            raise BrowserUnavailable(f'{program} is not installed')
    profile = tempfile.mkdtemp(prefix='varune-chromium-')
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    # This machine's network is closed: no background connections, no QUIC.
    for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                     '--disable-background-networking', '--disable-component-update', '--disable-sync',
                     '--disable-dev-shm-usage', '--hide-scrollbars', f'--window-size={width},{height}',
                     f'--lang={language}', f'--user-data-dir={profile}'):
        options.add_argument(argument)
    options.add_experimental_option('prefs', {'intl.accept_languages': language})
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    try:
        driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    except Exception as error:  # the driver's own exceptions vary by version
        shutil.rmtree(profile, ignore_errors=True)
        raise BrowserUnavailable(f'Chromium could not be started: {str(error).splitlines()[0]}')
    # What the page's window shows, not the window around it.
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                           {'width': width, 'height': height, 'deviceScaleFactor': 1, 'mobile': False})
    original_quit = driver.quit

    def quit_and_clean():
        original_quit()
        shutil.rmtree(profile, ignore_errors=True)

    driver.quit = quit_and_clean
    return driver


def wait_until(condition, timeout=20, what='the page'):
    """Polls `condition` until it answers truthily; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f'timed out waiting for {what}')
        time.sleep(0.05)


def open_page(driver, address):
    """Opens `address` and waits until the character is drawn."""
    driver.get(address)
    wait_until(lambda: driver.execute_script('return document.body.dataset.ready === "true"'),
               what=f'{address} to draw the character')


# The time from opening the address to the dressed, animating character,
# and what came over the network for it: cold, in a fresh profile.
LOAD_FIGURES = '''
  const ready = performance.getEntriesByName('varune-ready')[0];
  const navigation = performance.getEntriesByType('navigation')[0];
  const resources = performance.getEntriesByType('resource').filter((entry) => entry.startTime <= ready.startTime);
  return {ms: ready.startTime, requests: resources.length + 1,
          bytes: navigation.transferSize + resources.reduce((sum, entry) => sum + entry.transferSize, 0)};
'''
