"""A corpus of 10,000 .dat threads for the report's size budget: each a
dozen posts of a few lines cut from the sample thread (about 2.5 KB, 25 MB in
all), with the markup a real log has (<br>, entities, anchors). Made once
into a folder and kept there; the report's budget test and
bench/report_open.py share it.
"""
import os

THREADS = 10_000
POSTS = 12


def make(directory, sample):
    """The corpus in `directory` (made unless already complete); returns it."""
    done = os.path.join(directory, f"complete-{THREADS}")
    threads = os.path.join(directory, "threads")
    if os.path.exists(done):
        return threads
    os.makedirs(threads, exist_ok=True)
    with open(sample, encoding="utf-8") as f:
        lines = [line for line in f.read().splitlines() if line.strip()]
    i = 0
    for thread in range(THREADS):
        posts = []
        for n in range(1, POSTS + 1):
            body = " <br> ".join(lines[(i + k) % len(lines)].replace("&", "&amp;").replace("<", "&lt;")
                                 .replace(">", "&gt;") for k in range(2))
            i += 2
            if n % 4 == 0:
                body = f'<a href="../test/read.cgi/idol/{thread}/{n - 1}">&gt;&gt;{n - 1}</a> <br> ' + body
            title = f"ピポラ総合スレ Part{thread}" if n == 1 else ""
            posts.append(f"名無しさん<>sage<>2024/{1 + thread % 12:02}/{1 + n:02}(土) 20:{n:02}:00.00 "
                         f"ID:ab{thread % 9973:04}cd<> {body} <>{title}\n")
        with open(os.path.join(threads, f"{1700000000 + thread}.dat"), "wb") as f:
            f.write("".join(posts).encode("cp932", errors="replace"))
    open(done, "w").close()
    return threads
