#!/usr/bin/env python3
"""Weighs Hueloom's judgement of every text on the real pages against axe-core's, recorded in axe.jsonl.

    python3 tests/pagecheck/compare.py HUELOOM CACHE [--strict] [--all] [--page NAME]...

Runs `HUELOOM --check --json --color-scheme=light|dark [--allow-missing] PAGE` on every page of pages.tsv, where fetch.sh
unpacked it into CACHE, and pairs each element Hueloom judges with the node axe-core reported for it: the
same page, scheme and position among document.querySelectorAll('*'), and the rule that matches the check
(color-contrast with contrast, link-in-text-block with link-in-text). It reports
  - false passes: texts axe-core fails that Hueloom passes or does not judge at all;
  - agreement: of the texts axe-core passes or fails, the share Hueloom gives the same verdict (a review
    is not the same verdict);
  - the share of Hueloom's judged texts it leaves to review;
  - page verdicts: Hueloom's exit status against axe-core's (0 when axe-core finds no violation, else 1).
Every disagreement, with axe-core's colours and Hueloom's, is printed. differences.jsonl explains the ones
that are known, each with a reason; a line there leaves out a field to stand for any value of it. With
--strict the exit status is 1 when a disagreement is not explained there, or an explanation there no
longer matches any disagreement, and 0 otherwise; 77 when no page's JSON has elements at all (a Hueloom
that does not judge texts yet). Without --strict it is 0. --record rewrites differences.jsonl to match:
explanations that match nothing go, and each disagreement not explained gets a line saying it is not
looked into yet, to be given its reason.
"""
import argparse
import collections
import json
import os
import subprocess
import sys

import corpus

HERE = os.path.dirname(os.path.abspath(__file__))
SCHEMES = ("light", "dark")
CHECK_OF_RULE = {"color-contrast": "contrast", "link-in-text-block": "link-in-text"}
AXE_VERDICT = {"fail": "fail", "pass": "pass", "incomplete": "review"}
KEY_FIELDS = ("page", "scheme", "index", "check", "axe", "hueloom")
NOT_LOOKED_INTO = "not looked into yet"


def read_jsonl(path):
    with open(path) as lines:
        return [json.loads(line) for line in lines if line.strip() and not line.startswith("#")]


def axe_nodes(path):
    """{(page, scheme): {(index, check): node}} from the recorded axe.jsonl."""
    nodes = collections.defaultdict(dict)
    for node in read_jsonl(path):
        nodes[(node["page"], node["scheme"])][(node["index"], CHECK_OF_RULE[node["rule"]])] = node
    return nodes


