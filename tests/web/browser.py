"""The page served from a folder on 127.0.0.1 and opened in Debian's headless Chromium."""
import functools
import http.server
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    """Serves `folder`; returns its address and a function that stops serving."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_port}/", server.shutdown


def chromium(width=600, height=480, lang="en-US"):
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     f"--window-size={width},{height}", f"--lang={lang}", "--force-device-scale-factor=1"):
        options.add_argument(argument)
    options.add_experimental_option("prefs", {"intl.accept_languages": lang})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_script_timeout(120)
    # The visitor's locale, which gives the decimal separator results are shown with.
    driver.execute_cdp_cmd("Emulation.setLocaleOverride", {"locale": lang})
    return driver


def open_page(driver, url):
    """Loads the page and waits until the core is ready; returns when that was, in ms."""
    driver.get(url)
    return driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const wait = () => document.documentElement.dataset.ready ? done(Number(document.documentElement.dataset.ready))
                                                                  : setTimeout(wait, 2);
        wait();""")


def dark(driver, on=True):
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                           {"features": [{"name": "prefers-color-scheme", "value": "dark" if on else "light"}]})


def luminance(rgb):
    """WCAG 2 relative luminance of an (r, g, b) colour of 0-255 channels."""
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    """WCAG 2 contrast ratio of two colours."""
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)
