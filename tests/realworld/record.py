#!/usr/bin/env python3
"""Records the five colours headless Chromium paints for each real-world text, in light and dark.

    python3 tests/realworld/record.py CACHE [path/to/chromium] > tests/realworld/painted.jsonl

CACHE is the folder tests/realworld/fetch.sh fills. Every stylesheet of stylesheets.tsv becomes the page
<html><head><link rel=stylesheet></head><body>█<p><a href>█</a></p></body></html>; every page under
pages/ is read as it stands (its vendor.tsv names the real stylesheets it links), with a text node █ put
first in its body and the first link of its body (or a model link in a paragraph) showing █.

The colours are read from pixels, not from getComputedStyle, which hides :visited: the middle of each
█ glyph after forcing the link's state through the DevTools protocol (nothing, :visited, and
:hover + :active + :focus for a link being pressed), and a corner of the 1280 × 800 canvas for the
background. Each line holds {"name", "colorScheme", "background", "text", "link", "visited", "active"}.
"""
import base64
import json
import os
import struct
import subprocess
import sys
import tempfile
import zlib

import corpus

# The Chromium the page check drives, over the same pipe.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pagecheck"))
from browser import Browser  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 1280, 800
NO_TRANSITIONS = "*,*::before,*::after{transition:none!important;animation:none!important}"

PREPARE = """(() => {
  const style = document.createElement('style');
  style.textContent = %s;
  document.head.appendChild(style);
  const body = document.body;
  const text = document.createTextNode('\u2588');
  body.insertBefore(text, body.firstChild);
  let link = body.querySelector('a[href]');
  if (!link) {
    const p = document.createElement('p');
    link = document.createElement('a');
    link.href = '#model';
    p.appendChild(link);
    body.appendChild(p);
  }
  link.textContent = '\u2588';
  link.id = link.id || 'hueloom-probe-link';
  window.hueloomText = text;
  window.hueloomLink = link;
  return link.id;
})()""" % json.dumps(NO_TRANSITIONS)

CENTRE = """((node) => {
  const range = document.createRange();
  range.selectNodeContents(node);
  (node.nodeType === 1 ? node : node.parentElement).scrollIntoView({block: 'center'});
  const r = range.getBoundingClientRect();
  return JSON.stringify([r.left + r.width / 2 + window.scrollX, r.top + r.height / 2 + window.scrollY]);
})(%s)"""


def pixel(png):
    """The colour of a 1 × 1 PNG (for one pixel every row filter leaves the bytes as they are)."""
    at, data = 8, b""
    while at < len(png):
        length, kind = struct.unpack(">I4s", png[at:at + 8])
        if kind == b"IDAT":
            data += png[at + 8:at + 8 + length]
        at += 12 + length
    raw = zlib.decompress(data)
    return "#%02X%02X%02X" % (raw[1], raw[2], raw[3])


def paint(browser, url, scheme):
    target = browser.call("Target.createTarget", url="about:blank")["targetId"]
    session = browser.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
    for domain in ("Page", "DOM", "CSS", "Runtime"):
        browser.call(domain + ".enable", session)
    browser.call("Emulation.setDeviceMetricsOverride", session, width=WIDTH, height=HEIGHT, deviceScaleFactor=1,
                 mobile=False)
    browser.call("Emulation.setEmulatedMedia", session, media="screen",
                 features=[{"name": "prefers-color-scheme", "value": scheme}])
    browser.call("Page.navigate", session, url=url)
    browser.wait_event("Page.loadEventFired", session)

    def evaluate(expression):
        result = browser.call("Runtime.evaluate", session, expression=expression, awaitPromise=True,
                              returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def settle():
        evaluate("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))")

    def at(x, y):
        shot = browser.call("Page.captureScreenshot", session, format="png", captureBeyondViewport=False,
                            clip={"x": x, "y": y, "width": 1, "height": 1, "scale": 1})
        return pixel(base64.b64decode(shot["data"]))

    link_id = evaluate(PREPARE)
    root = browser.call("DOM.getDocument", session, depth=0)["root"]["nodeId"]
    link = browser.call("DOM.querySelector", session, nodeId=root, selector="#" + link_id)["nodeId"]
    settle()
    evaluate("window.scrollTo(0, 0)")
    result = {"background": at(WIDTH - 2, HEIGHT - 2)}
    x, y = json.loads(evaluate(CENTRE % "window.hueloomText"))
    result["text"] = at(x, y)
    for name, states in (("link", []), ("visited", ["visited"]), ("active", ["hover", "active", "focus"])):
        browser.call("CSS.forcePseudoState", session, nodeId=link, forcedPseudoClasses=states)
        settle()
        x, y = json.loads(evaluate(CENTRE % "window.hueloomLink"))
        result[name] = at(x, y)
    browser.call("Target.closeTarget", targetId=target)
    return result


def sheet_page(css, scratch):
    """A stylesheet as a browser shows it alone: linked from a page whose body is a paragraph with a link."""
    page = os.path.join(scratch, "sheet-%d.html" % abs(hash(css)))
    with open(page, "w") as out:
        out.write('<!doctype html><html><head><meta charset="utf-8"><link rel="stylesheet" href="file://%s">'
                  '</head><body><p><a href="#model"></a></p></body></html>' % css)
    return page


def main():
    cache = sys.argv[1]
    chromium = sys.argv[2] if len(sys.argv) > 2 else "chromium"
    with tempfile.TemporaryDirectory() as scratch:
        profile = os.path.join(scratch, "profile")
        browser = Browser(chromium, profile)
        try:
            for name, kind, path in corpus.texts(cache, scratch):
                url = "file://" + (sheet_page(path, scratch) if kind == "sheet" else path)
                for scheme in ("light", "dark"):
                    record = {"name": name, "colorScheme": scheme}
                    record.update(paint(browser, url, scheme))
                    print(json.dumps(record), flush=True)
        finally:
            browser.close()


if __name__ == "__main__":
    main()
