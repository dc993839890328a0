#!/usr/bin/python3
"""The dress-up page in a real browser: headless Chromium, driven by
Selenium, against varune-server on the large demo client.

    page_test.py --server BIN --cli BIN --web DIR --work DIR [unittest options]

Exits 77 (skipped, with the reason) where no browser can be started."""

import argparse
import base64
import json
import os
import sys
import time
import unittest
import urllib.request

SKIPPED = 77
try:
    from selenium.webdriver.common.actions import interaction
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.actions.pointer_input import PointerInput
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError as missing:
    print(f'SKIP: the page\'s browser tests: Selenium is not installed ({missing})')
    sys.exit(SKIPPED)

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_support import (LOAD_FIGURES, BrowserUnavailable, Server, make_client, open_page, start_browser,  # noqa: E402
                          wait_until)

ARGS = None


def canvas_picture(driver):
    return driver.execute_script('return document.getElementById("view").toDataURL()')


def address_code(driver):
    return driver.execute_script('return location.hash').split('&')[0][1:]


def severe_console_lines(driver):
    return [entry['message'] for entry in driver.get_log('browser') if entry['level'] == 'SEVERE']


def fetch(driver, address):
    """Status, media type and first bytes (as Base64) of `address`, fetched by the page."""
    return driver.execute_async_script('''
      const done = arguments[arguments.length - 1];
      fetch(arguments[0]).then(async (response) => {
        const bytes = new Uint8Array(await response.arrayBuffer()).slice(0, 8);
        done([response.status, response.headers.get('Content-Type'), btoa(String.fromCharCode(...bytes))]);
      }, (error) => done([0, String(error), '']));''', address)


