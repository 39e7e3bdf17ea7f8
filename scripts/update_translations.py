#!/usr/bin/env python3
"""Keeps translations/quorvane_<lang>.ts in step with the program's texts.

Every text the windows show is a Chinese string literal in the sources (the
dialog templates, the pages, the dialog layer, the core's status texts); those
literals are the keys of Qt's translation files. This script collects them and
rewrites each .ts: translations already made stay, new texts are added as
unfinished, texts no longer in the sources are dropped.

  scripts/update_translations.py          rewrite the .ts files
  scripts/update_translations.py --check  only report; status 1 when a text
                                          has no finished translation or a
                                          translation has no text any more
"""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE_DIRS = ["app", "encrypt", "hash", "tools", "platform"]
CONTEXT = "Quorvane"
CJK = re.compile(r"[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef\u201c\u201d]")
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\", "'": "'"}


def strip_comments(code):
    code = re.sub(r"/\*.*?\*/", "", code, flags=re.S)
    return re.sub(r'//[^\n"]*(?:"[^"\n]*"[^\n"]*)*$', "", code, flags=re.M)


def unescape(text):
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(0)), text)


def collect_texts():
    texts = []
    for folder in SOURCE_DIRS:
        for path in sorted((ROOT / folder).rglob("*.cpp")):
            code = strip_comments(path.read_text(encoding="utf-8"))
            for match in LITERAL.finditer(code):
                text = unescape(match.group(1))
                if CJK.search(text) and text not in texts:
                    texts.append(text)
    return texts


def read_ts(path):
    known = {}
    if path.exists():
        for message in ET.parse(path).getroot().iter("message"):
            translation = message.find("translation")
            finished = translation is not None and translation.get("type") is None
            known[message.findtext("source")] = (translation.text or "", finished)
    return known


def write_ts(path, language, texts, known):
    root = ET.Element("TS", version="2.1", language=language)
    context = ET.SubElement(root, "context")
    ET.SubElement(context, "name").text = CONTEXT
    for text in texts:
        message = ET.SubElement(context, "message")
        ET.SubElement(message, "source").text = text
        translation_text, finished = known.get(text, ("", False))
        translation = ET.SubElement(message, "translation")
        translation.text = translation_text
        if not finished:
            translation.set("type", "unfinished")
    ET.indent(root)
    body = ET.tostring(root, encoding="unicode")
    path.write_text('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + body + "\n",
                    encoding="utf-8")


def main():
    check = "--check" in sys.argv[1:]
    texts = collect_texts()
    status = 0
    for ts in sorted((ROOT / "translations").glob("quorvane_*.ts")):
        language = ts.stem.split("_", 1)[1]
        known = read_ts(ts)
        missing = [t for t in texts if not known.get(t, ("", False))[1]]
        stale = [t for t in known if t not in texts]
        if check:
            for text in missing:
                print(f"{ts.name}: no translation of {text!r}")
            for text in stale:
                print(f"{ts.name}: translation of a text no longer used: {text!r}")
            status |= bool(missing or stale)
        else:
            write_ts(ts, language, texts, known)
            print(f"{ts.name}: {len(texts)} texts, {len(missing)} without translation")
    return status


if __name__ == "__main__":
    sys.exit(main())
