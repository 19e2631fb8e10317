#!/usr/bin/env python3
"""compare.py weighed against a stand-in Hueloom that says of every text what axe-core said, then with
faults put into it one at a time: each must show as exactly the disagreement it is, and an explanation
must hide it and rot once the fault is gone. Needs neither the pages nor a browser.

    python3 tests/pagecheck/test_compare.py
"""
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Answers `--check --json --color-scheme=SCHEME PAGE` with what axe-core said (write_answers). FAULT in
# its environment, as "PAGE SCHEME INDEX CHECK VERDICT", gives that one text that verdict ("none" leaves
# it out); NO_ELEMENTS leaves elements out of the JSON, as a Hueloom that judges no texts.
STAND_IN = r'''
import json, os, sys
sys.path.insert(0, %(here)r)
import corpus
scheme = sys.argv[3].split("=", 1)[1]
name = {path: name for name, path in corpus.pages(%(cache)r)}[sys.argv[4]]
with open(os.path.join(%(cache)r, "answers", "%%s.%%s.json" %% (name, scheme))) as answers:
    elements = json.load(answers)
fault = os.environ.get("FAULT", "").split()
for element in list(elements):
    if fault[:4] == [name, scheme, str(element["index"]), element["check"]]:
        if fault[4] == "none":
            elements.remove(element)
        else:
            element["verdict"] = fault[4]
entry = {"colorScheme": scheme, "pass": True}
if "NO_ELEMENTS" not in os.environ:
    entry["elements"] = elements
print(json.dumps({"schemes": [entry]}))
sys.exit(1 if any(e["verdict"] == "fail" for e in elements) else 0)
'''


def write_answers(folder):
    """What axe-core said of each page in each scheme, as the elements of Hueloom's JSON, one file each."""
    checks = {"color-contrast": "contrast", "link-in-text-block": "link-in-text"}
    verdicts = {"pass": "pass", "fail": "fail", "incomplete": "review"}
    answers = {}
    with open(os.path.join(HERE, "axe.jsonl")) as lines:
        for line in lines:
            node = json.loads(line)
            answers.setdefault((node["page"], node["scheme"]), []).append({
                "index": node["index"], "tag": node.get("tag", ""), "check": checks[node["rule"]],
                "verdict": verdicts[node["outcome"]], "foreground": "#000000", "background": "#FFFFFF",
                "ratio": 21.0, "lc": 106.0, "large": False, "text": node.get("text", "")})
    os.makedirs(folder)
    for (page, scheme), elements in answers.items():
        with open(os.path.join(folder, "%s.%s.json" % (page, scheme)), "w") as out:
            json.dump(elements, out)


def first_node(outcome, failing_page=None):
    """The first color-contrast node with OUTCOME; with failing_page, on a page and scheme that axe-core
    fails (True) or passes (False)."""
    with open(os.path.join(HERE, "axe.jsonl")) as lines:
        nodes = [json.loads(line) for line in lines]
    failing = {(n["page"], n["scheme"]) for n in nodes if n["outcome"] == "fail"}
    for node in nodes:
        if node["outcome"] == outcome and node["rule"] == "color-contrast" and (
                failing_page is None or ((node["page"], node["scheme"]) in failing) == failing_page):
            return node
    raise AssertionError("axe.jsonl has no such %s node" % outcome)


def main():
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        stand_in = os.path.join(scratch, "hueloom")
        with open(stand_in, "w") as out:
            out.write("#!%s\n" % sys.executable + STAND_IN % {"here": HERE, "cache": scratch})
        os.chmod(stand_in, 0o755)
        write_answers(os.path.join(scratch, "answers"))
        differences = os.path.join(scratch, "differences.jsonl")

        def compare(explanations, page, environment):
            with open(differences, "w") as out:
                out.write("# explanations for this run\n")
                for entry in explanations:
                    out.write(json.dumps(entry) + "\n")
            arguments = [sys.executable, os.path.join(HERE, "compare.py"), stand_in, scratch, "--strict",
                         "--differences", differences] + (["--page", page] if page else [])
            run = subprocess.run(arguments, stdout=subprocess.PIPE, text=True, env=dict(os.environ, **environment))
            return run.returncode, run.stdout

        def fault(node, verdict):
            return {"FAULT": " ".join([node["page"], node["scheme"], str(node["index"]), "contrast", verdict])}

        # A fail of axe-core's; a pass on a page axe-core fails anyway, so one disagreement; a pass on a page
        # axe-core passes whole, so the page's verdict differs too.
        failed, passed, whole = first_node("fail"), first_node("pass", True), first_node("pass", False)
        explanation = {"page": passed["page"], "scheme": passed["scheme"], "index": passed["index"],
                       "check": "contrast", "axe": "pass", "hueloom": "fail", "reason": "a fault put in"}
        wildcard = {"hueloom": "fail", "reason": "any text Hueloom fails"}
        one_not = "disagreements: 0 explained in differences.jsonl, 1 not"
        one_explained = "disagreements: 1 explained in differences.jsonl, 0 not"
        # What is tried: explanations, the page, the fault, then the exit status and lines the report must hold.
        cases = [("the same verdicts", [], None, {}, 0, ["false passes:       0", "agreement:     100.0%",
                                                         "disagreements: 0 explained in differences.jsonl, 0 not"])]
        for verdict, false_passes in (("pass", 1), ("none", 1), ("review", 0)):
            cases.append(("a fail turned " + verdict, [], failed["page"], fault(failed, verdict), 1,
                          ["false passes:       %d" % false_passes, one_not,
                           "#%d <%s> contrast: axe-core fail" % (failed["index"], failed["tag"])]))
        cases += [
            ("a pass turned fail", [], passed["page"], fault(passed, "fail"), 1,
             ["false passes:       0", one_not,
              "#%d <%s> contrast: axe-core pass, Hueloom fail" % (passed["index"], passed["tag"])]),
            ("the fault explained", [explanation], passed["page"], fault(passed, "fail"), 0, [one_explained]),
            ("a wildcard explanation", [wildcard], passed["page"], fault(passed, "fail"), 0, [one_explained]),
            ("an explanation with nothing to explain", [explanation], passed["page"], {}, 1,
             ["no longer match a disagreement", '"reason": "a fault put in"']),
            ("a page turned fail", [], whole["page"], fault(whole, "fail"), 1,
             ["page verdicts: 1 of 2 agree", "%s %s: exit status 1, axe-core's would be 0" % (whole["page"],
                                                                                             whole["scheme"])]),
            ("a Hueloom that judges no texts", [], whole["page"], {"NO_ELEMENTS": "1"}, 77,
             ["skipped:", "agreement:       0.0%"]),
        ]
        for what, explanations, page, environment, status, lines in cases:
            code, output = compare(explanations, page, environment)
            missing = [line for line in lines if line not in output]
            if code != status or missing:
                failures.append("%s: exit %d (wanted %d), missing %r\n%s" % (what, code, status, missing,
                                                                             output[-3000:]))
    for failure in failures:
        print("FAIL " + failure)
    print("%d passed, %d failed" % (len(cases) - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
