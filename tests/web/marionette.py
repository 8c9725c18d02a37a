"""Selenium driver for Firefox through its built-in Marionette server (no geckodriver).

    from marionette import firefox
    with firefox() as driver:          # a selenium.webdriver.Remote
        driver.get("http://127.0.0.1:8000/")

Marionette speaks "LEN:JSON" over TCP: after the server's hello, a command is
[0, id, "WebDriver:Xxx", params], its reply [1, id, error-or-null, result].
Parameters are W3C-shaped, so the executor below mostly renames commands.
Reference: chrome/remote/content/marionette/{driver,server}.sys.mjs in omni.ja.
"""
import contextlib
import json
import os
import shutil
import socket
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.remote.command import Command as C

# selenium command -> Marionette command
COMMANDS = {
    C.NEW_SESSION: "WebDriver:NewSession", C.QUIT: "Marionette:Quit",
    C.DELETE_SESSION: "WebDriver:DeleteSession", C.GET: "WebDriver:Navigate",
    C.REFRESH: "WebDriver:Refresh", C.GET_CURRENT_URL: "WebDriver:GetCurrentURL",
    C.W3C_EXECUTE_SCRIPT: "WebDriver:ExecuteScript",
    C.W3C_EXECUTE_SCRIPT_ASYNC: "WebDriver:ExecuteAsyncScript",
    C.W3C_ACTIONS: "WebDriver:PerformActions", C.W3C_CLEAR_ACTIONS: "WebDriver:ReleaseActions",
    C.FIND_ELEMENT: "WebDriver:FindElement", C.CLICK_ELEMENT: "WebDriver:ElementClick",
    C.SCREENSHOT: "WebDriver:TakeScreenshot", C.SET_TIMEOUTS: "WebDriver:SetTimeouts",
    C.W3C_GET_CURRENT_WINDOW_HANDLE: "WebDriver:GetWindowHandle",
    C.GET_WINDOW_RECT: "WebDriver:GetWindowRect", C.SET_WINDOW_RECT: "WebDriver:SetWindowRect",
}
# These reply with the bare result instead of {"value": result} (server.sys.mjs).
UNWRAPPED = {"Marionette:Quit", "WebDriver:NewSession", "WebDriver:GetWindowRect",
             "WebDriver:SetWindowRect"}


def _adapt(command, p):
    """The few parameters whose Marionette name or shape differs from W3C's."""
    p = {k: v for k, v in (p or {}).items() if k != "sessionId"}
    if command == C.NEW_SESSION:  # Marionette wants flat capabilities
        caps = p.get("capabilities", {})
        return {**caps.get("alwaysMatch", {}), **(caps.get("firstMatch") or [{}])[0]}
    if command == C.SCREENSHOT:
        p["full"] = False  # W3C screenshots are of the viewport; Marionette defaults to full page
    return p


class MarionetteExecutor:
    """Selenium command executor talking to a Marionette server over one TCP socket."""

    def __init__(self, host="127.0.0.1", port=2828, timeout=30):
        self.sock = socket.create_connection((host, port), timeout=timeout)
        self.sock.settimeout(None)  # commands may legitimately block (page loads, async scripts)
        self.msg_id = 0
        self.hello = self._recv()  # {"applicationType": "gecko", "marionetteProtocol": 3}

    def _recv(self):
        head = b""
        while not head.endswith(b":"):
            chunk = self.sock.recv(1)
            if not chunk:
                raise ConnectionError("Marionette closed the connection")
            head += chunk
        size, body = int(head[:-1]), b""
        while len(body) < size:
            chunk = self.sock.recv(size - len(body))
            if not chunk:
                raise ConnectionError("Marionette closed the connection")
            body += chunk
        return json.loads(body)

    def send(self, name, params=None):
        """Run one raw Marionette command; return (error dict or None, result)."""
        self.msg_id += 1
        data = json.dumps([0, self.msg_id, name, params or {}]).encode()
        self.sock.sendall(b"%d:%s" % (len(data), data))
        while True:
            _, msg_id, error, result = self._recv()
            if msg_id == self.msg_id:
                return error, result

    def execute(self, command, params):
        """The selenium executor interface: return {"value": ...} or a W3C error."""
        if command not in COMMANDS:
            return {"status": "unknown command", "value": {"message": f"{command}: not mapped"}}
        name = COMMANDS[command]
        error, result = self.send(name, _adapt(command, params))
        if error:  # {"error": "no such element", "message": ..., "stacktrace": ...}
            return {"status": error["error"], "value": error}
        return {"value": result} if name in UNWRAPPED else result

    def close(self):
        self.sock.close()


