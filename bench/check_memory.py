#!/usr/bin/env python3
"""Peak resident memory per byte of text that `hueloom --check --json FILE` takes at the size limit
(4 Mi characters), over that of `hueloom --version`, and its processor time there (fastest of 3): for
the texts that cost the reader most per byte (style attributes, long values and lists) and the hostile
texts of check_cpu.py, for this build's binary beside another's. A figure over 40 bytes a byte, the
most any text may take, is marked. Prints figures; asserts nothing.

    check_memory.py NEW [OLD]
"""
import os
import sys
import tempfile

from check_cpu import HOSTILE, LIMIT, cpu_seconds

MOST = 40  # bytes of peak memory a byte of text may take

# A token a byte or two in a style attribute, of a lone tag (read for the attributes it gives) and of a
# page's body (read by the cascade), and in the value of a declaration of a style sheet: a head, a unit
# repeated to fill the limit, and a tail.
SHAPES = {
    "<body style=\"x:!!!…\"> (tag)": (".txt", "<body style=\"x:", "!", "\">"),
    "<body style=\"x:!!!…\"> (page)": (".html", "<body style=\"x:", "!", "\">"),
    "<body style=\"x:1,1,…\"> (tag)": (".txt", "<body style=\"x:", "1,", "1\">"),
    "<body style=\"x:1,1,…\"> (page)": (".html", "<body style=\"x:", "1,", "1\">"),
    "<p style=\"x:!!!!\"> repeated": (".html", "", "<p style=\"x:!!!!\">", ""),
    "a{color:rgb(1,1,1,…)}": (".css", "a{color:rgb(", "1,", "1)}"),
    "a{x:!!!…}": (".css", "a{x:", "!", "}"),
    "body{color:var(--x,!!!…)}": (".css", "body{color:var(--x,", "!", ")}"),
    "a{margin:1 1 1…}": (".css", "a{margin:", "1 ", "1}"),
    "a{background:1,1,…}": (".css", "a{background:", "1,", "1}"),
    "<body style=\"--x:1,1,…\"> (tag)": (".txt", "<body style=\"--x:", "1,", "1\">"),
}


def text_of(shape, size):
    """The text of a shape of SHAPES or check_cpu.HOSTILE, `size` characters long or a little less."""
    if len(shape) == 4:
        _, head, unit, tail = shape
        return head + unit * ((size - len(head) - len(tail)) // len(unit)) + tail
    make = shape[1]
    return make(size * 1000 // len(make(1000)) + 1)[:size]


def measure(binary, path):
    """Processor time in ms and peak memory per byte of the text at `path`, over --version's."""
    memory = []
    spent = cpu_seconds(binary, path, memory) * 1e3
    cpu_seconds(binary, "--version", memory)
    return spent, (memory[0] - memory[1]) / os.path.getsize(path)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    binaries = sys.argv[1:]
    names = ["this build", "previous"][: len(binaries)]
    print(f"--check at 1 Mi characters and at the size limit, 4 Mi: peak memory per byte of text over\n"
          f"--version's ('!' marks more than {MOST} B/byte), and processor time at 4 Mi (fastest of 3):")
    shapes = dict(SHAPES)
    shapes.update(HOSTILE)
    with tempfile.TemporaryDirectory() as folder:
        for label, shape in shapes.items():
            row = f"  {label:30}"
            figures = {name: "" for name in names}
            for size in (LIMIT // 4, LIMIT):
                # The text is written, and dropped, before any child starts: a child's peak memory
                # counts this process's own from before it started the program.
                path = os.path.join(folder, "text" + shape[0])
                text = text_of(shape, size)
                with open(path, "w", encoding="utf-8") as out:
                    out.write(text)
                del text
                for name, binary in zip(names, binaries):
                    spent, per_byte = measure(binary, path)
                    figures[name] += f" {per_byte:5.1f}{'!' if per_byte > MOST else ' '}"
                    if size == LIMIT:
                        figures[name] += f" {spent:5.0f} ms"
            for name in names:
                row += f"  {name}:{figures[name]}"
            print(row, flush=True)


if __name__ == "__main__":
    main()
