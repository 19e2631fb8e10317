"""Headless Chromium driven over --remote-debugging-pipe, with axe-core put into the pages it loads.

A page is loaded at 1280 × 800 as it ships, with one change a reader never sees: its document comes with
the header `Content-Security-Policy: script-src 'none'`, added while the Fetch domain holds the response.
Scripting stays on (so <noscript> holds text, as in any browser a reader has), but no script of the page
runs, and the DOM and its line numbers are those of the file. Requests that leave the machine fail at once.
"""
import base64
import json
import os
import subprocess
import tarfile
import time

WIDTH, HEIGHT = 1280, 800
AXE_VERSION = "4.14.1"
RULES = ("color-contrast", "link-in-text-block")

# Runs the two rules in the page and hands back every node each reports, with its element's position
# among document.querySelectorAll('*').
RUN_AXE = """(async () => {
  const all = document.querySelectorAll('*');
  const at = new Map();
  all.forEach((element, i) => at.set(element, i));
  const results = await axe.run(document, {
    runOnly: {type: 'rule', values: %s},
    resultTypes: ['violations', 'passes', 'incomplete'],
    elementRef: true,
    iframes: false,
  });
  const nodes = [];
  for (const [kind, outcome] of [['violations', 'fail'], ['passes', 'pass'], ['incomplete', 'incomplete']]) {
    for (const rule of results[kind]) {
      for (const node of rule.nodes) {
        const checks = [].concat(node.any, node.all, node.none);
        const check = checks.find(c => c.data && (c.data.fgColor || c.data.nodeColor || c.data.messageKey))
          || checks.find(c => c.data) || {};
        const data = check.data || {};
        const element = node.element;
        nodes.push({
          rule: rule.id,
          index: at.has(element) ? at.get(element) : -1,
          tag: element ? element.localName : '',
          outcome,
          check: check.id || '',
          fgColor: data.fgColor || data.nodeColor || null,
          bgColor: data.bgColor || data.parentColor || null,
          contrastRatio: typeof data.contrastRatio === 'number' ? data.contrastRatio : null,
          fontSize: data.fontSize || null,
          fontWeight: data.fontWeight || null,
          messageKey: data.messageKey || null,
          text: element ? (element.textContent || '').replace(/\\s+/g, ' ').trim().slice(0, 40) : '',
        });
      }
    }
  }
  return JSON.stringify(nodes);
})()""" % json.dumps(list(RULES))


class Browser:
    """Chromium over --remote-debugging-pipe: JSON messages ended by NUL on descriptors 3 and 4."""

    def __init__(self, chromium, profile):
        to_child, self.to_browser = os.pipe()
        self.from_browser, from_child = os.pipe()
        to_child = _high(to_child)
        from_child = _high(from_child)

        def descriptors():
            os.dup2(to_child, 3)
            os.dup2(from_child, 4)

        self.process = subprocess.Popen(
            [chromium, "--headless", "--remote-debugging-pipe", "--no-sandbox", "--disable-gpu",
             "--hide-scrollbars", "--force-device-scale-factor=1", "--force-color-profile=srgb",
             "--allow-file-access-from-files", "--user-data-dir=" + profile,
             "--window-size=%d,%d" % (WIDTH, HEIGHT)],
            pass_fds=(3, 4), preexec_fn=descriptors, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_child)
        os.close(from_child)
        self.pending = b""
        self.next_id = 0
        self.events = []

    def send(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        return self.next_id

    def call(self, method, session=None, **params):
        wanted = self.send(method, session, **params)
        while True:
            reply = self.receive()
            if reply.get("id") == wanted:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply["result"]
            self.handle(reply)

    def receive(self):
        while b"\0" not in self.pending:
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("chromium closed the pipe")
            self.pending += chunk
        message, self.pending = self.pending.split(b"\0", 1)
        return json.loads(message)

    def handle(self, event):
        """Answers the requests the Fetch domain holds at once; keeps any other event for wait_event."""
        if event.get("method") != "Fetch.requestPaused":
            self.events.append(event)
            return
        params, session = event["params"], event.get("sessionId")
        url = params["request"]["url"]
        if "responseStatusCode" in params or "responseErrorReason" in params:
            headers = [h for h in params.get("responseHeaders", [])
                       if h["name"].lower() != "content-security-policy"]
            headers.append({"name": "Content-Security-Policy", "value": "script-src 'none'"})
            self.send("Fetch.continueResponse", session, requestId=params["requestId"],
                      responseCode=params.get("responseStatusCode", 200), responseHeaders=headers)
        elif url.startswith("file:") or url.startswith("data:"):
            self.send("Fetch.continueRequest", session, requestId=params["requestId"])
        else:
            self.send("Fetch.failRequest", session, requestId=params["requestId"], errorReason="BlockedByClient")

    def wait_event(self, method, session):
        while True:
            for i, event in enumerate(self.events):
                if event.get("method") == method and event.get("sessionId") == session:
                    del self.events[i]
                    return event
            self.handle(self.receive())

    def close(self):
        try:
            self.call("Browser.close")
        except RuntimeError:
            pass
        self.process.wait(timeout=10)


def _high(descriptor):
    """Moves a descriptor above the ones the child is given, so that dup2 onto 3 and 4 cannot clobber it."""
    import fcntl
    high = fcntl.fcntl(descriptor, fcntl.F_DUPFD, 10)
    os.close(descriptor)
    return high


def axe_source(cache):
    """axe.min.js of the pinned axe-core, packed from npm into CACHE once."""
    folder = os.path.join(cache, "axe-core@" + AXE_VERSION)
    script = os.path.join(folder, "axe.min.js")
    if not os.path.exists(script):
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["npm", "pack", "--silent", "axe-core@" + AXE_VERSION], cwd=folder, check=True,
                       stdout=subprocess.DEVNULL)
        with tarfile.open(os.path.join(folder, "axe-core-%s.tgz" % AXE_VERSION)) as packed:
            with packed.extractfile("package/axe.min.js") as source, open(script, "wb") as out:
                out.write(source.read())
    with open(script) as source:
        return source.read()


