#!/usr/bin/env python3
"""Fails when units of the tree include each other, directly or round a
longer circle. A unit is a source file with its header (window_dpi.cpp and
window_dpi.h); a unit includes another when either of its files includes
the other's header. A circle means neither can be read, built or tested
without the other, so a lower file must never reach up.

    check_include_cycles.py SOURCE_DIR FOLDER...
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)\.h"', re.M)


def units_of(root, folders):
    edges = {}
    for folder in folders:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if not name.endswith(('.cpp', '.h', '.c')):
                    continue
                path = os.path.join(directory, name)
                unit = os.path.relpath(path, root).rsplit('.', 1)[0]
                with open(path, encoding='utf-8', errors='replace') as source:
                    included = set(INCLUDE.findall(source.read()))
                edges.setdefault(unit, set()).update(included - {unit})
    return edges


def circles(edges):
    found, state = [], {}

    def visit(unit, path):
        state[unit] = 'open'
        path.append(unit)
        for other in sorted(edges.get(unit, ())):
            if other not in edges:
                continue
            if state.get(other) == 'open':
                found.append(path[path.index(other):] + [other])
            elif other not in state:
                visit(other, path)
        path.pop()
        state[unit] = 'done'

    for unit in sorted(edges):
        if unit not in state:
            visit(unit, [])
    return found


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip().splitlines()[-1].strip())
        return 2
    edges = units_of(sys.argv[1], sys.argv[2:])
    found = circles(edges)
    for circle in found:
        print('includes run in a circle: ' + ' -> '.join(circle))
    print(f'{len(edges)} units in {", ".join(sys.argv[2:])}; {len(found)} circles')
    return 1 if found or not edges else 0


if __name__ == '__main__':
    sys.exit(main())
