"""Writes a few frames with python-can's own log writers and prints what a
reader must find in the file: one line per classic frame,
<channel> <microseconds after the first> <identifier> <S|X> <D|R> <length>
<data or ->, then "skipped <fd> <error>".

    python_can_logs.py candump|asc <file>
"""
import sys

import can

T0 = 1000.0

FRAMES = [
    can.Message(timestamp=T0, arbitration_id=0x7DF, is_extended_id=False,
                data=[2, 1, 0], channel=0),
    can.Message(timestamp=T0 + 0.001234, arbitration_id=0x18DAF110,
                data=range(0xA1, 0xA9), channel=1, is_rx=False),
    can.Message(timestamp=T0 + 0.0025, arbitration_id=0x123, is_extended_id=False,
                is_remote_frame=True, dlc=4, channel=0),
    can.Message(timestamp=T0 + 0.003, arbitration_id=0x1, is_extended_id=False,
                is_fd=True, data=range(12), channel=0),
    can.Message(timestamp=T0 + 0.004, is_error_frame=True, channel=0),
    can.Message(timestamp=T0 + 0.5, arbitration_id=0, is_extended_id=False, channel=0),
    can.Message(timestamp=T0 + 61.25, arbitration_id=0x1FFFFFFF, data=[0xFF], channel=1),
]

WRITERS = {"candump": can.CanutilsLogWriter, "asc": can.ASCWriter}


def channel_name(kind, channel):
    # The candump writer names numbered channels canN, the ASC writer
    # counts them from 1.
    return f"can{channel}" if kind == "candump" else str(channel + 1)


def expected(kind, msg):
    # The candump writer keeps no remote frame's length.
    length = 0 if msg.is_remote_frame and kind == "candump" else msg.dlc
    return " ".join([
        channel_name(kind, msg.channel),
        str(round((msg.timestamp - T0) * 1e6)),
        f"{msg.arbitration_id:X}",
        "X" if msg.is_extended_id else "S",
        "R" if msg.is_remote_frame else "D",
        str(length),
        msg.data.hex().upper() or "-",
    ])


def main(kind, path):
    writer = WRITERS[kind](path)
    for msg in FRAMES:
        writer.on_message_received(msg)
    writer.stop()
    for msg in FRAMES:
        if not (msg.is_fd or msg.is_error_frame):
            print(expected(kind, msg))
    print("skipped", sum(m.is_fd for m in FRAMES), sum(m.is_error_frame for m in FRAMES))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
