# Drives a page in headless Chromium (Debian's, through its chromedriver), for the web test and the
# benchmark: serves the folder SITE on the loopback and starts the browser, then reads commands,
# one a line, each a Python expression over the helpers below, and prints each one's value on a
# line ("error: ..." when it fails):
#   browser.py SITE [TEXT_SIZE]    TEXT_SIZE: the browser's text size in pixels (16 by default)
#   keys(*KEYS)   presses KEYS on the focused element: Tab, End, space, Escape, shift+Home...;
#                 anything else is typed as it is
#   click(ID)     clicks the element of id ID
#   js(CODE)      runs the script CODE in the page; its value
#   names()       the buttons and text boxes in Chromium's accessibility tree, in its order,
#                 "role: name" each, joined with "|"
#   load()        loads the page
#   offline()     stops serving: the network is gone
import functools, http.server, os, sys, tempfile, threading
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys


# The site's files, served quietly.
Files = type("Files", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *_: None})
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Files, directory=sys.argv[1]))
threading.Thread(target=server.serve_forever, daemon=True).start()
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
# As root with no sandbox of its own, and asking no host of Google's for anything.
for flag in ("--headless", "--no-sandbox", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--no-first-run", "--user-data-dir=" + tempfile.mkdtemp(dir=os.path.dirname(os.path.realpath(sys.argv[1])))):
    options.add_argument(flag)
options.add_experimental_option("prefs", {"webkit.webprefs.default_font_size": int((sys.argv + ["16"])[2])})
d = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def load(): d.get(f"http://127.0.0.1:{server.server_port}/")


def keys(*names):
    chain = ActionChains(d)
    for name in names:
        *held, key = name.split("+")
        [chain.key_down(getattr(Keys, k.upper())) for k in held]
        chain.send_keys(getattr(Keys, key.upper(), key))
        [chain.key_up(getattr(Keys, k.upper())) for k in held]
    chain.perform()


def click(id): d.find_element("id", id).click()


def js(code): return d.execute_script(code)


def names():
    nodes = d.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    return "|".join(f"{n['role']['value']}: {n['name']['value']}" for n in nodes
                    if n.get("role", {}).get("value") in ("button", "textbox") and not n["ignored"])


def offline(): server.shutdown()


for line in sys.stdin:
    try:
        print(eval(line), flush=True)
    except Exception as e:
        print("error:", (str(e) or type(e).__name__).splitlines()[0], flush=True)
d.quit()
