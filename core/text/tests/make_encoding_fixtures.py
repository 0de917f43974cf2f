#!/usr/bin/env python3
"""Writes the decoders' test texts as a C++ include, encoded by Python's own
codecs, so the tests compare our decoders with an independent implementation.

usage: make_encoding_fixtures.py SAMPLE_UTF8_TEXT OUTPUT.inc
"""
import sys

sample = open(sys.argv[1], encoding="utf-8").read()
thread = "\n".join(sample.split("\n")[:120])

# Every JIS X 0208 character that Python's EUC-JP and code page 932 codecs
# both know, in code order.
jis = []
for a in range(0xA1, 0xFF):
    for b in range(0xA1, 0xFF):
        try:
            ch = bytes([a, b]).decode("euc_jp")
            ch.encode("cp932")
        except UnicodeError:
            continue
        jis.append(ch)
jis_text = "".join(jis)
# Each of ｡ to ﾟ in a line of ordinary text, as half-width katakana occur.
halfwidth = "".join(chr(c) + "の字、" for c in range(0xFF61, 0xFFA0)) + "でした。"


def literal(data: bytes) -> str:
    return 'std::string_view("' + "".join(f"\\x{b:02X}" for b in data) + f'", {len(data)})'


# (label, text, codec, BOM, the name the automatic choice should give)
SAVED = [
    ("cp932", "cp932", b"", "cp932"),
    ("utf-8", "utf-8", b"", "utf-8"),
    ("utf-8 with BOM", "utf-8", b"\xEF\xBB\xBF", "utf-8"),
    ("utf-16le with BOM", "utf-16-le", b"\xFF\xFE", "utf-16le"),
    ("utf-16be with BOM", "utf-16-be", b"\xFE\xFF", "utf-16be"),
    ("euc-jp", "euc_jp", b"", "euc-jp"),
    ("iso-2022-jp", "iso2022_jp", b"", "iso-2022-jp"),
]

TEXTS = [("thread", thread), ("every JIS X 0208 character", jis_text),
         ("half-width katakana", halfwidth)]

# Real-looking texts the automatic choice must tell apart (EUC-JP against
# code page 932), each saved in both.
DETECT = [
    "今日のライブ最高だった！「また来週も行く」って友達と話してた。",
    "ﾏｼﾞでｷﾀ━━━(ﾟ∀ﾟ)━━━!! ｽﾚ立て乙です。",
    "ﾜﾛﾀｗｗｗ ﾅｵﾋﾟｰかわいすぎ",
    "東京都渋谷区道玄坂二丁目　会場案内",
    "柾木みのり",
]

out = ["// Generated at build time by make_encoding_fixtures.py; do not edit.",
       "struct SavedText { const char* label; const char* detected; std::string_view bytes; std::string_view cp932; };",
       "const SavedText kSavedTexts[] = {"]
for name, text in TEXTS:
    expected = text.encode("cp932")
    for label, codec, bom, detected in SAVED:
        if name == "half-width katakana" and codec == "iso2022_jp":
            continue  # not in Python's ISO-2022-JP; tested by hand
        data = bom + text.encode(codec)
        out.append(f'    {{"{name}, {label}", "{detected}", {literal(data)}, {literal(expected)}}},')
out.append("};")
out.append("const SavedText kDetectionTexts[] = {")
for text in DETECT:
    expected = text.encode("cp932")
    out.append(f'    {{"cp932", "cp932", {literal(expected)}, {literal(expected)}}},')
    out.append(f'    {{"euc-jp", "euc-jp", {literal(text.encode("euc_jp"))}, {literal(expected)}}},')
out.append("};")
open(sys.argv[2], "w").write("\n".join(out) + "\n")