def options(hueloom):
    """--allow-missing where HUELOOM has it: the browser did not load the sheets a page links from other
    hosts either (browser.py fails every request that leaves the machine), so neither reads them."""
    shown = subprocess.run([hueloom, "--help"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return ["--allow-missing"] if "--allow-missing" in shown.stdout else []


def run_hueloom(hueloom, path, scheme, extra=()):
    """(exit status, the scheme's elements or None when the JSON has none, the JSON's problem if any)."""
    process = subprocess.run([hueloom, "--check", "--json", "--color-scheme=" + scheme, *extra, path],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    try:
        report = json.loads(process.stdout)
    except ValueError:
        return process.returncode, None, "no JSON: %s" % process.stderr.decode(errors="replace").strip()[:200]
    entries = report.get("schemes", [])
    entry = next((e for e in entries if e.get("colorScheme") == scheme), entries[0] if entries else {})
    return process.returncode, entry.get("elements"), None


def disagreements(page, scheme, axe, elements, status):
    """Every disagreement on one page in one scheme, as dicts with the KEY_FIELDS and what to show."""
    found = []
    judged = {(e["index"], e["check"]): e for e in elements or []}
    for key in sorted(set(axe) | set(judged)):
        node, element = axe.get(key), judged.get(key)
        said = AXE_VERDICT[node["outcome"]] if node else "unreported"
        verdict = element["verdict"] if element else "not judged"
        if said == verdict or said == "review" and verdict != "fail":
            continue # the same verdict; or axe-core left it to review and Hueloom does not fail it
        if said == "unreported" and verdict != "fail":
            continue # Hueloom judges a text axe-core does not see; it matters when Hueloom fails it
        found.append({"page": page, "scheme": scheme, "index": key[0], "check": key[1], "axe": said,
                      "hueloom": verdict, "node": node, "element": element})
    wanted = 1 if any(n["outcome"] == "fail" for n in axe.values()) else 0
    if status != wanted:
        found.append({"page": page, "scheme": scheme, "check": "page", "axe": wanted, "hueloom": status})
    return found


def explained_by(difference, explanations):
    """The explanations that match a disagreement: every field they give equal to the disagreement's."""
    return [i for i, e in enumerate(explanations)
            if all(e[f] == difference.get(f) for f in KEY_FIELDS if f in e)]


def describe(difference):
    if difference["check"] == "page":
        return "%s %s: exit status %s, axe-core's would be %s" % (
            difference["page"], difference["scheme"], difference["hueloom"], difference["axe"])
    node, element = difference["node"] or {}, difference["element"] or {}
    who = element.get("tag") or node.get("tag", "?")
    text = "%s %s #%d <%s> %s: axe-core %s, Hueloom %s" % (
        difference["page"], difference["scheme"], difference["index"], who, difference["check"],
        difference["axe"], difference["hueloom"])
    if node:
        said = []
        if node.get("fgColor") or node.get("bgColor"):
            said.append("%s on %s" % (node.get("fgColor"), node.get("bgColor")))
        if node.get("contrastRatio") is not None:
            said.append("%s:1" % node["contrastRatio"])
        said.append(" ".join(str(node[f]) for f in ("fontSize", "fontWeight") if node.get(f)))
        said.append(node.get("messageKey") or "")
        if not node.get("fgColor") and node.get("check"):
            said.append("by " + node["check"])
        text += "\n    axe-core: %s  \"%s\"" % (", ".join(w for w in said if w) or "no colours",
                                                node.get("text", ""))
    if element:
        origin = element.get("from") or {}
        text += "\n    Hueloom:  %s on %s, %.2f:1, Lc %.1f%s, line %s %s%s  \"%s\"" % (
            element.get("foreground"), element.get("background"), element.get("ratio", 0), element.get("lc", 0),
            ", large" if element.get("large") else "", element.get("line"), element.get("selector", ""),
            ", " + element["why"] if element.get("why") else "", element.get("text", ""))
        if origin:
            text += "\n              from %s / %s" % (origin.get("foreground"), origin.get("background"))
    return text


def record(path, kept, unexplained):
    """Rewrites the differences file with its comment, the explanations KEPT, and one line for each
    disagreement not explained."""
    with open(path) if os.path.exists(path) else open(os.devnull) as old:
        comment = [line for line in old if line.startswith("#")]
    with open(path, "w") as out:
        out.writelines(comment)
        for entry in kept:
            out.write(json.dumps(entry, ensure_ascii=False) + "\n")
        for difference in unexplained:
            entry = {f: difference[f] for f in KEY_FIELDS if f in difference}
            entry["reason"] = NOT_LOOKED_INTO
            out.write(json.dumps(entry, ensure_ascii=False) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("hueloom")
    parser.add_argument("cache")
    parser.add_argument("--strict", action="store_true")
    parser.add_argument("--all", action="store_true", help="print every disagreement, not the first 60")
    parser.add_argument("--page", action="append", help="only this page (again for more)")
    parser.add_argument("--axe", default=os.path.join(HERE, "axe.jsonl"))
    parser.add_argument("--differences", default=os.path.join(HERE, "differences.jsonl"))
    parser.add_argument("--record", action="store_true",
                        help="rewrite the differences file: drop the explanations that match nothing, and add "
                             "every disagreement not explained, with the reason '%s'" % NOT_LOOKED_INTO)
    args = parser.parse_args()

    axe = axe_nodes(args.axe)
    extra = options(args.hueloom)
    explanations = read_jsonl(args.differences) if os.path.exists(args.differences) else []
    used = [False] * len(explanations)
    unexplained, explained = [], []
    totals = collections.Counter()
    any_elements = False
    print("%-26s %-5s %5s %5s %5s | %5s %5s %5s %5s %5s | %6s %4s %6s" % (
        "page", "", "axe:F", "P", "R", "judgd", "agree", "falsP", "revw", "notJ", "agree%", "exit", "axe"))
    for name, path in corpus.pages(args.cache):
        if args.page and name not in args.page:
            continue
        for scheme in SCHEMES:
            nodes = axe.get((name, scheme), {})
            status, elements, problem = run_hueloom(args.hueloom, path, scheme, extra)
            if problem:
                print("%s %s: %s" % (name, scheme, problem))
            any_elements = any_elements or elements is not None
            judged = {(e["index"], e["check"]): e for e in elements or []}
            counts = collections.Counter()
            for key, node in nodes.items():
                counts["axe " + node["outcome"]] += 1
                if node["outcome"] == "incomplete":
                    continue
                verdict = judged[key]["verdict"] if key in judged else None
                counts["decided"] += 1
                counts["agree"] += verdict == node["outcome"]
                counts["false pass"] += node["outcome"] == "fail" and verdict in (None, "pass")
                counts["not judged"] += verdict is None
            counts["judged"] = len(judged)
            counts["review"] = sum(1 for e in judged.values() if e["verdict"] == "review")
            wanted = 1 if counts["axe fail"] else 0
            counts["pages"] += 1
            counts["page verdicts agree"] += status == wanted
            totals.update(counts)
            share = 100.0 * counts["agree"] / counts["decided"] if counts["decided"] else 100.0
            print("%-26s %-5s %5d %5d %5d | %5d %5d %5d %5d %5d | %5.1f%% %4d %6d" % (
                name, scheme, counts["axe fail"], counts["axe pass"], counts["axe incomplete"], counts["judged"],
                counts["agree"], counts["false pass"], counts["review"], counts["not judged"], share, status,
                wanted))
            for difference in disagreements(name, scheme, nodes, elements, status):
                matches = explained_by(difference, explanations)
                for i in matches:
                    used[i] = True
                (explained if matches else unexplained).append(difference)

    agreement = 100.0 * totals["agree"] / totals["decided"] if totals["decided"] else 100.0
    review = 100.0 * totals["review"] / totals["judged"] if totals["judged"] else 0.0
    print()
    print("texts axe-core decides: %d (%d fail, %d pass); it leaves %d incomplete" % (
        totals["decided"], totals["axe fail"], totals["axe pass"], totals["axe incomplete"]))
    print("false passes:  %6d   (target 0)" % totals["false pass"])
    print("agreement:     %5.1f%%   (target >= 98%%; %d of %d; %d not judged)" % (
        agreement, totals["agree"], totals["decided"], totals["not judged"]))
    print("review share:  %5.1f%%   (target <= 5%%; %d of %d judged)" % (review, totals["review"], totals["judged"]))
    print("page verdicts: %d of %d agree (target all)" % (totals["page verdicts agree"], totals["pages"]))
    print("disagreements: %d explained in differences.jsonl, %d not" % (len(explained), len(unexplained)))
    pending = [e for e, u in zip(explanations, used) if u and e.get("reason", "").startswith(NOT_LOOKED_INTO)]
    if pending:
        print("               (%d of the explanations say '%s')" % (len(pending), NOT_LOOKED_INTO))
    kinds = collections.Counter((d["check"], str(d["axe"]), str(d["hueloom"])) for d in unexplained)
    for (check, said, verdict), count in sorted(kinds.items(), key=lambda kind: -kind[1]):
        print("  %5d  %-12s axe-core %-10s Hueloom %s" % (count, check, said, verdict))
    shown = unexplained if args.all else unexplained[:60]
    if shown:
        print("\nnot explained%s:" % ("" if args.all else " (the first %d; --all for every one)" % len(shown)))
        for difference in shown:
            print("  " + describe(difference))
    # With --page, an explanation of another page's texts is not looked at.
    stale = [e for e, u in zip(explanations, used) if not u and (args.page is None or e.get("page") in args.page)]
    if stale:
        print("\nexplanations in differences.jsonl that no longer match a disagreement:")
        for entry in stale:
            print("  " + json.dumps(entry))
    if args.record:
        record(args.differences, [e for e, u in zip(explanations, used) if u or args.page and e.get("page")
                                  not in args.page], unexplained)
        print("\nwrote %s" % args.differences)
    if not args.strict:
        return 0
    if not any_elements:
        print("\nskipped: this Hueloom's JSON has no elements: it does not judge a page's texts yet")
        return 77
    return 1 if unexplained or stale else 0


if __name__ == "__main__":
    sys.exit(main())
