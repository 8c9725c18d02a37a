"""Headless Chromium on a freshly served copy of the site, for the web tests and the benchmark."""
import contextlib
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


@contextlib.contextmanager
def served(site):
    """Serves `site` on 127.0.0.1 as ./dev web does; yields (url, server process)."""
    port = free_port()
    server = subprocess.Popen(
        [sys.executable, "-m", "http.server", "--bind", "127.0.0.1", str(port)],
        cwd=site, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(100):
            with contextlib.suppress(OSError), socket.create_connection(("127.0.0.1", port)):
                break
            time.sleep(0.05)
        yield f"http://127.0.0.1:{port}/", server
    finally:
        server.kill()
        server.wait()


@contextlib.contextmanager
def chromium():
    profile = tempfile.mkdtemp(prefix="zentrovax-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    # The machine has no network: nothing may wait for one. Root cannot use the sandbox.
    for flag in ["--headless=new", "--disable-gpu", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--no-first-run",
                 "--window-size=800,600", f"--user-data-dir={profile}"]:
        options.add_argument(flag)
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.execute_cdp_cmd("Browser.grantPermissions", {
            "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
        yield driver
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


def load(driver, url):
    driver.get(url)
    for _ in range(200):
        if driver.execute_script("return document.body.hasAttribute('data-ready')"):
            return
        time.sleep(0.02)
    raise AssertionError("the window was never built")
