#!/usr/bin/env python3
"""What judging every text of a real page costs: axe-core in Chromium, Hueloom's `--check`, and the check of
five colours Hueloom did before, page by page over tests/pagecheck/pages.tsv. Prints figures; asserts
nothing.

    page_check.py HUELOOM CACHE [--five-colour OLD] [--in-process PROGRAM] [--runs N] [--axe-runs N]
                  [--chromium PATH] [--recorded-axe] [--page NAME]...

CACHE is the folder tests/pagecheck/fetch.sh fills. Per page, each the median of its runs:
  axe       axe-core's time with Chromium already running and the page loaded: putting axe-core in, then
            one run of color-contrast and link-in-text-block with prefers-color-scheme light and one dark
            (the page is loaded afresh, untimed, before each run); with --recorded-axe, or without
            Chromium, the times record_axe.py kept in tests/pagecheck/axe-timings.jsonl;
  process   the wall time of one `HUELOOM --check --json [--allow-missing] PAGE` process, which judges
            light and dark;
  5-colour  the same for the check of five colours: `HUELOOM --check --json --five-colours PAGE` where
            HUELOOM has that option, otherwise OLD's `--check --json PAGE` (the previous release's binary,
            /work/base/final/hueloom where it exists);
  in-proc   with --in-process, what `PROGRAM PAGE` prints last, in milliseconds: the judgement timed
            inside one process, as a C++ bench of the judge measures it.
Then the medians over the pages and, held against them, the two budgets: the process within a tenth of
axe-core, and within twice the five-colour check.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "pagecheck"))

import browser  # noqa: E402
import corpus  # noqa: E402

PREVIOUS_RELEASE = "/work/base/final/hueloom"


def wall_ms(arguments, runs):
    """The median wall time of running ARGUMENTS, in milliseconds, its output thrown away."""
    spent = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(arguments, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        spent.append((time.perf_counter() - start) * 1000)
    return statistics.median(spent)


def in_process_ms(program, path, runs):
    spent = []
    for _ in range(runs):
        output = subprocess.run([program, path], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        lines = output.stdout.strip().splitlines()
        try:
            spent.append(float(lines[-1].split()[0]))
        except (IndexError, ValueError):
            return None
    return statistics.median(spent)


def has_option(binary, option):
    shown = subprocess.run([binary, "--help"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return option in shown.stdout


def axe_ms(chrome, axe, path, runs):
    spent = []
    for _ in range(runs):
        page = browser.Page(chrome, path)
        try:
            seconds = page.inject(axe)
            for scheme in ("light", "dark"):
                seconds += page.run_axe(scheme)[1]
        finally:
            page.close()
        spent.append(seconds * 1000)
    return statistics.median(spent)


def text(value, digits=0):
    return "-" if value is None else "%.*f" % (digits, value)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("hueloom")
    parser.add_argument("cache")
    parser.add_argument("--five-colour", default=PREVIOUS_RELEASE if os.path.exists(PREVIOUS_RELEASE) else None)
    parser.add_argument("--in-process")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--axe-runs", type=int, default=1)
    parser.add_argument("--chromium", default="chromium")
    parser.add_argument("--page", action="append")
    parser.add_argument("--recorded-axe", action="store_true",
                        help="take axe-core's times from tests/pagecheck/axe-timings.jsonl instead of Chromium")
    args = parser.parse_args()
    recorded = {}
    if args.recorded_axe or not shutil.which(args.chromium):
        with open(os.path.join(HERE, "..", "tests", "pagecheck", "axe-timings.jsonl")) as lines:
            recorded = {t["page"]: t["totalMs"] for t in map(json.loads, lines)}
        print("axe-core's times as recorded by tests/pagecheck/record_axe.py")

    if has_option(args.hueloom, "--five-colours"):
        five = [args.hueloom, "--check", "--json", "--five-colours"]
    elif args.five_colour:
        five = [args.five_colour, "--check", "--json"]
    else:
        five = None
    # As the comparison runs it: judged without the sheets from other hosts, which the browser lacks too.
    allow = ["--allow-missing"] if has_option(args.hueloom, "--allow-missing") else []
    axe = None if recorded else browser.axe_source(args.cache)
    rows = []
    print("%-26s %8s %8s %8s %8s %9s %9s" % ("page", "axe ms", "process", "5-colour", "in-proc", "axe/proc",
                                               "proc/5col"))
    with tempfile.TemporaryDirectory() as scratch:
        chrome = None if recorded else browser.Browser(args.chromium, os.path.join(scratch, "profile"))
        try:
            for name, path in corpus.pages(args.cache):
                if args.page and name not in args.page:
                    continue
                row = {
                    "axe": recorded[name] if recorded else axe_ms(chrome, axe, path, args.axe_runs),
                    "process": wall_ms([args.hueloom, "--check", "--json", *allow, path], args.runs),
                    "five": wall_ms(five + [path], args.runs) if five else None,
                    "inproc": in_process_ms(args.in_process, path, args.runs) if args.in_process else None,
                }
                rows.append(row)
                print("%-26s %8s %8s %8s %8s %9s %9s" % (
                    name, text(row["axe"]), text(row["process"], 1), text(row["five"], 1), text(row["inproc"], 2),
                    text(row["axe"] / row["process"], 1),
                    text(row["process"] / row["five"], 2) if row["five"] else "-"), flush=True)
        finally:
            if chrome:
                chrome.close()

    def median(key):
        values = [r[key] for r in rows if r[key] is not None]
        return statistics.median(values) if values else None

    print()
    print("medians over %d pages: axe-core %s ms, process %s ms, five-colour check %s ms, in process %s ms" % (
        len(rows), text(median("axe")), text(median("process"), 1), text(median("five"), 1),
        text(median("inproc"), 2)))
    # The budgets are held against the medians; the worst page is shown beside them.
    speedups = [r["axe"] / r["process"] for r in rows]
    speedup = median("axe") / median("process")
    print("process vs axe-core: %.1f× faster (medians; budget at least 10×) %s; the slowest page %.1f×" % (
        speedup, "ok" if speedup >= 10 else "OVER BUDGET", min(speedups)))
    if five:
        costs = [r["process"] / r["five"] for r in rows]
        cost = median("process") / median("five")
        print("process vs five-colour check: %.2f× (medians; budget at most 2×) %s; the worst page %.2f×" % (
            cost, "ok" if cost <= 2 else "OVER BUDGET", max(costs)))
    if median("inproc") is not None:
        print("in process vs axe-core: %.0f× faster (medians)" % (median("axe") / median("inproc")))
    return 0


if __name__ == "__main__":
    sys.exit(main())
