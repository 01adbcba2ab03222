#!/usr/bin/env python3
"""Every library the developer's build installs from packages.txt is also one of the source
package's Build-Depends, so that a distribution's build finds it.

usage: build_depends_test.py <source tree>
"""

import re
import sys

# Libraries of builds the Debian package does not make.
NOT_IN_PACKAGE_BUILD = {
    "libbenchmark-dev": "the frame-cost benchmark",
    "libclang-rt-14-dev": "the fuzzer",
}


def wanted_libraries(path):
    with open(path) as f:
        names = [line.strip() for line in f if line.strip() and not line.lstrip().startswith("#")]
    return {n for n in names if n.startswith("lib") and n.endswith("-dev")}


def build_depends(path):
    with open(path) as f:
        control = f.read()
    field = re.search(r"^Build-Depends:((?:.*)(?:\n[ \t].*)*)", control, re.MULTILINE)
    if not field:
        sys.exit(f"{path} has no Build-Depends")
    return {re.split(r"[\s(<\[:]", entry.strip())[0]
            for entry in re.split(r"[,|]", field.group(1)) if entry.strip()}


def main():
    source = sys.argv[1]
    missing = wanted_libraries(f"{source}/packages.txt") - set(NOT_IN_PACKAGE_BUILD)
    missing -= build_depends(f"{source}/debian/control")
    if missing:
        print(f"packages.txt builds against {sorted(missing)}, missing from debian/control's "
              "Build-Depends")
        return 1
    print("every library of packages.txt is a Build-Depends")
    return 0


if __name__ == "__main__":
    sys.exit(main())
