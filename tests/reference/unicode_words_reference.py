#!/usr/bin/env python3
"""The Unicode analyzer's words checked against Python's own Unicode data.

For real texts in several languages (Debian's packages), every word that
`vexa explain --analyzer unicode --tsv` reports must be:
  - the bytes of the text it says it was made of;
  - folded as Python's unicodedata folds it: NFKC with full case folding
    (str.casefold), default-ignorable characters left out, the typographic
    apostrophes as the plain one, the marks on Latin, Greek and Cyrillic
    letters removed, at most 64 characters;
and every letter and digit of the text must stand in some word (but an
elided article before an apostrophe, l'école), no word
may hold a blank, and a word of Han or Kana is one or two characters.

    unicode_words_reference.py VEXA MODULE_DIR TEXT_FILE...
"""
import os
import subprocess
import sys
import unicodedata

STROKES = {"ł": "l", "ø": "o", "đ": "d", "ħ": "h", "ŧ": "t", "ƀ": "b", "ƶ": "z"}
APOSTROPHES = {"\u2019": "'", "\u2018": "'", "\uff07": "'"}


def accents_to_remove(base):
    return (base < 0x0530 or 0x1D00 <= base <= 0x1FFF or 0x2C60 <= base <= 0x2C7F
            or 0xA640 <= base <= 0xA7FF or 0xAB30 <= base <= 0xAB6F)


def ignorable(c):
    return unicodedata.category(c) == "Cf" or c in "\u00ad\u034f\u115f\u1160\u17b4\u17b5\u3164\uffa0"


def fold(written):
    text = unicodedata.normalize("NFKC", unicodedata.normalize("NFKC", written).casefold())
    text = "".join(APOSTROPHES.get(c, c) for c in text if not ignorable(c))
    kept, base = [], 0
    for c in unicodedata.normalize("NFD", text):
        c = STROKES.get(c, c)
        if unicodedata.category(c) in ("Mn", "Me"):
            if accents_to_remove(base):
                continue
        else:
            base = ord(c)
        kept.append(c)
    return unicodedata.normalize("NFC", "".join(kept))[:64]


def is_cjk(c):
    name = unicodedata.name(c, "")
    return name.startswith(("CJK UNIFIED", "HIRAGANA", "KATAKANA", "HANGUL SYLLABLE"))


def check(vexa, module_dir, path, failures):
    data = open(path, "rb").read()[:300000]
    data = data[: data.rfind(b"\n") + 1]
    text = data.decode("utf-8", errors="strict")
    part = os.path.join(module_dir, os.path.basename(path))
    with open(part, "wb") as out:
        out.write(data)
    run = subprocess.run([vexa, "explain", "--analyzer", "unicode", "--tsv", "--file", module_dir, part],
                         capture_output=True, check=True)
    covered = bytearray(len(data))
    words = 0
    for line in run.stdout.decode("utf-8").splitlines()[1:]:
        if line.startswith("#"):
            continue
        begin, end, written, stored = line.split("\t")
        begin, end = int(begin), int(end)
        words += 1
        if data[begin:end].decode("utf-8") != written:
            failures.append(f"{path}: bytes {begin}..{end} are not {written!r}")
            continue
        if fold(written) != stored:
            failures.append(f"{path}: {written!r} is stored as {stored!r}, Python folds it to {fold(written)!r}")
        if any(c.isspace() for c in written):
            failures.append(f"{path}: the word {written!r} holds a blank")
        if all(is_cjk(c) for c in written) and len(written) > 2:
            failures.append(f"{path}: the CJK word {written!r} is more than a bigram")
        covered[begin:end] = b"\x01" * (end - begin)
    offset = 0
    for i, c in enumerate(text):
        size = len(c.encode("utf-8"))
        if (unicodedata.category(c)[0] == "L" or unicodedata.category(c) == "Nd") and not covered[offset]:
            # An elided article (l', qu') before the word it is written onto.
            elided = any(text[i + k : i + k + 1] in ("'", "\u2019") for k in (1, 2))
            if not elided:
                failures.append(f"{path}: the letter {c!r} at byte {offset} stands in no word")
        offset += size
    return words


def main():
    vexa, module_dir, paths = sys.argv[1], sys.argv[2], sys.argv[3:]
    failures = []
    for path in paths:
        words = check(vexa, module_dir, path, failures)
        print(f"{path}: {words} words checked")
    for failure in failures[:40]:
        print("FAILED", failure)
    print(f"{len(failures)} failures, Python's Unicode {unicodedata.unidata_version}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
