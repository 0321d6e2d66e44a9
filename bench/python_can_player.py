"""python-can's own player (python3 -m can.player, Debian's python3-can) on
the log named on the command line, played on its virtual bus, with the
time each frame was handed to the bus noted. Prints one line in the form
replay_timing prints ours:

python_can frames=N lateness_us p50=X p99=X max=X drift_ms=X cpu_share=X%

Each frame's deadline is where the player's MessageSync puts it: its own
start plus the frame's recorded offset from the first frame.
"""
import sys
import time

import can.interfaces.virtual
import can.io.player
import can.player


class NotingClock:
    """The player's time module, noting its first reading: the start its
    deadlines count from."""

    def __init__(self):
        self.start = None

    def perf_counter(self):
        now = time.perf_counter()
        if self.start is None:
            self.start = now
        return now

    @staticmethod
    def sleep(seconds):
        time.sleep(seconds)


def percentile(values, share):
    index = max(0, min(len(values) - 1, int(-(-share * len(values) // 1)) - 1))
    return values[index]


def main(path):
    clock = NotingClock()
    can.io.player.time = clock
    sent = []
    original_send = can.interfaces.virtual.VirtualBus.send

    def noting_send(bus, msg, timeout=None):
        sent.append((time.perf_counter(), msg.timestamp))
        original_send(bus, msg, timeout)

    can.interfaces.virtual.VirtualBus.send = noting_send
    sys.argv = ["can.player", "-i", "virtual", "-c", "replay_timing", path]
    wall, cpu = time.perf_counter(), time.process_time()
    can.player.main()
    wall, cpu = time.perf_counter() - wall, time.process_time() - cpu
    if not sent:
        print("python_can frames=0")
        return 1
    first_recorded = sent[0][1]
    lateness = sorted((t - clock.start - (ts - first_recorded)) * 1e6 for t, ts in sent)
    last_t, last_ts = sent[-1]
    drift_ms = (last_t - clock.start - (last_ts - first_recorded)) * 1e3
    print(f"python_can frames={len(sent)} lateness_us p50={percentile(lateness, 0.5):.1f} "
          f"p99={percentile(lateness, 0.99):.1f} max={lateness[-1]:.1f} "
          f"drift_ms={drift_ms:.3f} cpu_share={100 * cpu / wall:.1f}%", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