class PageTest(unittest.TestCase):
    """One browser at desktop size for the whole class; each test opens the page afresh."""

    @classmethod
    def setUpClass(cls):
        cls.driver = start_browser()
        cls.url = SERVER.url + '/'

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def setUp(self):
        self.driver.get('about:blank')
        self.driver.get_log('browser')  # what an earlier test left

    def tearDown(self):
        self.assertEqual(severe_console_lines(self.driver), [], 'errors in the browser console')

    def script(self, text, *args):
        return self.driver.execute_script(text, *args)

    def click(self, selector):
        self.driver.find_element(By.CSS_SELECTOR, selector).click()

    def pause(self):
        """Stops the animation where it is, so that pictures can be compared."""
        if self.script('return document.getElementById("animate").checked'):
            self.click('#animate')

    def browse_weapons(self):
        self.click('.slot[data-slot="13"]')
        wait_until(lambda: self.script('return document.querySelector(".item img[src]")'), what='weapon icons')

    def wear_first_weapon(self):
        """Wears the first weapon of the grid; its name."""
        self.browse_weapons()
        before = address_code(self.driver)
        cell = self.driver.find_element(By.CSS_SELECTOR, '.item:not(.loading)')
        name = cell.find_element(By.CSS_SELECTOR, 'img').get_attribute('alt')
        cell.click()
        wait_until(lambda: address_code(self.driver) != before, what='the address to change')
        return name

    def slot_label(self, slot):
        return self.script(f'return document.querySelector(\'.slot[data-slot="{slot}"]\').getAttribute("aria-label")')

    def test_opens_dressed_and_animating_with_icons(self):
        open_page(self.driver, self.url)
        self.assertRegex(self.script('return location.hash'), r'^#[A-Za-z0-9_-]+&anim=Stand$')
        frame = self.script('return document.getElementById("frame-number").textContent')
        wait_until(lambda: self.script('return document.getElementById("frame-number").textContent') != frame,
                   what='the animation to play')
        # The grid's icons are pictures the browser could decode.
        wait_until(lambda: self.script('''
          const icons = [...document.querySelectorAll('.item img[src]')];
          return icons.length > 0 && icons.every((icon) => icon.complete && icon.naturalWidth === 32);'''),
                   what='the item grid\'s icons')
        self.assertTrue(self.script('return [...document.querySelectorAll(".item img[src]")].every((i) => i.alt)'))

    def test_wearing_changes_the_picture_and_address_and_the_address_gives_it_again(self):
        open_page(self.driver, self.url)
        self.pause()
        picture = canvas_picture(self.driver)
        name = self.wear_first_weapon()
        wait_until(lambda: canvas_picture(self.driver) != picture, what='the picture to change')
        self.assertIn(name, self.slot_label(13))
        worn = self.script('return location.href')

        self.driver.refresh()
        wait_until(lambda: self.script('return document.body.dataset.ready === "true"'), what='the page again')
        self.assertEqual(self.script('return location.href'), worn)
        self.assertIn(name, self.slot_label(13))
        self.assertIn(name, self.script('return document.getElementById("view").getAttribute("aria-label")'))

        # Taken off by the slot's button: the address is the first outfit's again.
        first = address_code(self.driver)
        self.click('.slot-cell:has(.slot[data-slot="13"]) .take-off')
        wait_until(lambda: address_code(self.driver) != first, what='the item to come off')
        self.assertNotIn(name, self.slot_label(13))
        self.assertFalse(self.driver.find_elements(By.CSS_SELECTOR, '.slot-cell:has(.slot[data-slot="13"]) .take-off'))

    def test_frame_stepping_and_the_animation_in_the_address(self):
        open_page(self.driver, self.url)
        self.driver.find_element(By.CSS_SELECTOR, '#animation option[value="Move"]').click()
        wait_until(lambda: self.script('return location.hash').endswith('&anim=Move'), what='anim=Move')
        self.pause()
        self.click('#frame-back')
        self.click('#frame-back')
        picture, frame = canvas_picture(self.driver), self.script('return document.getElementById("frame-number").textContent')
        self.click('#frame-next')
        self.assertNotEqual(self.script('return document.getElementById("frame-number").textContent'), frame)
        self.assertNotEqual(canvas_picture(self.driver), picture)
        # The still picture's download is the frame shown.
        self.assertIn('frame=', self.script('return document.getElementById("download-png").href'))

    def test_downloads_answer_pictures(self):
        open_page(self.driver, self.url)
        expected = {'download-png': ('image/png', b'\x89PNG'), 'download-transparent': ('image/png', b'\x89PNG'),
                    'download-gif': ('image/gif', b'GIF8'), 'download-webp': ('image/webp', b'RIFF'),
                    'download-sheet': ('image/png', b'\x89PNG'), 'download-sheet-data': ('application/json', b'{')}
        for link, (media_type, magic) in expected.items():
            address = self.script(f'return document.getElementById("{link}").href')
            status, answered_type, start = fetch(self.driver, address)
            self.assertEqual((status, answered_type), (200, media_type), address)
            self.assertTrue(base64.b64decode(start).startswith(magic), address)

    def test_keyboard_alone_wears_and_closes_the_card(self):
        open_page(self.driver, self.url)
        wait_until(lambda: self.script('return document.querySelector(".item img[src]")'), what='icons')
        before = address_code(self.driver)
        grid = self.driver.find_element(By.ID, 'items')
        grid.send_keys(Keys.ARROW_RIGHT)  # the second item, its card shown
        wait_until(lambda: not self.script('return document.getElementById("card").hidden'), what='the card')
        self.assertTrue(self.script('return document.getElementById("card-picture").alt.length > 0'))
        grid.send_keys(Keys.ESCAPE)
        self.assertTrue(self.script('return document.getElementById("card").hidden'))
        grid.send_keys(Keys.ENTER)
        wait_until(lambda: address_code(self.driver) != before, what='Enter to wear the item')

    def test_a_busy_service_is_asked_again_after_retry_after(self):
        open_page(self.driver, self.url)
        before = address_code(self.driver)
        # The service's next outfit answer is a 503, as a full render queue gives.
        self.script('''
          const fetchReal = window.fetch;
          window.fetch = (address, options) => {
            if (!String(address).includes('/api/v1/outfit?')) return fetchReal(address, options);
            window.fetch = fetchReal;
            return Promise.resolve(new Response('{"error":"busy","message":"busy"}',
                                                {status: 503, headers: {'Retry-After': '1'}}));
          };''')
        self.click('#random')
        wait_until(lambda: self.script('return !document.getElementById("message").hidden'), what='the busy message')
        self.assertIn('busy', self.script('return document.getElementById("message-text").textContent'))
        wait_until(lambda: address_code(self.driver) != before, what='the outfit after the retry')
        self.assertTrue(self.script('return document.getElementById("message").hidden'))

    def test_an_unreadable_link_says_so_and_shows_the_default_character(self):
        open_page(self.driver, self.url + '#AAAA&anim=Move')
        self.assertFalse(self.script('return document.getElementById("message").hidden'))
        self.assertIn('no outfit', self.script('return document.getElementById("message-text").textContent'))
        self.assertTrue(self.script('return location.hash').endswith('&anim=Move'))
        # The service's own 400 is expected in the log; nothing else.
        self.driver.get_log('browser')

    def test_the_largest_slot_scrolls_without_asking_for_every_icon(self):
        open_page(self.driver, self.url)
        self.click('#job-only')  # every weapon of every job
        self.browse_weapons()
        total = self.script('return Number(document.querySelector(".item").getAttribute("aria-setsize"))')
        self.assertGreater(total, 5000)
        wait_until(lambda: self.script('''
          const grid = document.getElementById('items');
          grid.scrollTop += grid.clientHeight;
          return grid.scrollTop + grid.clientHeight >= grid.scrollHeight;'''), timeout=60, what='the end of the grid')
        wait_until(lambda: self.script(
            'return [...document.querySelectorAll(".item")].slice(-1)[0].getAttribute("aria-posinset")') == str(total),
                   what='the last cells')
        asked = self.script('return performance.getEntriesByType("resource")'
                            '.filter((entry) => entry.name.endsWith("/icon.png")).length')
        cells = self.script('return document.querySelectorAll(".item").length')
        print(f'\nlargest slot: {total} weapons scrolled through, {asked} icons asked for, {cells} cells in the page',
              file=sys.stderr)
        self.assertLess(asked, total / 3)
        self.assertLess(cells, 400)

    def test_page_rules(self):
        """The page's own rules, from its modules, in the browser that runs them."""
        open_page(self.driver, self.url)
        results = self.driver.execute_async_script('''
          const done = arguments[arguments.length - 1];
          Promise.all(['address', 'player', 'item-grid', 'i18n', 'api'].map((name) => import(`/js/${name}.js`)))
            .then(([address, player, grid, i18n, api]) => {
              const frames = [{duration: 100}, {duration: 50}, {duration: 150}];
              done({
                parsed: address.parseAddress('#ab%2Bc/d==&anim=Move&job=7'),
                badJob: address.parseAddress('#abc&job=99').job,
                noCode: address.parseAddress('#a*b').code,
                written: address.formatAddress({code: 'a+b/c=', anim: 'Stand', job: 1}),
                desktop: address.desktopLink('a+b/c='),
                steps: [0, 99, 100, 149, 150, 299, 300 * 7 + 120].map((ms) => player.advance(frames, 0, ms)),
                range: grid.visibleRange(520, 260, 5, 1000),
                end: grid.visibleRange(0, 520, 5, 7),
                keys: ['ArrowDown', 'ArrowUp', 'End', 'PageDown', 'Tab'].map((key) => grid.movedIndex(key, 3, 5, 12, 2)),
                languages: [i18n.chooseLanguage(null, ['ja-JP', 'en']), i18n.chooseLanguage(null, ['fr', 'en-US']),
                            i18n.chooseLanguage('ja', ['en']), i18n.chooseLanguage(null, ['de'])],
                waits: [api.retryDelaySeconds('3'), api.retryDelaySeconds(null), api.retryDelaySeconds('999'),
                        api.retryDelaySeconds(new Date(Date.now() + 5000).toUTCString())],
                query: api.query({a: 1, b: null, c: '', d: [1, 2], e: []}),
              });
            }, (error) => done(String(error)));''')
        self.assertEqual(results['parsed'], {'code': 'ab-c_d', 'anim': 'Move', 'job': 7})
        self.assertEqual(results['badJob'], 1)
        self.assertIsNone(results['noCode'])
        self.assertEqual(results['written'], '#a-b_c&anim=Stand')
        self.assertEqual(results['desktop'], 'varune:outfit/a-b_c')
        self.assertEqual([(step['index'], step['into']) for step in results['steps']],
                         [(0, 0), (0, 99), (1, 0), (1, 49), (2, 0), (2, 149), (1, 20)])
        self.assertEqual(results['range'], [40, 89])   # rows 8 to 17 of 5 columns
        self.assertEqual(results['end'], [0, 6])
        self.assertEqual(results['keys'], [8, 0, 11, 11, None])
        self.assertEqual(results['languages'], ['ja', 'en', 'ja', 'en'])
        self.assertIn(results['waits'][3], (4, 5))
        self.assertEqual(results['waits'][:3], [3, 1, 60])
        self.assertEqual(results['query'], '?a=1&d=1%2C2')


