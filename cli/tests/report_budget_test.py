#!/usr/bin/env python3
"""The report of a corpus of 10,000 .dat threads stays within 20 MB.

The corpus (cli/tests/large_corpus.py) is made once into WORKDIR. The page
must be complete, list every thread, show the first threads' texts and say
that the later ones are not shown, and hold both corpus sections. The list
of files, folded, is made from data on the page when opened: it is read
from the page as Chromium made it with ?selfcheck, which opens it.

Usage: report_budget_test.py COUNTER SAMPLE CHROMIUM WORKDIR
"""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import large_corpus  # noqa: E402

counter, sample, chromium, workdir = sys.argv[1:5]
threads = large_corpus.make(workdir, sample)
report = os.path.join(workdir, "report.html")
subprocess.run([counter, "--html", report, "--lang", "en", "-r", threads], check=True, timeout=300)
with open(report, "rb") as f:
    page = f.read()
dom = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--dump-dom",
                      "file://" + os.path.abspath(report) + "?selfcheck"], capture_output=True, timeout=300).stdout
failures = []
print(f"a report of {large_corpus.THREADS:,} threads: {len(page) / 1e6:.1f} MB")
if len(page) > 20_000_000:
    failures.append(f"the page is {len(page) / 1e6:.1f} MB, over 20 MB")
listed = len(re.findall(rb'<tr><td>[^<]*\.dat</td>', dom))
not_shown = dom.count(b'<td class="note">text not shown</td>')
shown = page.count(b'<pre class="body">') and len(re.findall(rb"<h3>[^<]*\.dat</h3>", page))
if listed != large_corpus.THREADS or not 0 < shown < listed or shown + not_shown != listed:
    failures.append(f"{listed} threads listed, {shown} shown, {not_shown} marked as not shown")
if f"The {not_shown:,} later texts are not shown".encode() not in page:
    failures.append("the page does not say how many texts are not shown")
for section in (b'<section id="positions">', b'<section id="kwic">'):
    if section not in page:
        failures.append(f"no {section.decode()}")
if not page.rstrip().endswith(b"</html>"):
    failures.append("the page is not complete")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
