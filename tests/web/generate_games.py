#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes input files of whole games for comparing two builds of the rules:
# driving with every key, crashes and new games, pauses, the sound switches,
# help and About, the hidden commands, ends of the road music, and in some
# games Exit. All of it is drawn from one fixed seed, so the files are the
# same on every run for the same rules.
#
# Random keys crash long before the score brings out the road hog, so some
# games are driven by a survivor: it plays 20 slots at a time, asks the
# program whether the car is still whole, and tries other keys for those
# slots when it is not.
#
#   generate_games.py PROGRAM DIR COUNT SLOTS
import copy
import random
import subprocess
import sys

MENUS = ["mnuPause", "mnuMusic", "mnuEffects", "mnuHowToPlay", "mnuAbout",
         "mnuHighScores", "cmdNewGame", "mnuNew"]
SEED = "1234"


class Driver:
    def __init__(self, rng, reckless):
        self.rng = rng
        self.steer = 0.08 if reckless else 0.02
        self.held = set()
        self.paused_at = None
        self.lines = []

    def press(self, slot, key):
        self.lines.append(f"{slot} down {key}")
        if key in ("Up", "Down", "Left", "Right"):
            self.held.add(key)

    def release(self, slot, key):
        self.lines.append(f"{slot} up {key}")
        self.held.discard(key)

    def resume(self, slot):
        if self.rng.random() < 0.5:
            self.press(slot, "Esc")
        else:
            self.lines.append(f"{slot} menu mnuPause")
        self.paused_at = None

    def play(self, slot, calm):
        rng = self.rng
        if self.paused_at is not None:
            if slot - self.paused_at > rng.randint(3, 40):
                self.resume(slot)
            return
        roll = rng.random()
        steer = self.steer
        if roll < steer:
            self.press(slot, rng.choice(["Left", "Right"]))
        elif roll < 2 * steer:
            for key in ("Left", "Right"):
                if key in self.held:
                    self.release(slot, key)
        elif roll < 2 * steer + 0.03:
            self.press(slot, "Space")
        elif roll < 2 * steer + 0.035:
            self.press(slot, rng.choice(["1", "2"]))
        elif calm:
            return
        elif roll < 2 * steer + 0.04:
            self.press(slot, "Enter")
            self.press(slot, "Up")
        elif roll < 2 * steer + 0.043:
            key = rng.choice(["Up", "Down"])
            if key in self.held:
                self.release(slot, key)
            else:
                self.press(slot, key)
        elif roll < 2 * steer + 0.045:
            self.press(slot, "Esc")
            self.paused_at = slot
        elif roll < 2 * steer + 0.047:
            menu = rng.choice(MENUS)
            self.lines.append(f"{slot} menu {menu}")
            if menu in ("mnuPause", "mnuHowToPlay", "mnuAbout"):
                self.paused_at = slot
        elif roll < 2 * steer + 0.049:
            self.lines.append(f"{slot} music-ended")
        elif roll < 2 * steer + 0.0495:
            self.press(slot, f"code:{rng.randint(0, 255)}")


def still_whole(program, folder, lines, slots):
    path = f"{folder}/probe.txt"
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")
    summary = subprocess.run(
        [program, "--headless", "--seed", SEED, "--slots", str(slots), "--input", path,
         "--data-dir", folder], capture_output=True, text=True, check=True).stdout
    return "gameover=false" in summary


def survivor(program, folder, driver, first, last):
    # Chunks kept so far; a chunk whose every try crashes sends the driver
    # one chunk back, to come at the danger another way.
    kept = [copy.deepcopy(driver)]
    tries = 0
    while first + 20 * (len(kept) - 1) < last and tries < 600:
        start = first + 20 * (len(kept) - 1)
        trial = copy.deepcopy(kept[-1])
        trial.rng = driver.rng
        for slot in range(start, start + 20):
            trial.play(slot, calm=True)
        tries += 1
        if still_whole(program, folder, trial.lines, start + 20):
            kept.append(trial)
        elif tries % 6 == 0 and len(kept) > 1:
            kept.pop()
    driver.__dict__.update(kept[-1].__dict__)
    driver.rng = kept[0].rng


def game(program, folder, rng, slots, style):
    driver = Driver(rng, reckless=style == "reckless")
    driver.press(1, "Up")
    if style == "survivor":
        survivor(program, folder, driver, 2, 1200)
    for slot in range(1200 if style == "survivor" else 2, slots):
        driver.play(slot, calm=False)
    return driver.lines


def main():
    program, folder, count, slots = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    rng = random.Random(21)
    # Survivors cost many probing runs: two of them bring out the hog.
    styles = ["careful", "reckless"]
    for number in range(count):
        style = "survivor" if number % 10 == 0 else styles[number % 2]
        lines = game(program, folder, rng, slots, style)
        if number % 3 == 2:
            lines.append(f"{slots - rng.randint(1, 500)} menu mnuExit")
            lines.sort(key=lambda line: int(line.split()[0]))
        with open(f"{folder}/game{number:02d}.txt", "w") as out:
            out.write(f"# generated game {number}, {style}\n")
            out.write("\n".join(lines) + "\n")


main()
