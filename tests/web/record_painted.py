#!/usr/bin/env python3
"""Records the five colours headless Chromium paints for each text of data/painted-corpus.jsonl, in light
and dark, for tst_painting to compare against.

    python3 tests/web/record_painted.py [path/to/chromium]

Each corpus line is {"css": TEXT} for a style sheet, shown as the real-world corpus shows one (a page
whose body is a paragraph with a link), or {"page": TEXT} for a whole page as it stands. The colours
are read from pixels as tests/realworld/record.py reads them; each line of data/painted-browser.jsonl
holds {"source", "kind", "colorScheme", "background", "text", "link", "visited", "active"}.
"""
import json
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "realworld"))
import record  # noqa: E402

DATA = os.path.join(HERE, "data")


def main():
    chromium = sys.argv[1] if len(sys.argv) > 1 else "chromium"
    with open(os.path.join(DATA, "painted-corpus.jsonl"), encoding="utf-8") as f:
        texts = [json.loads(line) for line in f if line.strip()]
    rows = []
    with tempfile.TemporaryDirectory() as scratch:
        browser = record.Browser(chromium, os.path.join(scratch, "profile"))
        try:
            for i, text in enumerate(texts):
                page = os.path.join(scratch, "text-%d.html" % i)
                with open(page, "w", encoding="utf-8") as out:
                    if "page" in text:
                        out.write(text["page"])
                    else:
                        out.write('<!doctype html><html><head><meta charset="utf-8"><style>%s</style></head>'
                                  '<body><p><a href="#model"></a></p></body></html>' % text["css"])
                for scheme in ("light", "dark"):
                    row = {"source": text.get("page", text.get("css")), "kind": "page" if "page" in text else "css",
                           "colorScheme": scheme}
                    row.update(record.paint(browser, "file://" + page, scheme))
                    rows.append(row)
        finally:
            browser.close()
    with open(os.path.join(DATA, "painted-browser.jsonl"), "w", encoding="utf-8") as f:
        for row in rows:
            f.write(json.dumps(row) + "\n")
    print("Recorded %d texts" % len(texts))


if __name__ == "__main__":
    main()
