#!/usr/bin/env python3
"""Writes the finished translations of a Qt .ts file as a C++ table.

    ts_to_table.py <file.ts> <out.cpp>

The table defines telpod::platform::EnglishTexts() (platform/built_in_english.h),
so that programs without Qt show the same words as the windows.
"""
import sys
import xml.etree.ElementTree as ET


def literal(text):
    """A C++ string literal of the UTF-8 bytes; octal escapes never run on."""
    out = []
    for byte in text.encode("utf-8"):
        char = chr(byte)
        if char in '"\\' or byte < 0x20 or byte == 0x7F:
            out.append("\\%03o" % byte)
        else:
            out.append(char if byte < 0x80 else "\\%03o" % byte)
    return '"' + "".join(out) + '"'


def finished_messages(ts_path):
    root = ET.parse(ts_path).getroot()
    for context in root.iter("context"):
        name = context.findtext("name", "")
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") in ("unfinished", "vanished", "obsolete"):
                continue
            if translation.text:
                yield name, message.findtext("source", ""), translation.text


def main(ts_path, out_path):
    rows = sorted(finished_messages(ts_path))
    body = "return kTexts;" if rows else "return {};"
    lines = [
        "// Generated from %s by ts_to_table.py: do not edit." % ts_path.rsplit("/", 1)[-1],
        '#include "platform/built_in_english.h"',
        "",
        "namespace telpod::platform {",
        "namespace {",
        "[[maybe_unused]] constexpr TranslatedText kTexts[] = {",
    ]
    lines += ["    {%s, %s, %s}," % tuple(literal(v) for v in row) for row in rows]
    lines += ["    {},"] if not rows else []
    lines += [
        "};",
        "}  // namespace",
        "",
        "std::span<const TranslatedText> EnglishTexts() { %s }" % body,
        "",
        "}  // namespace telpod::platform",
        "",
    ]
    with open(out_path, "w", encoding="ascii") as out:
        out.write("\n".join(lines))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
