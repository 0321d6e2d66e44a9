"""python-can's slcan interface (Debian's python3-can with pyserial) on the
serial-line simulator: a third party's client of the same command set opens
the simulated adapter, reads its version and serial number, sends data and
remote frames of both formats, and finds them in the frame log.

Run with the simulator's path as the argument."""
import os
import subprocess
import sys
import tempfile
import unittest

import can

SIMULATOR = sys.argv.pop(1)
FRAMES = [
    can.Message(arbitration_id=0x7DF, data=[0x02, 0x01, 0x00], is_extended_id=False),
    can.Message(arbitration_id=0x18DAF110, data=range(0xA1, 0xA9), is_extended_id=True),
    can.Message(arbitration_id=0x123, is_remote_frame=True, dlc=4, is_extended_id=False),
    can.Message(arbitration_id=0x1ABCDE, is_remote_frame=True, dlc=0, is_extended_id=True),
]


def same_frame(a, b):
    return (a.arbitration_id, a.is_extended_id, a.is_remote_frame, a.dlc, bytes(a.data)) == (
        b.arbitration_id, b.is_extended_id, b.is_remote_frame, b.dlc, bytes(b.data))


class SlcanOnTheSimulator(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        config = os.path.join(self.folder.name, "sim.conf")
        with open(config, "w") as out:
            out.write('slcan serial=A1B2 version=1013\n')
        self.log = os.path.join(self.folder.name, "frames.log")
        env = dict(os.environ, CANSIM_CONFIG=config, CANSIM_LOG=self.log)
        self.sim = subprocess.Popen([SIMULATOR], stdout=subprocess.PIPE, env=env, text=True)
        self.port = self.sim.stdout.readline().strip()

    def tearDown(self):
        self.stop()
        self.sim.stdout.close()
        self.folder.cleanup()

    def stop(self):
        """Ends the simulator, which writes out the rest of its log."""
        self.sim.terminate()
        self.sim.wait()

    def test_a_bus_on_the_adapter_sends_every_kind_of_frame(self):
        with can.Bus(interface="slcan", channel=self.port, bitrate=500000,
                     sleep_after_open=0) as bus:
            self.assertEqual(bus.get_version(1.0), (10, 13))
            self.assertEqual(bus.get_serial_number(1.0), "A1B2")
            for frame in FRAMES:
                bus.send(frame)
        # python-can does not wait for the answer to its close.
        self.stop()
        logged = list(can.LogReader(self.log))
        self.assertEqual(len(logged), len(FRAMES))
        for sent, got in zip(FRAMES, logged):
            self.assertTrue(same_frame(sent, got), f"{sent} != {got}")
            self.assertEqual(got.channel, "slcan0")


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
