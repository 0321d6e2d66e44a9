"""Prints the frames python-can's LogReader finds in a candump log, one line
each: <channel> <identifier> <S|X> <D|R> <length> <data or ->. A file the
reader refuses prints "error: <why>" and exits with 1."""
import sys

import can


def describe(msg):
    return " ".join([
        str(msg.channel),
        f"{msg.arbitration_id:X}",
        "X" if msg.is_extended_id else "S",
        "R" if msg.is_remote_frame else "D",
        str(msg.dlc),
        msg.data.hex().upper() or "-",
    ])


def main(path):
    try:
        lines = [describe(msg) for msg in can.LogReader(path)]
    except Exception as error:  # the reader's refusal is the finding
        print(f"error: {error!r}")
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
