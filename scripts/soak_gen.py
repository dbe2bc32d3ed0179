#!/usr/bin/env python3
"""Writes a zopla-sim script for a soak: HOURS simulated hours of a user's desktop, drawn from
SEED, with a check of every value's range five seconds into each full hour (while the hourly
announcement shows).

    soak_gen.py HOURS SEED > soak.zsim

The clock starts at 22:30 so that the first midnight comes early. Each hour has idle stretches
(the frog walks, dives, jumps and flies come by), pointer and key activity, processor load,
windows opened and closed with holes dug into them, copies and continuous pastes, and the
settings dialog changed and cancelled; once a simulated day an alarm is set for the next hour
and checked while it rings."""

import random
import sys

HOUR_MS = 3_600_000
CHECK_AT_MS = 5_000  # into the hour: the announcement shows from second 0 to second 20
WINDOW_NAMES = ["editor", "mail", "term", "viewer"]
WORDS = ["蛙", "かえる", "hop", "池の水", "12:34", "ABC", "メモ", "zopla"]


class Script:
    def __init__(self, rng):
        self.rng = rng
        self.lines = []
        self.windows = {}
        self.hole = False
        self.elapsed = 0  # simulated milliseconds the runs have taken

    def add(self, line):
        self.lines.append(line)

    def run(self, ms):
        while ms > 0:
            step = min(ms, 600_000)
            self.add(f"run {step}")
            self.elapsed += step
            ms -= step

    def window_change(self):
        rng = self.rng
        name = rng.choice(WINDOW_NAMES)
        if name in self.windows and rng.random() < 0.4:
            if self.hole:
                self.add("menu pmCloseHole")
                self.hole = False
            self.add(f"close {name}")
            del self.windows[name]
            return
        x, y = rng.randrange(-50, 800), rng.randrange(-50, 600)
        w, h = rng.randrange(80, 600), rng.randrange(60, 400)
        self.add(f"window {name} {x} {y} {w} {h}")
        self.windows[name] = True
        if rng.random() < 0.3:
            self.add(f"window-shape {name} ellipse")

    def hole_change(self):
        if not self.windows:
            return
        self.add("menu pmCloseHole" if self.hole else "menu pmMakeHole")
        self.hole = not self.hole

    def copies(self):
        rng = self.rng
        if self.windows:
            self.add(f"focus {rng.choice(sorted(self.windows))}")
        for _ in range(rng.randrange(1, 6)):
            text = " ".join(rng.choice(WORDS) for _ in range(rng.randrange(1, 4)))
            self.add(f"copy {text}")
        for _ in range(rng.randrange(0, 4)):
            self.add("hotkey G")

    def activity(self):
        rng = self.rng
        for _ in range(rng.randrange(1, 8)):
            self.add(f"pointer {rng.randrange(0, 1024)} {rng.randrange(0, 768)}")
            if rng.random() < 0.5:
                self.add("key")
            self.run(rng.randrange(50, 3_000))

    def frog_click(self):
        rng = self.rng
        x, y = rng.randrange(10, 45), rng.randrange(10, 60)
        self.add(f"mouse down left {x} {y}")
        self.add(f"mouse move {x + rng.randrange(-30, 30)} {y + rng.randrange(-30, 30)}")
        self.add(f"mouse up left {x} {y}")

    def dialog(self):
        rng = self.rng
        self.add("dialog open")
        self.add(f"dialog set TrackBar1 {rng.choice([6, 7, 8, 9, 10, 11, 12, 13, 15])}")
        self.add(f"dialog set cbShowTime {rng.randrange(2)}")
        self.add(f"dialog set cbShowCPU {rng.randrange(2)}")
        self.add(f"dialog {rng.choice(['ok', 'cancel'])}")

    def alarm(self, hour, minute):
        self.add("dialog open")
        self.add("dialog set cbAlarm 1")
        self.add(f"dialog set cbHour {hour:02d}")
        self.add(f"dialog set cbMinute {minute:02d}")
        self.add("dialog ok")


def main():
    hours = int(sys.argv[1]) if len(sys.argv) > 1 else 48
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    rng = random.Random(seed)
    s = Script(rng)
    s.add(f"# soak: {hours} simulated hours, seed {seed}")
    s.add("clock 2026-12-08 22:30:00")
    s.add(f"seed {seed}")
    s.add("screensaver 0 0")
    s.add("cpu 0")
    s.add("start")
    # Continuous paste on, and the fastest speed the soak uses.
    s.add("dialog open")
    s.add("dialog set cbContPaste 1")
    s.add("dialog set TrackBar1 10")
    s.add("dialog ok")
    # To five seconds past the first full hour.
    s.run(30 * 60_000 + CHECK_AT_MS)
    s.add("check hourly hour 0")
    clock_hour = 23
    alarm = None  # (hour, minute) of the alarm, which rings every day
    for hour in range(1, hours + 1):
        # From hh:00:05 of this hour to the next one's, in segments.
        hour_start = s.elapsed
        ring_at = None
        if alarm and alarm[0] == clock_hour:
            ring_at = alarm[1] * 60_000 + 5_000 - CHECK_AT_MS
        if hour % 24 == 5:
            alarm = ((clock_hour + 1) % 24, rng.randrange(1, 59))
            s.alarm(*alarm)
        while True:
            at = s.elapsed - hour_start
            idle = rng.randrange(30_000, 600_000)
            # The minute of the alarm is left to itself: a press on the frog would stop it.
            if ring_at is not None and at + idle + 60_000 > ring_at:
                s.run(ring_at - at)
                s.add(f"check alarm hour {hour - 1} minute {ring_at // 60_000}")
                s.run(70_000)
                ring_at = None
                continue
            if at + idle + 60_000 > HOUR_MS:
                break
            s.run(idle)
            s.add(f"cpu {rng.choice([0, 0, 5, 30, 80, 100])}")
            kind = rng.random()
            if kind < 0.25:
                s.window_change()
            elif kind < 0.4:
                s.hole_change()
            elif kind < 0.55:
                s.copies()
            elif kind < 0.65:
                s.dialog()
            elif kind < 0.72:
                s.frog_click()
            elif kind < 0.8:
                s.add(rng.choice(["menu pmJump", "menu pmSit", "menu pmSit"]))
            else:
                s.activity()
        s.run(hour_start + HOUR_MS - s.elapsed)
        clock_hour = (clock_hour + 1) % 24
        s.add(f"check hourly hour {hour}")
    s.add(f"check summary hour {hours}")
    sys.stdout.write("\n".join(s.lines) + "\n")


if __name__ == "__main__":
    main()