class OtherBrowsersTest(unittest.TestCase):
    """The page in a Japanese browser, and at a phone's width."""

    def open(self, **browser):
        driver = start_browser(**browser)
        self.addCleanup(driver.quit)
        open_page(driver, SERVER.url + '/')
        self.assertEqual(severe_console_lines(driver), [])
        return driver

    def test_japanese_browser_language(self):
        driver = self.open(language='ja-JP')
        texts = driver.execute_script('''return {lang: document.documentElement.lang,
            random: document.getElementById('random').textContent,
            slot: document.querySelector('.slot[data-slot="13"]').title,
            category: document.getElementById('category').selectedOptions[0].textContent,
            language: document.getElementById('language').textContent};''')
        self.assertEqual(texts, {'lang': 'ja', 'random': 'ランダムコーデ', 'slot': '武器', 'category': 'すべての装備',
                                 'language': 'English'})
        # The switch, kept for the next visit.
        driver.find_element(By.ID, 'language').click()
        wait_until(lambda: driver.execute_script('return document.querySelector(\'.slot[data-slot="13"]\').title')
                   == 'Weapon', what='the English slot names')
        driver.refresh()
        wait_until(lambda: driver.execute_script('return document.body.dataset.ready === "true"'), what='the page')
        self.assertEqual(driver.execute_script('return document.documentElement.lang'), 'en')

    def test_phone_width_shows_every_control_without_scrolling_sideways(self):
        driver = self.open(width=360, height=740)
        wait_until(lambda: driver.execute_script('return document.querySelector(".item img[src]")'), what='icons')
        self.assertLessEqual(driver.execute_script('return document.documentElement.scrollWidth'), 360)
        outside = driver.execute_script('''
          return [...document.querySelectorAll('button, select, input, a[href], #items, canvas')]
            .filter((element) => element.offsetParent !== null)
            .map((element) => [element.id || element.className || element.tagName, element.getBoundingClientRect()])
            .filter(([, box]) => box.left < 0 || box.right > 360)
            .map(([name, box]) => `${name}: ${box.left}..${box.right}`);''')
        self.assertEqual(outside, [])

        # A long press shows the card and wears nothing; a tap wears.
        before = address_code(driver)
        cell = driver.find_elements(By.CSS_SELECTOR, '.item:not(.loading)')[1]
        driver.execute_script('arguments[0].scrollIntoView({block: "center"})', cell)
        for hold in (0.8, 0.05):
            touch = ActionBuilder(driver, mouse=PointerInput(interaction.POINTER_TOUCH, 'finger'))
            touch.pointer_action.move_to(cell).pointer_down().pause(hold).pointer_up()
            touch.perform()
            if hold > 0.5:
                wait_until(lambda: not driver.execute_script('return document.getElementById("card").hidden'),
                           what='the card of a long press')
                self.assertEqual(address_code(driver), before)
        wait_until(lambda: address_code(driver) != before, what='a tap to wear the item')


