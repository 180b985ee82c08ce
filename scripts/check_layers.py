#!/usr/bin/env python3
"""Fails when an include in src/ points up the layers.

The folders below src/ in their order, lowest first; a file may include from
its own layer or a lower one. Code outside a platform folder (win32, posix)
never includes from one: the portable library must build on its own.
Prints each offending include as file:line and exits 1.
"""
import pathlib
import re
import sys

LAYERS = ["sys", "core", "status", "reports", "net", "app", "ui"]
PLATFORM_FOLDERS = {"win32", "posix"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def where(path_in_src):
    """(layer rank, platform folder or None) of a path relative to src/."""
    parts = pathlib.PurePosixPath(path_in_src).parts
    if not parts or parts[0] not in LAYERS:
        return None, None
    platform = parts[1] if len(parts) > 2 and parts[1] in PLATFORM_FOLDERS else None
    return LAYERS.index(parts[0]), platform


def offences(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".hpp", ".cpp", ".cc", ".rc") or not path.is_file():
            continue
        rel = path.relative_to(src).as_posix()
        rank, platform = where(rel)
        if rank is None:
            yield "%s: not in a layer folder (%s)" % (path, ", ".join(LAYERS))
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            target = m.group(1)
            to_rank, to_platform = where(target)
            if to_rank is None:
                if "/" in target:
                    yield "%s:%d includes %s, which is in no layer" % (path, number, target)
                continue
            if to_rank > rank:
                yield "%s:%d includes %s: %s/ is above %s/" % (
                    path, number, target, LAYERS[to_rank], LAYERS[rank])
            elif to_platform and not platform:
                yield "%s:%d includes %s: portable code includes %s code" % (
                    path, number, target, to_platform)


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                       pathlib.Path(__file__).resolve().parent.parent / "src")
    found = list(offences(src))
    for line in found:
        print(line)
    print("layers: %d include%s pointing up" % (len(found), "" if len(found) == 1 else "s"))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
