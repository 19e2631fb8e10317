#!/usr/bin/env python3
"""Compares what `hueloom --check --json` reads from each real-world text with what Chromium painted.

    python3 tests/realworld/compare.py HUELOOM CACHE [--strict]

Prints a line for each text that differs and a closing count of texts and colours. With --strict the
exit status is 1 when any colour differs that differences.jsonl does not list with its reason.
"""
import json
import os
import subprocess
import sys
import tempfile

import corpus

FIELDS = ("background", "text", "link", "visited", "active")


def read(hueloom, path, scheme):
    """The five colours the program reads for one colour scheme, or the message it gave instead."""
    run = subprocess.run([hueloom, "--check", "--json", "--color-scheme=" + scheme, path], capture_output=True,
                         text=True, timeout=60)
    if run.returncode == 2 and "color-scheme" in run.stderr:
        # A program that knows one scheme only: what it reads is the light one.
        run = subprocess.run([hueloom, "--check", "--json", path], capture_output=True, text=True, timeout=60)
    try:
        entries = json.loads(run.stdout)["schemes"]
    except (ValueError, KeyError):
        return None, (run.stderr or run.stdout).strip().splitlines()[:1]
    for entry in entries:
        # A program that reads one scheme only gives no colorScheme: it holds for both.
        if entry.get("colorScheme", scheme) == scheme:
            return dict(zip(FIELDS, entry["colours"])), None
    return None, ["no %s entry" % scheme]


def main():
    hueloom, cache = sys.argv[1], sys.argv[2]
    strict = "--strict" in sys.argv[3:]
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "painted.jsonl")) as lines:
        painted = {(r["name"], r["colorScheme"]): r for r in map(json.loads, lines)}
    known = set()
    differences = os.path.join(here, "differences.jsonl")
    if os.path.exists(differences):
        with open(differences) as lines:
            known = {(r["name"], r["colorScheme"], r["field"]) for r in map(json.loads, lines)}
    texts = right_texts = colours = right_colours = unexplained = 0
    with tempfile.TemporaryDirectory() as scratch:
        for name, kind, path in corpus.texts(cache, scratch):
            for scheme in ("light", "dark"):
                browser = painted.get((name, scheme))
                if browser is None:
                    print("not recorded: %s (%s)" % (name, scheme))
                    unexplained += 1
                    continue
                ours, message = read(hueloom, path, scheme)
                wrong = [f for f in FIELDS if ours is None or ours[f].upper() != browser[f]]
                texts += 1
                colours += len(FIELDS)
                right_colours += len(FIELDS) - len(wrong)
                right_texts += not wrong
                unexplained += sum((name, scheme, f) not in known for f in wrong)
                if wrong:
                    said = message if ours is None else ["%s %s, browser %s" % (f, ours[f], browser[f]) for f in wrong]
                    print("%s (%s): %s" % (name, scheme, "; ".join(said)))
    print("%d of %d texts and %d of %d colours as Chromium paints them" % (right_texts, texts, right_colours, colours))
    return 1 if strict and unexplained else 0


if __name__ == "__main__":
    sys.exit(main())
