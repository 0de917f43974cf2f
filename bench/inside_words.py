#!/usr/bin/env python3
"""How well quenbol-count marks occurrences that sit inside ordinary words.

Two figures, from `quenbol-count --matches` (its "inside" field):
  prose: the share of occurrences marked in ordinary Japanese prose that
         names no member (the Japanese manual pages' lines, manpages-ja);
         every occurrence there is a false mention, so higher is better.
  fan:   the share of real mentions marked in fan-like text generated here:
         the built-in keywords in ordinary sentences, followed by particles,
         〜ちゃん, 〜さん, full names; lower is better.

Usage: bench/inside_words.py [path/to/quenbol-count] [--seed N] [--keep DIR]
"""
import argparse
import collections
import glob
import json
import os
import random
import subprocess
import sys
import tempfile

import encoding_guess


def prose():
    """The manual pages' Japanese lines, as one text (the prose the encoding guess is measured on)."""
    if not glob.glob("/usr/share/man/ja/man*/*.gz"):
        sys.exit("inside_words: no Japanese manual pages (apt-get install manpages-ja)")
    return encoding_guess.prose()


def keywords(counter):
    """The built-in table's keywords, member by member (UTF-8)."""
    dump = subprocess.run([counter, "--dump-keywords"], capture_output=True, check=True).stdout
    lines = dump.decode("cp932").replace("\r\n", "\n").split("\n")[1:]
    return [[w for w in lines[m * 7:(m + 1) * 7] if w] for m in range(21)]


BEFORE = ["", "今日は", "やっぱり", "昨日の配信で", "最近", "ねえ、", "「", "正直", "新曲の", "そして",
          "あの時の", "ライブで", "写真の", "みんな大好き", "隣にいた", "久しぶりに見た", "ところで"]
AFTER = ["は", "が", "を", "に", "の", "と", "も", "へ", "から", "より", "って", "ちゃん", "さん", "くん",
         "様", "だけ", "推し", "、", "！", "」", "の歌", "が好き", "まじ天使", "でした", "かわいい",
         "に会いたい", "のこと", "もいる", "とは", "ちゃんと"]
TAIL = ["今日も可愛かった。", "明るい声で歌っていた。", "あるいは別の曲だったかも。", "ダンスがすごく上手い。",
        "また来週の配信を楽しみにしています。", "ファンサービスが最高だった。", "話すと面白い人だと思う。",
        "写真集を買いました。", "この前のインタビューを読んだ。", "ほんとに優しいよね。"]


def fan_text(table, rng, sentences):
    """Generated fan-like text (UTF-8) and the byte ranges of its real mentions."""
    out, mentions, at = [], [], 0
    for _ in range(sentences):
        member = rng.randrange(21)
        name = rng.choice(table[member])
        before, after = rng.choice(BEFORE), rng.choice(AFTER)
        head = before.encode()
        start = at + len(head)
        mentions.append((start, start + len(name.encode())))
        sentence = before + name + after + rng.choice(TAIL) + "\n"
        out.append(sentence)
        at += len(sentence.encode())
    return "".join(out), mentions


def matches(counter, path):
    run = subprocess.run([counter, "--matches", "--context", "0", path], capture_output=True, check=True)
    return [json.loads(line) for line in run.stdout.decode().splitlines()]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("counter", nargs="?", default="build/native/cli/quenbol-count")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--keep", help="write the two texts into this folder")
    args = parser.parse_args()
    rng = random.Random(args.seed)
    directory = args.keep or tempfile.mkdtemp(prefix="inside_words.")
    os.makedirs(directory, exist_ok=True)

    prose_path = os.path.join(directory, "prose.txt")
    with open(prose_path, "w", encoding="utf-8") as f:
        f.write(prose())
    found = matches(args.counter, prose_path)
    marked = [m for m in found if "inside" in m]
    print(f"prose: {len(marked)} of {len(found)} occurrences marked "
          f"({100.0 * len(marked) / max(1, len(found)):.1f}%, goal >= 95%) in "
          f"{os.path.getsize(prose_path) / 1e6:.1f} MB")
    unmarked = collections.Counter(m["word"] + " / " + m["before"] + "[" + m["word"] + "]" + m["after"]
                                   for m in matches_with_context(args.counter, prose_path) if "inside" not in m)
    for context, n in unmarked.most_common(8):
        print(f"  unmarked: {context} ×{n}")

    table = keywords(args.counter)
    text, mentions = fan_text(table, rng, 20000)
    fan_path = os.path.join(directory, "fan.txt")
    with open(fan_path, "w", encoding="utf-8") as f:
        f.write(text)
    starts = {s: e for s, e in mentions}
    found = matches_with_context(args.counter, fan_path)
    real = [m for m in found if len(m["spans"]) == 1 and m["spans"][0][0] in starts]
    marked = [m for m in real if "inside" in m]
    print(f"fan: {len(marked)} of {len(real)} real mentions marked "
          f"({100.0 * len(marked) / max(1, len(real)):.2f}%, goal <= 2%) in "
          f"{os.path.getsize(fan_path) / 1e6:.1f} MB ({len(mentions)} names written)")
    wrong = collections.Counter(m["before"] + "[" + m["word"] + "]" + m["after"] + " in " + m["inside"]
                                for m in marked)
    for context, n in wrong.most_common(8):
        print(f"  marked: {context} ×{n}")
    if not args.keep:
        for name in ("prose.txt", "fan.txt"):
            os.remove(os.path.join(directory, name))
        os.rmdir(directory)


def matches_with_context(counter, path):
    run = subprocess.run([counter, "--matches", "--context", "4", path], capture_output=True, check=True)
    return [json.loads(line) for line in run.stdout.decode().splitlines()]


if __name__ == "__main__":
    main()
