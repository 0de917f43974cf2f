#!/usr/bin/env python3
"""Writes the ordinary-word table that the word check searches in place.

Reads the IPA dictionary's CSV files (EUC-JP, as Debian's mecab-ipadic ships
them) and keeps every entry that is ordinary vocabulary: proper nouns (person
names, places, organisations and the rest) are left out, since a member's name
is a name and not a word. A surface written more than once keeps its lowest
cost. Surfaces are stored in code page 932, sorted bytewise.

Layout, little-endian:
  "QWD2", uint32 count,
  uint32 first[65537]: first[k] is the first word whose first two bytes
    (a one-byte word's byte followed by 0) are k or more, so that a search
    starts from the words of its first two bytes,
  uint32 offsets[count + 1] into the surfaces,
  int16 costs[count],
  the surfaces, one after another.

Usage: gen_word_table.py DICTIONARY_DIR OUTPUT
"""
import glob
import os
import struct
import sys

PROPER_FILES = {"Noun.name.csv", "Noun.place.csv", "Noun.org.csv", "Noun.proper.csv"}


def ordinary_entries(directory):
    files = sorted(glob.glob(os.path.join(directory, "*.csv")))
    if not files:
        sys.exit(f"gen_word_table: no dictionary CSV files in {directory} "
                 "(install Debian's mecab-ipadic: apt-get install mecab-ipadic)")
    for path in files:
        if os.path.basename(path) in PROPER_FILES:
            continue
        with open(path, encoding="euc_jp") as f:
            for line in f:
                fields = line.rstrip("\n").split(",")
                # 固有名詞 (proper noun) also appears outside the proper-noun files.
                if len(fields) < 6 or fields[5] == "固有名詞":
                    continue
                yield fields[0], int(fields[3])


def main():
    directory, output = sys.argv[1], sys.argv[2]
    best = {}
    for surface, cost in ordinary_entries(directory):
        try:
            key = surface.encode("cp932")
        except UnicodeEncodeError:
            continue  # a word code page 932 cannot write never meets the counted text
        if key and (key not in best or cost < best[key]):
            best[key] = cost
    words = sorted(best)
    offsets, at = [], 0
    for w in words:
        offsets.append(at)
        at += len(w)
    offsets.append(at)
    first, i = [], 0
    for k in range(65537):
        while i < len(words) and (words[i][0] << 8 | (words[i][1] if len(words[i]) > 1 else 0)) < k:
            i += 1
        first.append(i)
    with open(output + ".tmp", "wb") as out:
        out.write(b"QWD2" + struct.pack("<I", len(words)))
        out.write(struct.pack("<65537I", *first))
        out.write(struct.pack(f"<{len(offsets)}I", *offsets))
        out.write(struct.pack(f"<{len(words)}h", *(max(-32768, min(32767, best[w])) for w in words)))
        out.write(b"".join(words))
    os.replace(output + ".tmp", output)


if __name__ == "__main__":
    main()
