#!/usr/bin/env python3
"""Prints how many tests of a CTest run were skipped and why.

Reads the JUnit report of `ctest --output-junit FILE`. A skipped test gives
its reason in a line of its output that starts with "skipped: "; tests with
the same reason are counted together. Prints nothing but one line when no
test was skipped.
"""
import sys
import xml.etree.ElementTree as ElementTree

PREFIX = "skipped: "


def main(report):
    reasons = {}
    for case in ElementTree.parse(report).getroot().iter("testcase"):
        if case.find("skipped") is None:
            continue
        output = case.findtext("system-out") or ""
        lines = [line[len(PREFIX):] for line in output.splitlines() if line.startswith(PREFIX)]
        reason = lines[-1] if lines else "no reason given"
        reasons.setdefault(reason, []).append(case.get("name"))
    if not reasons:
        print("No test was skipped.")
        return
    total = sum(len(names) for names in reasons.values())
    print(f"{total} test{'s' if total != 1 else ''} skipped:")
    for reason, names in reasons.items():
        print(f"  {len(names)}: {reason}")
        print(f"     ({', '.join(sorted(names))})")


if __name__ == "__main__":
    main(sys.argv[1])
