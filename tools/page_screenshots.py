#!/usr/bin/python3
"""Screenshots of the page for docs/screenshots/: a computer's screen and a phone's, light and
dark, and a body with its waves.

    tools/page_screenshots.py [SITE_FOLDER [OUTPUT_FOLDER]]
"""
import os
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "web"))
import browser  # noqa: E402

site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build", "web")
out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "docs", "screenshots")

PRESS = """
document.querySelectorAll('input[type=radio]')[2].click();
document.getElementById('Text_M1').value = '2'; document.getElementById('Text_Teta').value = '10';
document.getElementById('Command1').click();"""


def shoot(url, name, width, height, dark=False, phone=False, then=None, down_to=None):
    driver = browser.chromium(width, height)
    try:
        metrics = {"width": width, "height": height, "deviceScaleFactor": 2 if phone else 1, "mobile": phone}
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
        browser.dark(driver, dark)
        browser.open_page(driver, url)
        driver.execute_script(PRESS)
        if then:
            driver.execute_script(then)
        time.sleep(0.3)
        shot = {"format": "png"}
        if down_to:  # the phone's page is laid out by its width alone, so it can be shown down to the end of a panel
            bottom = driver.execute_script(
                "return Math.ceil(document.getElementById(arguments[0]).getBoundingClientRect().bottom + window.scrollY) + 16", down_to)
            shot.update(captureBeyondViewport=True, clip={"x": 0, "y": 0, "width": width, "height": bottom, "scale": 1})
        data = driver.execute_cdp_cmd("Page.captureScreenshot", shot)["data"]
        import base64
        with open(os.path.join(out, name), "wb") as f:
            f.write(base64.b64decode(data))
        print("wrote", name)
    finally:
        driver.quit()


url, stop = browser.serve(site)
try:
    shoot(url, "web-desktop.png", 1280, 800)
    shoot(url, "web-desktop-dark.png", 1280, 800, dark=True)
    shoot(url, "web-phone.png", 360, 740, phone=True, down_to="quantities")
    shoot(url, "web-phone-dark.png", 360, 740, phone=True, dark=True, down_to="quantities")
    body = """
        const $ = (id) => document.getElementById(id);
        $('body-shape').value = 'biconvex'; $('body-shape').dispatchEvent(new Event('change'));
        $('body-size').value = '0.1'; $('body-facets').value = '8'; $('body-M').value = '2.5'; $('body-alpha').value = '4';
        $('body-form').requestSubmit();
        $('bodies').scrollIntoView();"""
    shoot(url, "web-body.png", 1280, 800, then=body)
finally:
    stop()
