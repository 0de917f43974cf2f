# What the package's tests share: the quenbol-count binary they compare with
# (QUENBOL_COUNT, or the native tree's), generated texts, and a keyword file.
import json
import os
import random
import subprocess
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
SAMPLE = ROOT / "samples" / "sample-thread.txt"


def counter_path():
    path = Path(os.environ.get("QUENBOL_COUNT", ROOT / "build" / "native" / "cli" / "quenbol-count"))
    if not path.exists():
        pytest.fail(f"{path} not built: cmake --build --preset native --target quenbol-count")
    return path


def run_counter(*args, check=True):
    """quenbol-count's standard output and error, with its exit status checked."""
    done = subprocess.run([str(counter_path()), *map(str, args)], capture_output=True)
    if check and done.returncode != 0:
        raise AssertionError(f"quenbol-count {args}: {done.returncode} {done.stderr.decode()}")
    return done


def jsonl_rows(*args, check=True):
    return [json.loads(line) for line in run_counter("--jsonl", *args, check=check).stdout.decode().splitlines()]


def without_file(row):
    return {k: v for k, v in row.items() if k != "file"}


@pytest.fixture(scope="session")
def texts():
    """Texts of every kind: the sample thread, pieces of it, names packed
    close, characters with no code page 932 form, nothing at all."""
    sample = SAMPLE.read_text(encoding="utf-8")
    rng = random.Random(30)
    names = ["月岡瑠衣", "るい", "瑠衣", "ナオピー", "高篠七緒", "七緒", "柚子", "明るい", "😀", "𠮷", "\n", "、"]
    pieces = []
    for _ in range(12):
        start = rng.randrange(len(sample))
        pieces.append(sample[start:start + rng.randrange(1, 400)]
                      + "".join(rng.choice(names) for _ in range(rng.randrange(0, 30))))
    return [sample, "", "るいるいるい😀月岡瑠衣", *pieces]


@pytest.fixture(scope="session")
def keyword_file(tmp_path_factory):
    """The built-in table with member 0's first keyword made るい, which takes
    it from the member it belongs to."""
    lines = run_counter("--dump-keywords").stdout.split(b"\r\n")
    lines[1] = "るい".encode("cp932")
    path = tmp_path_factory.mktemp("keywords") / "edited.ini"
    path.write_bytes(b"\r\n".join(lines))
    return path
