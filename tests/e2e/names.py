# What a screen reader finds in the Linux window, in its accessibility tree on the session bus
# (AT-SPI):
#   names.py                  the names it gives the buttons and boxes, joined with "|" in the
#                             tree's order
#   names.py focus COMMAND    runs COMMAND (a key that moves the focus into a box) and prints the
#                             events the box then sent, in order (each once in a row), and its
#                             selected text: "state-changed text-selection-changed|1" as it
#                             should be, once it has told of its focus
import itertools, subprocess, sys, time, pyatspi
from gi.repository import GLib


def name(node):  # its own name, or else the label it is "labelled by"
    return node.name or " ".join(r.getTarget(0).name for r in node.getRelationSet()
                                 if r.getRelationType() == pyatspi.RELATION_LABELLED_BY)


for _ in range(50):  # the program is on the bus within 5 s
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "brumbesang"]
    if apps or time.sleep(0.1):
        break
controls = [n for app in apps for n in pyatspi.findAllDescendants(
    app, lambda node: node.getRoleName() in ("push button", "text"))]
if len(sys.argv) == 1:
    sys.exit(print("|".join(f"{n.getRoleName()}: {name(n)}" for n in controls)))
box, events = controls[2].queryText(), []


def heard(event):  # the box's gaining the focus, or a change of its selection
    if event.source.getRoleName() == "text" and (event.detail1 or "selection" in event.type):
        events.append(event.type.major)
    if "selection" in event.type:  # and half a second for a focus event after it, a fault's
        GLib.timeout_add(500, pyatspi.Registry.stop)


pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused",
                                       "object:text-selection-changed")
box.getText(0, -1)  # once the program has answered, it knows of the listener
subprocess.run(sys.argv[2:], check=True)
GLib.timeout_add_seconds(10, pyatspi.Registry.stop)
pyatspi.Registry.start()
print(" ".join(k for k, _ in itertools.groupby(events)) + "|" + box.getText(*box.getSelection(0)))
