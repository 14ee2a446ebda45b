# SPDX-License-Identifier: MIT
# What a screen reader finds of Vistameter's window over AT-SPI, checked against what the user
# sees. Run by test-screen-reader on a session bus of its own:
#   read-window.py PROGRAM
import subprocess
import sys
import time

import pyatspi


def tree(node, depth=0):
    """The node and everything in it, one (depth, role, name) each."""
    yield depth, node.getRoleName(), node.name
    for child in node:
        if child is not None:
            yield from tree(child, depth + 1)


def window():
    """Vistameter's tree, once it has told AT-SPI of its window; empty after 20 s without."""
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == "Vistameter" \
                    and application.childCount > 0:
                return list(tree(application))
        time.sleep(0.1)
    return []


# AT-SPI's registry is up before the program starts, so that the program finds it and registers.
pyatspi.Registry.getDesktop(0).childCount
program = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    nodes = window()
finally:
    program.terminate()
    program.wait()
heard = [(role, name) for _, role, name in nodes]
# The window first, as a frame, which a screen reader announces as a window; its controls; and
# one text box and no picture, as the help text and the pictures lie out of sight.
problems = [f"missing: {role} {name!r}" for role, name in [
    ("text", "QQ号码"), ("push button", "获取空间人气"), ("label", "今日访问人数：暂无"),
    ("label", "历史访问人数：暂无"), ("push button", "软件说明"), ("push button", "访问Pellin博客"),
    ("push button", "退出软件"), ("label", "Tavik.Vistameter 由 OmblePellin 制作 · 版权所有"),
] if (role, name) not in heard]
if heard[1:2] != [("frame", "Tavik.Vistameter")]:
    problems.append(f"the window is {heard[1:2]}")
if [role for role, _ in heard].count("text") != 1 or any(r == "image" for r, _ in heard):
    problems.append("something out of sight is announced")
if problems:
    print("\n".join(f"{'  ' * depth}{role} {name!r}" for depth, role, name in nodes))
    sys.exit("\n".join(problems))
print(f"read {len(nodes)} nodes; the window is a frame")
