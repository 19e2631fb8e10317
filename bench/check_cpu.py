#!/usr/bin/env python3
"""The processor time `hueloom --check` takes, for this build's binary beside another's (the previous
commit's, built by scripts/bench): over every stylesheet of the real-world corpus (median and largest),
and on hostile texts at two sizes each, where twice the text should cost about twice the time. Prints
figures; asserts nothing.

    check_cpu.py CACHE NEW [OLD]
"""
import os
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
LISTING = os.path.join(HERE, "..", "tests", "realworld", "stylesheets.tsv")


def cpu_seconds(binary, path, memory=None):
    """The child's user and system time for one --check of `path`: the fastest of three. With `memory`
    (a list), its peak resident size in bytes is appended to it."""
    best = None
    for _ in range(3):
        arguments = [binary, path] if path.startswith("--") else [binary, "--check", "--json", path]
        process = subprocess.Popen(arguments, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, _, usage = os.wait4(process.pid, 0)
        spent = usage.ru_utime + usage.ru_stime
        best = spent if best is None else min(best, spent)
    if memory is not None:
        # A process's peak counts what its parent held when it forked, and this one holds the texts. So
        # the peak is taken by a small interpreter that starts the program itself: about 10 MB of its
        # own, the same for every run.
        measured = subprocess.run([sys.executable, "-S", "-c", PEAK] + arguments, capture_output=True, text=True)
        memory.append(int(measured.stdout) * 1024)
    return best


PEAK = """
import os, sys
child = os.fork()
if child == 0:
    quiet = os.open(os.devnull, os.O_WRONLY)
    os.dup2(quiet, 1)
    os.dup2(quiet, 2)
    os.execv(sys.argv[1], sys.argv[1:])
print(os.wait4(child, 0)[2].ru_maxrss)
"""


def corpus(cache):
    sheets = []
    with open(LISTING, encoding="utf-8") as listing:
        for line in listing:
            fields = line.rstrip("\n").split("\t")
            if not line.strip() or line.startswith("#") or len(fields) < 4:
                continue
            source, package, version, path = fields[:4]
            full = os.path.join(cache, package.replace("/", "_") + "@" + version, path)
            if os.path.isfile(full):
                sheets.append(full)
    return sheets


# Texts shaped to make a reader do the most work per byte: unclosed ruby bases, stray end tags, a
# class list matched by a compound of the same class, nested rules, a tag with ever more attributes,
# and rules or selectors one after another.
LIMIT = 4 << 20  # characters, the most Hueloom reads

HOSTILE = {
    "<rb> repeated": (".html", lambda n: "<rb>" * n),
    "<div></x> repeated": (".html", lambda n: "<div></x>" * n),
    "class x x x… with .x.x.x…": (".html", lambda n: "<style>" + ".x" * (n // 4) + "{color:red}</style><body class=\""
                                  + "x " * (n // 4) + "\">"),
    "body{&{}&{}…}": (".css", lambda n: "body{" + "&{}" * n + "}"),
    "<p a0 a1 a2…> (attributes)": (".html", lambda n: "<p " + " ".join(f"a{i}" for i in range(n)) + ">"),
    "a{color:red} repeated": (".css", lambda n: "a{color:red}" * n),
    "a,a,a…{color:red}": (".css", lambda n: "a," * n + "a{color:red}"),
    "!!!… (a token a byte)": (".css", lambda n: "!" * (8 * n)),
}


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    cache, binaries = sys.argv[1], sys.argv[2:]
    names = ["this build", "previous"][: len(binaries)]
    sheets = corpus(cache)
    if sheets:
        print(f"--check over {len(sheets)} real stylesheets, processor time (fastest of 3):")
        for name, binary in zip(names, binaries):
            times = [cpu_seconds(binary, sheet) * 1e3 for sheet in sheets]
            largest = max(zip([os.path.getsize(s) for s in sheets], times))
            print(f"  {name:10}  median {statistics.median(times):6.1f} ms   largest ({largest[0] // 1024} KB) "
                  f"{largest[1]:6.1f} ms   slowest {max(times):6.1f} ms")
    else:
        print("--check over real stylesheets: the corpus cache is empty (tests/realworld/fetch.sh fills it)")
    print("--check on hostile texts: processor time at n and 2n repetitions; and at the size limit (4 Mi\n"
          "characters), processor time and peak memory per byte of text (over that of --version):")
    with tempfile.TemporaryDirectory() as folder:
        for label, (extension, make) in HOSTILE.items():
            row = f"  {label:28}"
            path = os.path.join(folder, "hostile" + extension)
            for name, binary in zip(names, binaries):
                spent = []
                for n in (50_000, 100_000):
                    with open(path, "w", encoding="utf-8") as out:
                        out.write(make(n))
                    spent.append(cpu_seconds(binary, path) * 1e3)
                # As many repetitions as fill the limit, made no larger: a child's peak memory counts
                # this process's own from before it started the program.
                n = LIMIT * 1000 // len(make(1000)) + 1
                text = make(n)[:LIMIT]
                with open(path, "w", encoding="utf-8") as out:
                    out.write(text)
                size = len(text.encode())
                del text
                memory = []
                at_limit = cpu_seconds(binary, path, memory) * 1e3
                cpu_seconds(binary, "--version", memory)
                row += (f"  {name}: {spent[0]:6.1f} / {spent[1]:6.1f} ms (x{spent[1] / max(spent[0], 0.01):.1f}),"
                        f" limit {at_limit:6.0f} ms {(memory[0] - memory[1]) / size:5.1f} B/byte")
            print(row)


if __name__ == "__main__":
    main()
