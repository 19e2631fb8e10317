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


def first_node(nodes, outcome, failing_page=None):
    """The first color-contrast node with OUTCOME; with failing_page, on a page and scheme that axe-core
    fails (True) or passes (False)."""
    failing = {(n["page"], n["scheme"]) for n in nodes if n["outcome"] == "fail"}
    return next(node for node in nodes if node["outcome"] == outcome and node["rule"] == "color-contrast" and (
        failing_page is None or ((node["page"], node["scheme"]) in failing) == failing_page))


def main():
    """Each case of data/compare-cases.jsonl: the explanations, the page and the fault put in, then the exit
    status and the lines the report must hold. Its node is a fail of axe-core's ("failed"); a pass on a
    page axe-core fails anyway, so one disagreement ("passed"); or a pass on a page axe-core passes whole,
    so the page's verdict differs too ("whole")."""
    with open(os.path.join(HERE, "axe.jsonl")) as lines:
        nodes = [json.loads(line) for line in lines]
    chosen = {"failed": first_node(nodes, "fail"), "passed": first_node(nodes, "pass", True),
              "whole": first_node(nodes, "pass", False)}
    with open(os.path.join(HERE, "data", "compare-cases.jsonl")) as lines:
        cases = [json.loads(line) for line in lines]
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        stand_in = os.path.join(scratch, "hueloom")
        with open(stand_in, "w") as out:
            out.write("#!%s\n" % sys.executable + STAND_IN % {"here": HERE, "cache": scratch})
        os.chmod(stand_in, 0o755)
        write_answers(os.path.join(scratch, "answers"))
        differences = os.path.join(scratch, "differences.jsonl")
        for case in cases:
            node = chosen.get(case.get("node"), {})
            environment = dict(os.environ, **case.get("environment", {}))
            if "fault" in case:
                environment["FAULT"] = " ".join([node["page"], node["scheme"], str(node["index"]), "contrast",
                                                 case["fault"]])
            with open(differences, "w") as out:
                out.write("# explanations for this run\n")
                if "explanation" in case:
                    explanation = dict(case["explanation"])
                    if explanation.pop("at", None):
                        explanation.update(page=node["page"], scheme=node["scheme"], index=node["index"])
                    out.write(json.dumps(explanation) + "\n")
            run = subprocess.run([sys.executable, os.path.join(HERE, "compare.py"), stand_in, scratch, "--strict",
                                  "--differences", differences] + (["--page", node["page"]] if node else []),
                                 stdout=subprocess.PIPE, text=True, env=environment)
            missing = [line.format(**node) for line in case["lines"] if line.format(**node) not in run.stdout]
            if run.returncode != case["status"] or missing:
                failures.append("%s: exit %d (wanted %d), missing %r\n%s" % (
                    case["what"], run.returncode, case["status"], missing, run.stdout[-3000:]))
    for failure in failures:
        print("FAIL " + failure)
    print("%d passed, %d failed" % (len(cases) - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