# Prefs written to user.js: Marionette on a free port, and nothing that waits for a
# network (first-run pages, updates, telemetry, data reporting, remote settings...).
PREFS = {
    "marionette.port": 0, "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore", "browser.startup.page": 0,
    "browser.startup.homepage": "about:blank", "startup.homepage_welcome_url": "about:blank",
    "startup.homepage_welcome_url.additional": "", "browser.aboutwelcome.enabled": False,
    "trailhead.firstrun.didSeeAboutWelcome": True, "termsofuse.bypassNotification": True,
    "app.update.disabledForTesting": True, "app.update.auto": False, "app.normandy.enabled": False,
    "extensions.update.enabled": False, "extensions.getAddons.cache.enabled": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "datareporting.healthreport.uploadEnabled": False,
    "datareporting.policy.dataSubmissionPolicyBypassNotification": True,
    "toolkit.telemetry.enabled": False, "toolkit.telemetry.unified": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False, "toolkit.telemetry.server": "",
    "browser.safebrowsing.malware.enabled": False, "browser.safebrowsing.phishing.enabled": False,
    "browser.safebrowsing.downloads.enabled": False, "browser.newtabpage.enabled": False,
    "browser.newtabpage.activity-stream.feeds.system.topstories": False,
    "network.captive-portal-service.enabled": False, "network.connectivity-service.enabled": False,
    "network.dns.disablePrefetch": True, "network.prefetch-next": False,
    "services.settings.server": "data:,#remote-settings-dummy/v1",
    "dom.push.connection.enabled": False,
    "browser.sessionstore.resume_from_crash": False, "toolkit.startup.max_resumed_crashes": -1,
    "browser.tabs.warnOnClose": False, "browser.warnOnQuit": False,
    # Timings as fine as the other engines give them.
    "privacy.reduceTimerPrecision": False,
}


@contextlib.contextmanager
def firefox(profile_dir=None, binary="firefox-esr", prefs=None, args=(), log=None, timeout=60):
    """Start Firefox with Marionette, yield a selenium driver, then quit and clean up.

    profile_dir: folder for a fresh profile (created; removed at the end) or a temporary one.
    prefs: extra user.js prefs.  log: file object for Firefox's stdout/stderr (default: discarded).
    """
    profile = profile_dir or tempfile.mkdtemp(prefix="marionette-profile-")
    os.makedirs(profile, exist_ok=True)
    with open(os.path.join(profile, "user.js"), "w") as f:
        for k, v in {**PREFS, **(prefs or {})}.items():
            f.write(f"user_pref({json.dumps(k)}, {json.dumps(v)});\n")
    port_file = os.path.join(profile, "MarionetteActivePort")
    with contextlib.suppress(FileNotFoundError):
        os.remove(port_file)  # stale from an earlier run
    env = dict(os.environ, MOZ_CRASHREPORTER_DISABLE="1")
    out = log or subprocess.DEVNULL
    proc = subprocess.Popen([binary, "--marionette", "--no-remote", "--profile", profile, *args],
                            env=env, stdout=out, stderr=out, stdin=subprocess.DEVNULL)
    driver = None
    try:
        deadline = time.monotonic() + timeout
        port = ""
        while not port.isdigit():  # the file can exist before its content is written
            if proc.poll() is not None:
                raise RuntimeError(f"{binary} exited early with status {proc.returncode}")
            if time.monotonic() > deadline:
                raise TimeoutError(f"no {port_file} after {timeout} s")
            time.sleep(0.1)
            with contextlib.suppress(FileNotFoundError):
                port = open(port_file).read().strip()
        driver = webdriver.Remote(
            command_executor=MarionetteExecutor(port=int(port), timeout=timeout))
        yield driver
    finally:
        if driver is not None and proc.poll() is None:
            with contextlib.suppress(Exception):
                driver.quit()  # Marionette:Quit closes the browser cleanly
        try:
            proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
        shutil.rmtree(profile, ignore_errors=True)
