#!/usr/bin/env python3
"""What the corpus tests need from outside the counter:

  corpus_helper.py encodings DIR   the sample's first lines saved in seven encodings
                                   by Python's codecs: DIR/<n>-<name>.txt
  corpus_helper.py csv FILE        FILE read by Python's csv module after checking
                                   its byte-order mark and CR LF line ends; the rows
                                   as a JSON array of objects on standard output
  corpus_helper.py pty OUT CAPTURE FIFO -- PROGRAM ARGS...
                                   runs the program with standard error on a
                                   pseudo-terminal (kept in CAPTURE) and standard
                                   output in OUT; FIFO is made first and fed a short
                                   text after 1.5 s, so that the run takes that long
"""
import csv
import io
import json
import os
import pty
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def encodings(directory):
    with open(os.path.join(ROOT, "samples", "sample-thread.txt"), encoding="utf-8") as f:
        text = "\n".join(f.read().split("\n")[:60])
    saved = [("cp932", "cp932", b""), ("utf-8", "utf-8", b""), ("utf-8", "utf-8", b"\xEF\xBB\xBF"),
             ("utf-16le", "utf-16-le", b"\xFF\xFE"), ("utf-16be", "utf-16-be", b"\xFE\xFF"),
             ("euc-jp", "euc_jp", b""), ("iso-2022-jp", "iso2022_jp", b"")]
    os.makedirs(directory, exist_ok=True)
    for n, (name, codec, bom) in enumerate(saved):
        with open(os.path.join(directory, f"{n}-{name}.txt"), "wb") as f:
            f.write(bom + text.encode(codec))


def read_csv(path):
    data = open(path, "rb").read()
    if not data.startswith(b"\xEF\xBB\xBF"):
        sys.exit("no byte-order mark")
    if data.replace(b"\r\n", b"").count(b"\n") or not data.endswith(b"\r\n"):
        sys.exit("a line end that is not CR LF")
    rows = list(csv.DictReader(io.StringIO(data[3:].decode("utf-8"), newline="")))
    json.dump(rows, sys.stdout, ensure_ascii=False)


def run_on_pty(out_path, capture_path, fifo, argv):
    os.mkfifo(fifo)

    def feed():
        time.sleep(1.5)
        with open(fifo, "w") as f:
            f.write("text")

    threading.Thread(target=feed, daemon=True).start()
    master, slave = pty.openpty()
    with open(out_path, "wb") as out:
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=slave)
    os.close(slave)
    captured = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the terminal closes when the program ends
            break
        if not chunk:
            break
        captured += chunk
    process.wait()
    with open(capture_path, "wb") as f:
        f.write(captured)
    sys.exit(process.returncode)


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "encodings":
        encodings(sys.argv[2])
    elif command == "csv":
        read_csv(sys.argv[2])
    elif command == "pty":
        run_on_pty(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[sys.argv.index("--") + 1:])
