"""python-can and telpod-send on one simulated Kvaser channel shared between
the two processes: python-can receives every frame telpod-send prints, in
order, and answers each; both write the one frame log, where every frame
stands once.

    python_can_telpod_send.py <telpod-send> <rows file>

Run with LD_LIBRARY_PATH holding the build's drivers/ folder, where the
libcanlib.so link points python-can at the simulator."""
import os
import subprocess
import sys
import tempfile
import time
import unittest

FOLDER = tempfile.TemporaryDirectory()
LOG = os.path.join(FOLDER.name, "frames.log")
CONFIG = os.path.join(FOLDER.name, "bench.cfg")
with open(CONFIG, "w", encoding="utf-8") as config:
    config.write('kvaser name="Kvaser Leaf Light v2 (channel 0)"\n')
    config.write(f"shared-bus folder={FOLDER.name}/bus\n")
# The library reads its environment at its first call, after this; the
# child process inherits it.
os.environ["CANSIM_CONFIG"] = CONFIG
os.environ["CANSIM_LOG"] = LOG

import can  # noqa: E402  (after the environment it passes on)

TELPOD_SEND, ROWS = sys.argv[1], sys.argv[2]
ANSWER_ID = 0x7E8


def frame_text(message):
    """A frame as telpod-send's candump lines end: "7DF#0201"."""
    digits = 8 if message.is_extended_id else 3
    return f"{message.arbitration_id:0{digits}X}#" + bytes(message.data).hex().upper()


class PythonCanAndTelpodSendOnOneChannel(unittest.TestCase):
    def test_each_sees_the_others_frames_and_the_log_holds_each_once(self):
        received, answers, printed = [], 0, None
        with can.Bus(interface="kvaser", channel=0, bitrate=500000) as bus:
            sender = subprocess.Popen(
                [TELPOD_SEND, "--device", "1", "--rows", ROWS, "--rate", "500k",
                 "--seconds", "1"],
                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            # Until every frame it printed has come, or a minute has gone.
            give_up = time.monotonic() + 60
            while time.monotonic() < give_up:
                if printed is None and sender.poll() is not None:
                    out, err = sender.communicate()
                    printed = [line.rsplit(" ", 1)[1] for line in out.splitlines()]
                if printed is not None and len(received) >= len(printed):
                    break
                message = bus.recv(0.2)
                if message is None or message.arbitration_id == ANSWER_ID:
                    continue  # nothing yet, or our own answer echoed to our reading handle
                received.append(frame_text(message))
                bus.send(can.Message(arbitration_id=ANSWER_ID, is_extended_id=False,
                                     data=[answers & 0xFF]))
                answers += 1
        self.assertIsNotNone(printed, "telpod-send did not end")
        self.assertEqual(sender.returncode, 0, err)
        self.assertGreater(len(printed), 3, err)
        self.assertEqual(received, printed)
        logged = [frame_text(m) for m in can.LogReader(LOG)]
        answered = [m for m in logged if m.startswith(f"{ANSWER_ID:03X}#")]
        self.assertEqual(len(answered), answers)
        self.assertEqual([m for m in logged if m not in answered], printed)


if __name__ == "__main__":
    sys.exit(0 if unittest.main(argv=sys.argv[:1], exit=False).result.wasSuccessful() else 1)
