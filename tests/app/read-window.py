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
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from tree(child, depth + 1)


def program():
    """Vistameter, once it has told AT-SPI of its window; None when it doesn't within 20 s."""
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            application = desktop.getChildAtIndex(i)
            if application is not None and application.name == "Vistameter" \
                    and application.childCount > 0:
                return application
        time.sleep(0.1)
    return None


# AT-SPI's registry is up before the program starts, so that the program finds it and registers.
pyatspi.Registry.getDesktop(0).childCount
started = subprocess.Popen([sys.argv[1]], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    application = program()
    if application is None:
        sys.exit("Vistameter never showed a window to AT-SPI")
    nodes = list(tree(application))
finally:
    started.terminate()
    started.wait()
heard = [(role, name) for _, role, name in nodes]
expected = [
    ("frame", "Tavik.Vistameter"),
    ("text", "QQ号码"),
    ("push button", "获取空间人气"),
    ("label", "今日访问人数：暂无"),
    ("label", "历史访问人数：暂无"),
    ("push button", "软件说明"),
    ("push button", "访问Pellin博客"),
    ("push button", "退出软件"),
    ("label", "Tavik.Vistameter 由 OmblePellin 制作 · 版权所有"),
]
problems = [f"missing: {role} {name!r}" for role, name in expected if (role, name) not in heard]
# The window itself comes first, as a frame, which a screen reader announces as a window.
if nodes[1][1:] != ("frame", "Tavik.Vistameter"):
    problems.append(f"the window is a {nodes[1][1]} {nodes[1][2]!r}")
# The help text behind the status bar and the pictures below the window are out of sight.
if [role for role in (role for role, _ in heard) if role == "text"] != ["text"]:
    problems.append("a text box out of sight is announced")
if any(role in ("image", "icon") for role, _ in heard):
    problems.append("a picture out of sight is announced")
if problems:
    for depth, role, name in nodes:
        print(f"{'  ' * depth}{role} {name!r}")
    sys.exit("\n".join(problems))
print(f"read {len(nodes)} nodes; the window is a frame")
