# The names a screen reader gives the buttons and boxes of the Linux window, as it finds them in
# the accessibility tree on the session bus (AT-SPI), printed joined with "|" in the tree's order.
import time, pyatspi


def name(node):  # its own name, or else the label it is "labelled by"
    return node.name or " ".join(r.getTarget(0).name for r in node.getRelationSet()
                                 if r.getRelationType() == pyatspi.RELATION_LABELLED_BY)


for _ in range(50):  # the program is on the bus within 5 s
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "brumbesang"]
    if apps or time.sleep(0.1):
        break
controls = lambda node: node.getRoleName() in ("push button", "text")
print("|".join(f"{n.getRoleName()}: {name(n)}" for app in apps
               for n in pyatspi.findAllDescendants(app, controls)))
