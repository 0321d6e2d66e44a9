"""python-can's Kvaser interface (Debian's python3-can) on the simulated
libcanlib.so.1: two buses on channel 0 exchange frames as two nodes would,
an empty read times out, and the frames are in the frame log.

Run with LD_LIBRARY_PATH holding the build's drivers/ folder, where the
libcanlib.so link points python-can at the simulator."""
import logging
import os
import sys
import tempfile
import unittest

FOLDER = tempfile.TemporaryDirectory()
LOG = os.path.join(FOLDER.name, "frames.log")
# The library reads its environment at its first call, after this.
os.environ["CANSIM_LOG"] = LOG
os.environ["CANSIM_CONFIG"] = ""


# What python-can warns of while it binds the library's functions.
WARNINGS = []
HANDLER = logging.Handler(logging.WARNING)
HANDLER.emit = lambda record: WARNINGS.append(record.getMessage())
logging.getLogger("can").addHandler(HANDLER)

import can  # noqa: E402  (after the environment it passes on)
from can.interfaces.kvaser import canlib  # noqa: E402  (binds every function here)

ELEVEN = can.Message(arbitration_id=0x123, data=[0x11, 0x22, 0x33], is_extended_id=False)
TWENTY_NINE = can.Message(arbitration_id=0x18DAF110, data=range(0xA1, 0xA9), is_extended_id=True)


def same_frame(a, b):
    return (a.arbitration_id, a.is_extended_id, a.is_remote_frame, a.dlc, bytes(a.data)) == (
        b.arbitration_id, b.is_extended_id, b.is_remote_frame, b.dlc, bytes(b.data))


class KvaserOnTheSimulator(unittest.TestCase):
    def test_every_function_python_can_binds_is_there(self):
        self.assertEqual([t for t in WARNINGS if "not found" in t], [])

    def test_two_buses_on_channel_0_exchange_frames_and_log_them(self):
        with can.Bus(interface="kvaser", channel=0, bitrate=500000) as sender, \
                can.Bus(interface="kvaser", channel=0, bitrate=500000) as receiver:
            self.assertIn("Kvaser Leaf Light v2", sender.channel_info)
            sender.send(ELEVEN)
            sender.send(TWENTY_NINE, timeout=0.5)  # waits for the queue to empty
            received = [receiver.recv(1.0), receiver.recv(1.0)]
            nothing = receiver.recv(0.1)
        for sent, got in zip([ELEVEN, TWENTY_NINE], received):
            self.assertIsNotNone(got)
            self.assertTrue(same_frame(sent, got), f"{sent} != {got}")
            self.assertEqual(got.channel, 0)
        self.assertIsNone(nothing)
        logged = list(can.LogReader(LOG))
        self.assertEqual(len(logged), 2)
        for sent, got in zip([ELEVEN, TWENTY_NINE], logged):
            self.assertTrue(same_frame(sent, got), f"{sent} != {got}")
            self.assertEqual(got.channel, "kvaser0")

    def test_channel_0_is_offered(self):
        configs = can.detect_available_configs("kvaser")
        self.assertEqual([(c["interface"], c["channel"]) for c in configs], [("kvaser", 0)])

    def test_failures_carry_the_librarys_text(self):
        with self.assertRaises(canlib.CANLIBError) as failure:
            can.Bus(interface="kvaser", channel=7, bitrate=500000)
        self.assertIn("Specified device not found", str(failure.exception))


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
