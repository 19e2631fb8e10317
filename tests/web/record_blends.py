#!/usr/bin/env python3
"""Records how headless Chromium blends a link's colour over what lies beneath it, for tst_painting.

    python3 tests/web/record_blends.py [path/to/chromium] [folder]

Each link shows a full block glyph in a 30 × 30 box of a background colour; the middle of the glyph
is read from pixels. Three files, each line [ ..., painted "#RRGGBB", beneath "#RRGGBB", shown
"#RRGGBB"], the colours random from fixed seeds:
  opacity-painted.jsonl         [opacity, ...]: the link has opacity
  translucent-painted.jsonl     [alpha, ...]: the link's colour is rgba() of that alpha
  nested-opacity-painted.jsonl  [outer, inner, ...]: the link has opacity inside an element that has too
"""
import base64
import json
import os
import random
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "realworld"))
import record  # noqa: E402

STYLE = ('<!doctype html><html><head><meta charset="utf-8"><style>body{margin:0;background:#fff} '
         '.c{position:absolute;width:30px;height:30px;font-size:20px;line-height:30px} a{text-decoration:none}'
         '</style></head><body>')
BLACK_ON_WHITE = [(o, (0, 0, 0), (255, 255, 255)) for o in (.25, .5, .6, .75, .9)]


def cells(seed, count, nested):
    chance = random.Random(seed)
    made = []
    for _ in range(count):
        alpha = (round(chance.random(), 3), round(chance.random(), 3)) if nested else round(chance.random(), 3)
        made.append((alpha, tuple(chance.randrange(256) for _ in range(3)),
                     tuple(chance.randrange(256) for _ in range(3))))
    return made


def box(k, inner):
    return '<div class="c" style="left:%dpx;top:%dpx;background:rgb%%s">%s</div>' % (
        (k % 40) * 32, (k // 40) * 32, inner)


def shown(browser, page, count):
    target = browser.call("Target.createTarget", url="about:blank")["targetId"]
    session = browser.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
    browser.call("Page.enable", session)
    browser.call("Emulation.setDeviceMetricsOverride", session, width=1280, height=1200, deviceScaleFactor=1,
                 mobile=False)
    browser.call("Page.navigate", session, url="file://" + page)
    browser.wait_event("Page.loadEventFired", session)
    browser.call("Runtime.evaluate", session, awaitPromise=True,
                 expression="new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))")
    centres = json.loads(browser.call("Runtime.evaluate", session, returnByValue=True, expression=(
        "JSON.stringify([...document.querySelectorAll('a')].map(a => {const r = document.createRange();"
        " r.selectNodeContents(a); const b = r.getBoundingClientRect();"
        " return [b.left + b.width / 2, b.top + b.height / 2];}))"))["result"]["value"])
    result = []
    for x, y in centres[:count]:
        shot = browser.call("Page.captureScreenshot", session, format="png",
                            clip={"x": int(x), "y": int(y), "width": 1, "height": 1, "scale": 1})
        result.append(record.pixel(base64.b64decode(shot["data"])))
    browser.call("Target.closeTarget", targetId=target)
    return result


def main():
    chromium = sys.argv[1] if len(sys.argv) > 1 else "chromium"
    folder = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "data")
    hexed = lambda c: "#%02X%02X%02X" % c  # noqa: E731
    kinds = [
        ("opacity-painted.jsonl", cells(7, 300, False) + BLACK_ON_WHITE,
         lambda a, c: '<a href="#m" style="color:rgb%s;opacity:%s">\u2588</a>' % (str(c), a)),
        ("translucent-painted.jsonl", cells(5, 300, False) + BLACK_ON_WHITE,
         lambda a, c: '<a href="#m" style="color:rgba%s">\u2588</a>' % str(c + (a,))),
        ("nested-opacity-painted.jsonl", cells(11, 250, True),
         lambda a, c: '<span style="opacity:%s"><a href="#m" style="color:rgb%s;opacity:%s">\u2588</a></span>'
         % (a[0], str(c), a[1])),
    ]
    with tempfile.TemporaryDirectory() as scratch:
        browser = record.Browser(chromium, os.path.join(scratch, "profile"))
        try:
            for name, made, link in kinds:
                page = os.path.join(scratch, name + ".html")
                with open(page, "w", encoding="utf-8") as out:
                    out.write(STYLE + "".join(box(k, link(a, c)) % str(b) for k, (a, c, b) in enumerate(made)))
                colours = shown(browser, page, len(made))
                with open(os.path.join(folder, name), "w", encoding="utf-8") as out:
                    for (alpha, painted, beneath), colour in zip(made, colours):
                        alphas = list(alpha) if isinstance(alpha, tuple) else [alpha]
                        out.write(json.dumps(alphas + [hexed(painted), hexed(beneath), colour]) + "\n")
        finally:
            browser.close()


if __name__ == "__main__":
    main()
