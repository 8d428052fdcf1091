#!/usr/bin/env python3
"""Fails when the folders of src/core include each other in a cycle.

A folder is a direct child of src/core (design/engine and design/workbench count as two).
An edge A -> B means a file in A includes a header in B. Prints the graph with --graph."""
import os, re, sys
from collections import defaultdict

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
CORE = os.path.join(ROOT, "core")
INCLUDE = re.compile(r'\s*#\s*include\s+"(core/[^"]+)"')

def folder(rel):  # rel: path below src/core
    parts = rel.split("/")
    return "/".join(parts[:2]) if parts[0] == "design" and len(parts) > 2 else parts[0]

def graph():
    edges = defaultdict(set)
    for d, _, files in os.walk(CORE):
        for f in files:
            if not f.endswith((".h", ".cpp")):
                continue
            path = os.path.join(d, f)
            a = folder(os.path.relpath(path, CORE).replace(os.sep, "/"))
            with open(path, encoding="utf-8") as fh:
                for line in fh:
                    m = INCLUDE.match(line)
                    if m:
                        b = folder(m.group(1)[len("core/"):])
                        if a != b:
                            edges[a].add(b)
    return edges

def cycles(edges):
    # Tarjan's strongly connected components; a component of two or more folders is a cycle.
    index, low, stack, on, out, n = {}, {}, [], set(), [], [0]
    def visit(v):
        index[v] = low[v] = n[0]; n[0] += 1; stack.append(v); on.add(v)
        for w in edges.get(v, ()):
            if w not in index:
                visit(w); low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            comp = []
            while True:
                w = stack.pop(); on.discard(w); comp.append(w)
                if w == v: break
            if len(comp) > 1: out.append(sorted(comp))
    nodes = set(edges) | {b for bs in edges.values() for b in bs}
    for v in sorted(nodes):
        if v not in index: visit(v)
    return out

if __name__ == "__main__":
    edges = graph()
    if "--graph" in sys.argv:
        for a in sorted(edges):
            print(f"{a} -> {', '.join(sorted(edges[a]))}")
    found = cycles(edges)
    for comp in found:
        print("include cycle between core folders: " + ", ".join(comp), file=sys.stderr)
        for a in comp:
            for b in sorted(edges[a] & set(comp)):
                print(f"  {a} -> {b}", file=sys.stderr)
    sys.exit(1 if found else 0)
