#!/usr/bin/python3
"""Screenshots of the dress-up page in headless Chromium, served by this
tree's varune-server on the demo client: a dressed character with the
weapons browsed and an item's card shown, in English and Japanese at a
desktop's size (docs/screenshot-web-en.png, docs/screenshot-web-ja.png), and
the whole page at a phone's width (docs/screenshot-web-phone-en.png,
...-phone-ja.png)."""

import json
import os
import re
import subprocess
import sys
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'web'))
from page_support import Server, make_client, open_page, start_browser, wait_until  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402


def dress(driver, server, code):
    open_page(driver, f'{server.url}/#{code}&anim=NormalAttack01&job=3')
    # A still frame, the same on every run: the fourth.
    driver.find_element(By.ID, 'animate').click()
    shown = lambda: int(re.search(r'(\d+) /', driver.find_element(By.ID, 'frame-number').text).group(1))
    while shown() != 4:
        driver.find_element(By.ID, 'frame-next').click()
    driver.find_element(By.CSS_SELECTOR, '.slot[data-slot="13"]').click()
    wait_until(lambda: driver.execute_script(
        'return [...document.querySelectorAll(".item img[src]")].every((i) => i.complete) && '
        'document.querySelectorAll(".item img[src]").length > 3'), what='the weapons\' icons')


def main():
    subprocess.run(['bash', 'scripts/install-deps.sh'], cwd=ROOT, check=True)
    subprocess.run(['cmake', '--preset', 'release'], cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', '--preset', 'release', '--target', 'varune-cli', 'varune-server'], cwd=ROOT,
                   check=True)
    bin_dir = os.path.join(ROOT, 'build', 'release', 'bin')
    client = make_client(os.path.join(bin_dir, 'varune-cli'), os.path.join(ROOT, 'build', 'demo-client'))
    server = Server(os.path.join(bin_dir, 'varune-server'), client, os.path.join(ROOT, 'web'),
                    os.path.join(ROOT, 'build', 'web-screenshots.log'))
    try:
        with urllib.request.urlopen(f'{server.url}/api/v1/outfit?gender=female&job=3&random=12') as answer:
            code = json.load(answer)['code_url']
        for language in ('en', 'ja'):
            driver = start_browser(1280, 860, language)
            try:
                dress(driver, server, code)
                item = driver.find_elements(By.CSS_SELECTOR, '.item:not(.loading)')[2]
                ActionChains(driver).move_to_element(item).perform()
                wait_until(lambda: driver.execute_script(
                    'const card = document.getElementById("card-picture");'
                    'return !document.getElementById("card").hidden && card.complete && card.naturalWidth > 0'),
                    what='the card')
                driver.save_screenshot(os.path.join(ROOT, 'docs', f'screenshot-web-{language}.png'))
            finally:
                driver.quit()

            driver = start_browser(360, 740, language)
            try:
                dress(driver, server, code)
                height = driver.execute_script('return document.documentElement.scrollHeight')
                driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                                       {'width': 360, 'height': height, 'deviceScaleFactor': 1, 'mobile': False})
                driver.save_screenshot(os.path.join(ROOT, 'docs', f'screenshot-web-phone-{language}.png'))
            finally:
                driver.quit()
    finally:
        server.stop()


if __name__ == '__main__':
    main()
