#!/usr/bin/python3
"""The layers of the product: each folder may include only the folders below
it (and itself). Prints each include that points elsewhere, with its place,
and exits 1 when there is one.

    tools/check_layers.py [ROOT]
"""
import os
import re
import sys

# What each folder may include besides itself.
BELOW = {
    "platform": set(),
    "format": set(),
    "common": {"platform", "format"},
    "dialogues": {"platform", "format", "common"},
    "morvek": {"platform", "format", "common", "dialogues"},
    "cindral": {"platform", "format", "common", "dialogues"},
    "quillet": {"platform", "format", "common", "dialogues"},
    "inspect": {"platform", "format"},
    "answers": {"platform", "format", "inspect"},
    "check": {"platform", "format", "inspect"},
    "report": {"platform", "format", "inspect", "check"},
    "gwinspect": {"platform", "format", "common", "dialogues", "inspect", "answers", "check", "report"},
    "python": {"platform", "format", "common", "dialogues", "inspect", "answers", "check", "report"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    wrong = []
    for folder, allowed in BELOW.items():
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(dirpath, name)
                text = open(path, encoding="utf-8", errors="replace").read()
                for m in INCLUDE.finditer(text):
                    target = m.group(1)
                    top = target.split("/")[0] if "/" in target else None
                    if top is None:
                        wrong.append((path, text.count("\n", 0, m.start()) + 1, target, "not written from the root"))
                    elif top != folder and top not in allowed and top in BELOW:
                        wrong.append((path, text.count("\n", 0, m.start()) + 1, target, folder + " may not include " + top))
    for path, line, target, why in wrong:
        print(f"{os.path.relpath(path, root)}:{line}: \"{target}\": {why}")
    if not wrong:
        print(f"check_layers: every include of the {len(BELOW)} folders points down the layers")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
