#!/usr/bin/python3
"""The site as a phone's audit sees it: Lighthouse's mobile profile (from the npm registry) on
headless Chromium scores search, best practices and accessibility at 100, the server's
compression and caching aside. Usage: lighthouse_test.py SITE_DIR LIGHTHOUSE_DIR REPORT_DIR"""
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import served  # noqa: E402

CATEGORIES = ["seo", "best-practices", "accessibility"]


def main():
    site, lighthouse, reports = sys.argv[1:4]
    os.makedirs(reports, exist_ok=True)
    report = os.path.join(reports, "lighthouse.json")
    # The machine has no network: nothing may wait for one. Root cannot use the sandbox.
    flags = ["--headless=new", "--disable-gpu", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--no-first-run"]
    if os.geteuid() == 0:
        flags.append("--no-sandbox")
    with served(site) as (url, _), tempfile.TemporaryDirectory() as home:
        subprocess.run(
            ["node", os.path.join(lighthouse, "node_modules/lighthouse/cli/index.js"), url,
             f"--chrome-flags={' '.join(flags)}", f"--only-categories={','.join(CATEGORIES)}",
             "--form-factor=mobile", "--output=json", f"--output-path={report}", "--quiet"],
            check=True, env={**os.environ, "CHROME_PATH": "/usr/bin/chromium", "HOME": home})
    with open(report, encoding="utf-8") as file:
        result = json.load(file)
    failures = 0
    for name in CATEGORIES:
        category = result["categories"][name]
        print(f"{name}: {round(category['score'] * 100)}")
        for audit in category["auditRefs"]:
            found = result["audits"][audit["id"]]
            if audit["weight"] > 0 and found["score"] is not None and found["score"] < 1:
                failures += 1
                print(f"  FAIL {audit['id']}: {found['title']} {found.get('displayValue', '')}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