class Page:
    """One page loaded in its own tab, its scripts inert."""

    def __init__(self, browser, path):
        self.browser = browser
        self.target = browser.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = browser.call("Target.attachToTarget", targetId=self.target, flatten=True)["sessionId"]
        for domain in ("Page", "Runtime"):
            browser.call(domain + ".enable", self.session)
        browser.call("Fetch.enable", self.session, patterns=[
            {"urlPattern": "*", "requestStage": "Request"},
            {"urlPattern": "*", "resourceType": "Document", "requestStage": "Response"}])
        browser.call("Emulation.setDeviceMetricsOverride", self.session, width=WIDTH, height=HEIGHT,
                     deviceScaleFactor=1, mobile=False)
        self.scheme("light")
        browser.call("Page.navigate", self.session, url="file://" + os.path.abspath(path))
        browser.wait_event("Page.loadEventFired", self.session)

    def scheme(self, scheme):
        self.browser.call("Emulation.setEmulatedMedia", self.session, media="screen",
                          features=[{"name": "prefers-color-scheme", "value": scheme}])

    def evaluate(self, expression):
        result = self.browser.call("Runtime.evaluate", self.session, expression=expression, awaitPromise=True,
                                   returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(json.dumps(result["exceptionDetails"])[:2000])
        return result["result"].get("value")

    def settle(self):
        """Waits two frames, then ends every transition and animation the change of scheme started, so that
        what is judged is the scheme's own colours, not a colour on its way from the other scheme's."""
        self.evaluate("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))")
        self.evaluate("document.getAnimations().forEach(a => { try { a.finish(); } catch (e) { a.cancel(); } }); 0")
        self.evaluate("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))")

    def inject(self, axe):
        """Puts axe-core into the page; seconds taken."""
        start = time.perf_counter()
        self.evaluate(axe + "\n;axe.configure({allowedOrigins: ['<unsafe_all_origins>']}); 0")
        return time.perf_counter() - start

    def run_axe(self, scheme):
        """axe-core's nodes for the two rules in SCHEME, and the seconds the run took."""
        self.scheme(scheme)
        self.settle()
        start = time.perf_counter()
        nodes = json.loads(self.evaluate(RUN_AXE))
        return nodes, time.perf_counter() - start

    def close(self):
        self.browser.call("Target.closeTarget", targetId=self.target)


def screenshot(page, path):
    shot = page.browser.call("Page.captureScreenshot", page.session, format="png")
    with open(path, "wb") as out:
        out.write(base64.b64decode(shot["data"]))
