#!/usr/bin/env python3
"""Records what axe-core says of every text on the real pages, in light and dark.

    python3 tests/pagecheck/record_axe.py CACHE [path/to/chromium]

CACHE is the folder tests/pagecheck/fetch.sh fills (axe-core is packed from npm into it too). Each page is
loaded once in headless Chromium as browser.py describes, axe-core is put in, and its rules color-contrast
and link-in-text-block run once with prefers-color-scheme light and once dark. Every node they report,
failed, passed or left incomplete, becomes a line of axe.jsonl:
{"page", "scheme", "rule", "index", "tag", "outcome", "check", "fgColor", "bgColor", "contrastRatio",
"fontSize", "fontWeight", "messageKey"} (a field axe gave no value left out), where index is
the element's position among document.querySelectorAll('*') (<html> is 0). The page's own words are
not kept: the comparer shows Hueloom's reading of the element beside axe-core's colours.
axe-timings.jsonl gets, per page, the milliseconds putting axe-core in took and each scheme's run took.
"""
import json
import os
import sys
import tempfile

import browser
import corpus

HERE = os.path.dirname(os.path.abspath(__file__))
ORDER = {"fail": 0, "incomplete": 1, "pass": 2}


def main():
    cache = sys.argv[1]
    chromium = sys.argv[2] if len(sys.argv) > 2 else "chromium"
    axe = browser.axe_source(cache)
    with tempfile.TemporaryDirectory() as scratch, \
            open(os.path.join(HERE, "axe.jsonl"), "w") as out, \
            open(os.path.join(HERE, "axe-timings.jsonl"), "w") as timings:
        chrome = browser.Browser(chromium, os.path.join(scratch, "profile"))
        try:
            for name, path in corpus.pages(cache):
                page = browser.Page(chrome, path)
                took = {"page": name, "axe": browser.AXE_VERSION, "injectMs": round(page.inject(axe) * 1000, 1)}
                for scheme in ("light", "dark"):
                    nodes, seconds = page.run_axe(scheme)
                    took[scheme + "Ms"] = round(seconds * 1000, 1)
                    nodes.sort(key=lambda n: (n["index"], n["rule"], ORDER[n["outcome"]]))
                    for node in nodes:
                        record = {"page": name, "scheme": scheme}
                        # The page's own words are left out: the comparer shows Hueloom's reading of them.
                        record.update((key, value) for key, value in node.items()
                                      if value is not None and key != "text")
                        out.write(json.dumps(record, ensure_ascii=False, separators=(",", ":")) + "\n")
                    fails = sum(1 for n in nodes if n["outcome"] == "fail")
                    print("%-26s %-5s %4d nodes %4d fail  %6.0f ms" % (name, scheme, len(nodes), fails,
                                                                       seconds * 1000), file=sys.stderr)
                took["totalMs"] = round(took["injectMs"] + took["lightMs"] + took["darkMs"], 1)
                timings.write(json.dumps(took) + "\n")
                page.close()
        finally:
            chrome.close()


if __name__ == "__main__":
    main()