class ColdLoadTest(unittest.TestCase):
    """From opening a dressed character's address to the character
    animating, each time in a browser with an empty profile."""

    RUNS = 3

    def test_cold_load_of_a_dressed_outfit(self):
        with urllib.request.urlopen(SERVER.url + '/api/v1/outfit?gender=female&random=7') as answer:
            code = json.load(answer)['code_url']
        runs = []
        for _ in range(self.RUNS):
            driver = start_browser()
            try:
                open_page(driver, f'{SERVER.url}/#{code}&anim=Move')
                runs.append(driver.execute_script(LOAD_FIGURES))
                frame = driver.execute_script('return document.getElementById("frame-number").textContent')
                wait_until(lambda: driver.execute_script('return document.getElementById("frame-number").textContent')
                           != frame, what='the animation')
                self.assertEqual(severe_console_lines(driver), [])
            finally:
                driver.quit()
        times = sorted(run['ms'] for run in runs)
        print(f'\ncold loads of a dressed character on the large demo client: {", ".join(f"{ms:.0f}" for ms in times)} ms '
              f'(median {times[len(times) // 2]:.0f} ms), {runs[0]["bytes"]} bytes in {runs[0]["requests"]} requests',
              file=sys.stderr)


def main():
    global ARGS, SERVER
    parser = argparse.ArgumentParser()
    for option in ('--server', '--cli', '--web', '--work'):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    try:
        start_browser(400, 300).quit()
    except BrowserUnavailable as reason:
        print(f'SKIP: the page\'s browser tests: {reason}')
        return SKIPPED
    os.makedirs(ARGS.work, exist_ok=True)
    started = time.monotonic()
    client = make_client(ARGS.cli, os.path.join(ARGS.work, 'large-client'), 'large')
    SERVER = Server(ARGS.server, client, ARGS.web, os.path.join(ARGS.work, 'server.log'))
    print(f'large demo client ready and served in {time.monotonic() - started:.1f} s', file=sys.stderr)
    try:
        result = unittest.main(argv=[sys.argv[0], *rest], exit=False, verbosity=2).result
    finally:
        status = SERVER.stop()
    if status != 0:
        print(f'varune-server exited with {status}', file=sys.stderr)
        return 1
    return 0 if result.wasSuccessful() else 1


if __name__ == '__main__':
    sys.exit(main())
