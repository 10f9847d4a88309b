#!/usr/bin/env python3
"""Says which tests of the last run were skipped or not run, and why, from
the JUnit file ctest wrote (tools/test.sh asks for it).

    test_summary.py junit.xml [--strict]

--strict: exits 1 when any test was skipped or not run (CI wants every
test to have run), or when the file is missing.
"""
import re
import sys
import xml.etree.ElementTree as ET


def reason(output):
    """The reason a test gave for skipping: a script's "SKIPPED: ..." line,
    or the message gtest prints after "...: Skipped"."""
    lines = output.splitlines()
    for i, line in enumerate(lines):
        m = re.search(r"SKIPPED: (.+)", line)
        if m:
            return m.group(1).strip()
        if line.rstrip().endswith(": Skipped") and i + 1 < len(lines):
            return lines[i + 1].strip()
    return "no reason given"


def main():
    args = [a for a in sys.argv[1:] if a != "--strict"]
    strict = "--strict" in sys.argv[1:]
    if len(args) != 1:
        sys.exit(__doc__)
    try:
        root = ET.parse(args[0]).getroot()
    except (OSError, ET.ParseError) as e:
        print(f"no test results to check ({e})", file=sys.stderr)
        return 1 if strict else 0
    skipped, not_run, total = [], [], 0
    for case in root.iter("testcase"):
        total += 1
        name = case.get("name", "?")
        output = case.findtext("system-out") or ""
        if case.find("skipped") is not None and case.get("status") not in ("notrun", "disabled"):
            skipped.append((name, reason(output)))
        elif case.get("status") in ("notrun", "disabled"):
            message = case.find("skipped")
            not_run.append((name, message.get("message", "") if message is not None else case.get("status")))
    if skipped:
        print(f"{len(skipped)} of {total} tests were skipped:")
        by_reason = {}
        for name, why in skipped:
            by_reason.setdefault(why, []).append(name)
        for why, names in sorted(by_reason.items()):
            print(f"  {len(names)} because {why}: {', '.join(names[:5])}{' ...' if len(names) > 5 else ''}")
    if not_run:
        print(f"{len(not_run)} of {total} tests did not run:")
        for name, why in not_run:
            print(f"  {name}: {why or 'not run'}")
    if strict and (skipped or not_run):
        print("FAIL: every test must run; see above", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
