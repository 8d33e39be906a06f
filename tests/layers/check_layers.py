#!/usr/bin/env python3
"""Holds every include of src/ against the table of allowed edges between
the layers: a layer may include itself and the layers below it, nothing
else. Prints each include outside the table and exits 1 when there is one.

    check_layers.py SRC_DIR     check a source tree
    check_layers.py --self-test check that the checker catches what it must
"""
import os
import re
import sys
import tempfile

# The folder of a file (its path below src/, longest prefix first) gives its
# layer. drawing/ and labels/ are the interpreter's sibling handler sets:
# both may use the interpreter's core, neither the other.
LAYERS = [
    ("platform/posix/", "os"),
    ("platform/win32/", "os"),
    ("platform/", "base"),  # the ports
    ("common/", "base"),
    ("resources/", "base"),  # the string table's names
    ("settings/", "settings"),
    ("interpreter/", "interpreter"),
    ("drawing/", "drawing"),
    ("labels/", "labels"),
    ("output/", "output"),
    ("cli/", "front end"),
    ("shell/", "front end"),
    ("dde/", "front end"),
    ("update/", "front end"),
]

# What each layer may include: layers, or single headers (the ports an
# adapter implements).
ALLOWED = {
    "base": {"base"},
    "settings": {"settings", "base"},
    "interpreter": {"interpreter", "settings", "base"},
    "drawing": {"drawing", "interpreter", "settings", "base"},
    "labels": {"labels", "interpreter", "settings", "base"},
    "output": {"output", "settings", "base"},
    "os": {"os", "base", "settings/settings_store.h"},
    "front end": {"front end", "os", "output", "interpreter", "drawing", "labels", "settings", "base"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    for prefix, layer in LAYERS:
        if path.startswith(prefix):
            return layer
    return None


def check(src):
    problems = []
    for folder, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp", ".inc")):
                continue
            full = os.path.join(folder, name)
            path = os.path.relpath(full, src).replace(os.sep, "/")
            layer = layer_of(path)
            if layer is None:
                problems.append(f"{path}: the folder has no layer in the table (tests/layers/check_layers.py)")
                continue
            with open(full, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m or "/" not in m.group(1):
                        continue  # system headers, and files beside the includer
                    target = m.group(1)
                    used = layer_of(target)
                    allowed = ALLOWED[layer]
                    if used is not None and (used in allowed or target in allowed):
                        continue
                    may = ", ".join(sorted(allowed))
                    problems.append(f"{path}:{number}: includes {target} ({used or 'no layer'}); "
                                    f"{layer} may use only: {may}")
    return problems


def self_test():
    cases = {
        # (file, its text): whether the checker must complain
        ("drawing/a.cpp", '#include "labels/b.h"\n'): True,
        ("labels/b.cpp", '#include "drawing/a.h"\n'): True,
        ("interpreter/c.cpp", '#include "output/emz.h"\n'): True,
        ("output/d.cpp", '#include "interpreter/tessella.h"\n'): True,
        ("settings/e.cpp", '#include "platform/posix/x.h"\n'): True,
        ("platform/posix/f.cpp", '#include "settings/settings_sets.h"\n'): True,
        ("common/g.cpp", '#include "settings/settings_set.h"\n'): True,
        ("nowhere/h.cpp", "\n"): True,
        ("drawing/i.cpp", '#include "interpreter/output_routines.h"\n#include <vector>\n'): False,
        ("platform/posix/j.cpp", '#include "settings/settings_store.h"\n#include "common/notify.h"\n'): False,
        ("cli/k.cpp", '#include "output/emz.h"\n#include "labels/fonts.h"\n'): False,
    }
    failures = 0
    for (path, text), must in cases.items():
        with tempfile.TemporaryDirectory() as tmp:
            os.makedirs(os.path.join(tmp, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(tmp, path), "w") as f:
                f.write(text)
            found = bool(check(tmp))
            if found != must:
                failures += 1
                print(f"self-test: {path} with {text.strip()!r}: expected "
                      f"{'a complaint' if must else 'none'}, got {'one' if found else 'none'}")
    print(f"self-test: {len(cases) - failures} of {len(cases)} cases as expected")
    return 1 if failures else 0


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--self-test":
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    problems = check(sys.argv[1])
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) outside the table of allowed edges")
        return 1
    print("every include of src/ is an allowed edge")
    return 0


if __name__ == "__main__":
    sys.exit(main())
