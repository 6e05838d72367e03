#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader meets in the running game, read over the accessibility bus: walks the
# program's accessibility tree at the bid and in the middle of a trick and counts the visible
# objects that carry a name, then plays with key presses and collects the announcements of
# one whole trick. Run by accessibility.sh inside a private session bus.
#
# Usage: atspi_check.py <language EN|AR> <main window id>
# Exit 0 when every visible object is named and a whole trick was announced, 1 otherwise.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

lang, main_window = sys.argv[1], sys.argv[2]
arabic = lang == "AR"
TAKES = "أخذ الرمية" if arabic else "takes the trick"
PLAYS = " لعب " if arabic else " plays "
YOUR_TURN = "دورك في اللعب" if arabic else "Your turn"
PLAY_PANEL = "اللعب عند: " if arabic else "To play: "
PLAYED_ON_TABLE = "على الطاولة في هذه الرمية" if arabic else "on the table in this trick"

announcements = []


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def key(*keys):
    subprocess.run(["xdotool", "windowfocus", main_window], check=False, timeout=5)
    subprocess.run(["xdotool", "key", "--delay", "40", *keys], check=True, timeout=5)


def find_app():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name and app.name.lower().startswith("halbeet"):
                return app
        pump(0.2)
    sys.exit("FAIL: the program is not on the accessibility bus")


def showing(obj):
    states = obj.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def walk(obj, found, depth=0):
    if obj is None or depth > 30:
        return
    try:
        if not showing(obj):
            return
        found.append(obj)
        for i in range(obj.childCount):
            walk(obj.getChildAtIndex(i), found, depth + 1)
    except Exception as error:  # an object gone while it was read
        print(f"      (skipped an object: {error})")


def main_frame(app):
    for i in range(app.childCount):
        frame = app.getChildAtIndex(i)
        if frame is not None and showing(frame) and frame.getRole() == pyatspi.ROLE_FRAME:
            return frame
    sys.exit("FAIL: no main window in the accessibility tree")


def census(app, moment):
    found = []
    walk(main_frame(app), found)
    unnamed = [o for o in found if not (o.name or "").strip()]
    named = len(found) - len(unnamed)
    print(f"{lang} {moment}: {named} named / {len(found)} visible objects")
    roles = {}
    for o in found:
        roles[o.getRoleName()] = roles.get(o.getRoleName(), 0) + 1
    print("      by role: " + ", ".join(f"{n} {r}" for r, n in sorted(roles.items())))
    for o in unnamed:
        print(f"      no name: {o.getRoleName()} (parent {o.parent.getRoleName() if o.parent else '-'} "
              f"\"{o.parent.name if o.parent else ''}\")")
    return found, unnamed


ANNOUNCER = "ما يجري في اللعبة" if arabic else "What happens in the game"
events_seen = []


def on_name(event):
    try:
        source = event.source
        if source is None or source.description != ANNOUNCER:
            return
        events_seen.append(repr(event.any_data))
        # The new name travels with the event; read back from the object when it does not.
        text = event.any_data if isinstance(event.any_data, str) else source.name
        if text and (not announcements or announcements[-1] != text):
            announcements.append(text)
    except Exception as error:
        print(f"      (an event could not be read: {error})")


app = find_app()
pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
pump(0.5)

problems = []
found, unnamed = census(app, "at the bid")
if unnamed:
    problems.append(f"{len(unnamed)} unnamed at the bid")
cards_at_bid = [o for o in found if o.description in (("في يدك",) if arabic else ("in your hand",))]
print(f"      the human's cards named: {', '.join(o.name for o in cards_at_bid)}")

# The bid: four times Down ("5"), Tab to the button, Space.
key("Down", "Down", "Down", "Down", "Tab", "space")
pump(2)

# Play until one whole trick has been announced, then on to a turn with cards on the table.
trick = None
walked = False
deadline = time.time() + 120
start = len(announcements)
while time.time() < deadline and (trick is None or not walked):
    pump(0.3)
    said = announcements[start:]
    if trick is None:
        for i, text in enumerate(said):
            if TAKES in text:
                plays = [t for t in said[:i] if PLAYS in t]
                if len(plays) >= 4:
                    trick = plays[-4:] + [text]
                    break
    if announcements and announcements[-1].endswith(YOUR_TURN):
        if trick is not None and not walked:
            table = [o for o in (lambda f: (walk(main_frame(app), f), f)[1])([]) if o.description == PLAYED_ON_TABLE]
            if table:
                found, unnamed = census(app, f"in the middle of a trick ({len(table)} cards on the table)")
                if unnamed:
                    problems.append(f"{len(unnamed)} unnamed in the middle of a trick")
                # The status bar's panels are read as they are now, not as they were at the bid.
                panel = [o.name for o in found if o.name.startswith(PLAY_PANEL)]
                print(f"      the play panel reads: {panel}")
                if panel != [PLAY_PANEL + "Reader"]:
                    problems.append(f"the play panel reads {panel} on the human's turn")
                walked = True
                continue
        key("Return")
        pump(0.4)
        key("Right")

if trick is None:
    problems.append("no whole trick was announced")
else:
    print(f"{lang} announcements of one trick:")
    for text in trick:
        print(f"      {text}")
if not walked:
    problems.append("no turn with cards on the table was reached")
print(f"{lang}: {len(announcements)} announcements received in all; the first event carried {events_seen[0] if events_seen else 'nothing'}")
if problems:
    print("FAIL: " + "; ".join(problems))
    sys.exit(1)
print(f"{lang}: PASS")
