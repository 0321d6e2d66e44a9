"""Recomputes the alive counter and the checksum of every frame in a candump
log, read with python-can's can.LogReader, from a TELPOD rules file: the
frames of each row given as <row>=<hex identifier> must carry the counter
values start, start + step, ... (back to start past wrap), one per frame,
and the check byte of the covered bytes with the counter already in them.

    check_row_rules.py LOG RULES ROW=ID...

Prints one line per row, "row 1 7DF: 40 frames right", or the first frame
that is wrong and why; exits with 1 when anything is wrong."""
import itertools
import json
import sys

import can


def crc8(polynomial, data):
    crc = 0xFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = ((crc << 1) ^ polynomial) & 0xFF if crc & 0x80 else (crc << 1) & 0xFF
    return crc ^ 0xFF


def check_byte(algorithm, data, data_id):
    if algorithm == "XOR":
        result = 0
        for byte in data:
            result ^= byte
        return result
    if algorithm == "SUM":
        return sum(data) & 0xFF
    prefix = [] if data_id is None else [data_id & 0xFF, data_id >> 8]
    polynomial = {"CRC-8-SAE-J1850": 0x1D, "CRC-8H2F": 0x2F}[algorithm]
    return crc8(polynomial, prefix + list(data))


def byte_index(name):
    return int(name[1:]) - 1


def counter_values(counter):
    bits = counter["bits"]
    start, step = counter.get("start", 0), counter.get("step", 1)
    wrap = counter.get("wrap", (1 << bits) - 1)
    value = start
    while True:
        yield value
        value = start if value + step > wrap else value + step


def frame_fault(msg, rule, expected_counter):
    data = bytes(msg.data)
    named = [byte_index(part["byte"]) for part in rule.values() if isinstance(part, dict)]
    if any(k >= len(data) for k in named):
        return "a rule's byte lies beyond the frame's length"
    counter = rule.get("counter")
    if counter:
        mask = (1 << counter["bits"]) - 1
        got = (data[byte_index(counter["byte"])] >> counter["first_bit"]) & mask
        if got != expected_counter:
            return f"counter {got}, expected {expected_counter}"
    checksum = rule.get("checksum")
    if checksum:
        at = byte_index(checksum["byte"])
        covered = [byte_index(n) for n in checksum.get("covers", [])] or [
            k for k in range(len(data)) if k != at]
        want = check_byte(checksum["algorithm"], [data[k] for k in covered if k < len(data)],
                          checksum.get("data_id"))
        if data[at] != want:
            return f"check byte {data[at]:02X}, expected {want:02X}"
    return None


def check_row(frames, row, rule):
    expected = counter_values(rule["counter"]) if "counter" in rule else itertools.repeat(None)
    for number, msg in enumerate(frames, 1):
        fault = frame_fault(msg, rule, next(expected))
        if fault:
            return f"frame {number} ({bytes(msg.data).hex().upper()}): {fault}"
    return f"{len(frames)} frames right" if frames else "no frames"


def main(log, rules_file, rows):
    with open(rules_file, encoding="utf-8") as f:
        rules = {entry["row"]: entry for entry in json.load(f)["rows"]}
    messages = list(can.LogReader(log))
    wrong = False
    for assignment in rows:
        row, identifier = assignment.split("=")
        frames = [m for m in messages if m.arbitration_id == int(identifier, 16)]
        verdict = check_row(frames, int(row), rules[int(row)])
        wrong |= not verdict.endswith("frames right")
        print(f"row {row} {identifier}: {verdict}")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3:]))
