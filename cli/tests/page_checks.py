"""What the report's browser tests share: failures gathered as they are
found, a page loaded in headless Chromium with ?selfcheck (the page's own
script then checks it and writes what it saw into it), and the end."""
import os
import subprocess
import sys

failures = []


def check(ok, message):
    if not ok:
        failures.append(message)
    return ok


def load(chromium, report):
    """The DOM Chromium leaves of `report` loaded with ?selfcheck."""
    url = "file://" + os.path.abspath(report) + "?selfcheck"
    return subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--virtual-time-budget=5000",
                           "--dump-dom", url], capture_output=True, timeout=120).stdout.decode("utf-8")


def finish(name):
    """Prints the failures and ends the test: exit 1 when there were any."""
    for failure in failures:
        print("FAIL:", failure)
    print(name + ":", "FAIL" if failures else "PASS")
    sys.exit(1 if failures else 0)
