"""The three engines a person may use, each in a real window on a private X server, driven
through WebDriver on a freshly served copy of the site: Chromium through chromedriver, Firefox
through its own Marionette endpoint (marionette.py) and WebKit through WebKitWebDriver with
WebKitGTK's MiniBrowser, the engine of Safari."""
import contextlib
import os
import random
import shutil
import socket
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service as ChromiumService
from selenium.webdriver.common.options import ArgOptions
from selenium.webdriver.webkitgtk.service import Service as WebKitService

from marionette import firefox

ENGINES = ("chromium", "firefox", "webkit")
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"


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
def x_display():
    """A private X server for the browser's window; the X clipboard is the one a person uses."""
    for number in random.sample(range(100, 30000), 50):
        if os.path.exists(f"/tmp/.X{number}-lock"):
            continue
        server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24",
                                   "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        for _ in range(100):
            if subprocess.run(["xdpyinfo", "-display", f":{number}"], capture_output=True,
                              check=False).returncode == 0 or server.poll() is not None:
                break
            time.sleep(0.1)
        if server.poll() is None:
            previous = os.environ.get("DISPLAY")
            os.environ["DISPLAY"] = f":{number}"
            try:
                yield
            finally:
                server.kill()
                server.wait()
                if previous is None:
                    os.environ.pop("DISPLAY", None)
                else:
                    os.environ["DISPLAY"] = previous
            return
    raise RuntimeError("no X server could be started")


@contextlib.contextmanager
def chromium(extra_flags=()):
    profile = tempfile.mkdtemp(prefix="zentrovax-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    # The machine has no network: nothing may wait for one. Root cannot use the sandbox.
    for flag in ["--disable-gpu", "--disable-background-networking", "--ozone-platform=x11",
                 "--disable-component-update", "--disable-sync", "--no-first-run",
                 "--window-size=800,600", f"--user-data-dir={profile}", *extra_flags]:
        options.add_argument(flag)
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")
    driver = webdriver.Chrome(service=ChromiumService("/usr/bin/chromedriver"), options=options)
    try:
        yield driver
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


@contextlib.contextmanager
def webkit():
    env = dict(os.environ)
    # Without a session bus GLib would start one through X, and WebKit's accessibility a bus
    # of its own, both outliving the session.
    env.setdefault("DBUS_SESSION_BUS_ADDRESS", "disabled:")
    options = ArgOptions()
    options.set_capability("browserName", "MiniBrowser")
    options.set_capability("webkitgtk:browserOptions",
                           {"binary": MINIBROWSER, "args": ["--automation"]})
    service = WebKitService("WebKitWebDriver", env=env)
    service.start()
    try:
        driver = webdriver.Remote(service.service_url, options=options)
        try:
            driver.set_window_rect(width=800, height=600)
            yield driver
        finally:
            driver.quit()
    finally:
        service.stop()


@contextlib.contextmanager
def engine(name, chromium_flags=()):
    """A driver for the engine called `name`, one of ENGINES, in a window on $DISPLAY; Chromium
    started with `chromium_flags` besides its own."""
    if name == "chromium":
        with chromium(chromium_flags) as driver:
            yield driver
    elif name == "firefox":
        with firefox() as driver:
            driver.set_window_rect(width=800, height=600)
            yield driver
    elif name == "webkit":
        with webkit() as driver:
            yield driver
    else:
        raise ValueError(f"no engine called {name}; one of {', '.join(ENGINES)}")


def load(driver, url):
    driver.get(url)
    for _ in range(300):
        if driver.execute_script("return document.body.hasAttribute('data-ready')"):
            return
        time.sleep(0.02)
    failure = driver.execute_script(
        "const f = document.getElementById('startFailure'); return f && f.textContent")
    raise AssertionError(f"the window was never built: {failure or 'no word from the page'}")
