#!/usr/bin/env python3
"""Records what headless Chromium makes of the reader corpora, for tst_readers to compare against.

Run it again after changing a corpus (data/*-corpus.jsonl, one JSON string a line):

    python3 tests/web/record_browser.py [path/to/chromium]

Colour texts are set as an element's colour and painted on a 1x1 canvas; each line of
data/colours-browser.jsonl holds [text, "#RRGGBB" | "alpha:N" | "invalid"]. N is the painted 8-bit
alpha, so any N below 255 is a colour a page cannot show opaque.

Tag box texts become the document of an iframe: text holding HTML tags as it is, other text as the
page's style sheet. A link to a page never visited is added to the body, then the page's background
(body's, or else html's), body's text colour, the link's colour and body's left and top margins are
read back. Each line of data/tags-browser.jsonl holds [text, "bg=#RRGGBB|none text=#RRGGBB
link=#RRGGBB left=Npx top=Npx"].
"""
import html
import json
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "data")
HTML_TAG = re.compile(r"<[/!]?[A-Za-z]")

PAGE = """<!doctype html><html><head><meta charset="utf-8"></head><body><pre id="out"></pre>
<script>
const colours = %(colours)s;
const tags = %(tags)s;
const canvas = document.createElement('canvas');
canvas.width = canvas.height = 1;
const context = canvas.getContext('2d', {willReadFrequently: true});
function painted(computed) {
  context.clearRect(0, 0, 1, 1);
  context.fillStyle = '#000';
  context.fillStyle = computed;
  context.fillRect(0, 0, 1, 1);
  const d = context.getImageData(0, 0, 1, 1).data;
  if (d[3] !== 255) return 'alpha:' + d[3];
  return '#' + [d[0], d[1], d[2]].map(v => v.toString(16).padStart(2, '0')).join('').toUpperCase();
}
const frames = tags.map(t => {
  const frame = document.createElement('iframe');
  frame.srcdoc = t[1] ? t[0] : '<!doctype html><style>' + t[0] + '</style>';
  document.body.appendChild(frame);
  return frame;
});
window.addEventListener('load', () => {
  const out = [];
  const probe = document.createElement('div');
  document.body.appendChild(probe);
  for (const text of colours) {
    probe.style.color = '';
    probe.style.color = text;
    out.push([text, probe.style.color === '' ? 'invalid' : painted(getComputedStyle(probe).color)]);
  }
  tags.forEach((t, i) => {
    const doc = frames[i].contentDocument;
    const win = frames[i].contentWindow;
    const link = doc.createElement('a');
    link.href = '#never-visited-' + i + '-' + Math.random();
    link.textContent = 'x';
    doc.body.appendChild(link);
    const body = win.getComputedStyle(doc.body);
    const root = win.getComputedStyle(doc.documentElement);
    let bg = painted(body.backgroundColor);
    if (bg.startsWith('alpha')) bg = painted(root.backgroundColor);
    if (bg.startsWith('alpha')) bg = 'none';
    out.push([t[0], 'bg=' + bg + ' text=' + painted(body.color) + ' link=' + painted(win.getComputedStyle(link).color)
      + ' left=' + body.marginLeft + ' top=' + body.marginTop]);
  });
  document.getElementById('out').textContent = JSON.stringify(out);
});
</script></body></html>
"""


def corpus(name):
    with open(os.path.join(DATA, name), encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.strip()]


def script_json(value):
    # Keeps "</script>" and "<!--" inside the data from ending or hiding the script.
    return json.dumps(value).replace("<", "\\u003c")


def main():
    chromium = sys.argv[1] if len(sys.argv) > 1 else "chromium"
    colours = corpus("colour-corpus.jsonl")
    tags = corpus("tag-corpus.jsonl")
    page = PAGE % {"colours": script_json(colours),
                   "tags": script_json([[t, bool(HTML_TAG.search(t))] for t in tags])}
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "corpus.html")
        with open(path, "w", encoding="utf-8") as f:
            f.write(page)
        dom = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--virtual-time-budget=20000",
                              "--user-data-dir=" + os.path.join(folder, "profile"), "--dump-dom", "file://" + path],
                             check=True, capture_output=True, text=True).stdout
    found = re.search(r'<pre id="out">(.*?)</pre>', dom, re.S)
    if not found or not found.group(1):
        sys.exit("Chromium gave no results")
    results = json.loads(html.unescape(found.group(1)))
    if len(results) != len(colours) + len(tags):
        sys.exit("Chromium gave %d results for %d texts" % (len(results), len(colours) + len(tags)))
    for name, rows in (("colours-browser.jsonl", results[:len(colours)]), ("tags-browser.jsonl", results[len(colours):])):
        with open(os.path.join(DATA, name), "w", encoding="utf-8") as f:
            for row in rows:
                # ASCII only: a JSON reader may drop a raw U+FEFF inside a string.
                f.write(json.dumps(row) + "\n")
    print("Recorded %d colour texts and %d tag texts" % (len(colours), len(tags)))


if __name__ == "__main__":
    main()
