#!/usr/bin/python3
"""Reads the HTML command reference in headless Chromium as a user does: every command
and topic is there and listed, the search box shows the matching entries only, a link
in the list leads to its entry, and the page logs no error.

    reference_browser.py VRX    (skipped, exit 77, without chromium, chromedriver or selenium)
"""
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def lines_of(vrx, *args):
    return subprocess.run([vrx, *args], check=True, capture_output=True, text=True).stdout.splitlines()


def main():
    vrx = sys.argv[1]
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys
    except ImportError:
        print("python3-selenium is not installed: browser test skipped")
        return SKIP
    chromium, driver = shutil.which("chromium"), shutil.which("chromedriver")
    if not chromium or not driver:
        print("chromium or chromedriver is not installed: browser test skipped")
        return SKIP

    names = [w[1] for w in (l.split() for l in lines_of(vrx, "commands")) if len(w) > 1 and w[1].startswith("VRX_")]
    help_lines = lines_of(vrx, "help")
    first = help_lines.index("Topics:") + 1
    topics = [l.split()[0] for l in help_lines[first:help_lines.index("", first)]]
    assert len(names) > 100 and len(topics) >= 6, (len(names), topics)

    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)

    with tempfile.TemporaryDirectory() as tmp:
        page = os.path.join(tmp, "reference.html")
        with open(page, "wb") as out:
            subprocess.run([vrx, "help", "--html"], stdout=out, check=True)
        options = webdriver.ChromeOptions()
        options.binary_location = chromium
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--user-data-dir=" + os.path.join(tmp, "profile")):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        browser = webdriver.Chrome(options=options, service=Service(executable_path=driver))
        try:
            browser.get("file://" + page)
            run = browser.execute_script
            entries = run("return Array.from(document.querySelectorAll('section.entry'), "
                          "e => [e.id, e.textContent.toLowerCase()])")
            ids = [e[0] for e in entries]
            check(sorted(ids) == sorted(names + topics),
                  "entries differ from the commands and topics: %s" % sorted(set(ids) ^ set(names + topics)))
            listed = run("return Array.from(document.querySelectorAll('li > a[href^=\"#\"]'), a => a.hash.slice(1))")
            check(sorted(listed) == sorted(ids), "the list and the entries differ: %s" % sorted(set(listed) ^ set(ids)))

            def shown():
                return (set(run("return Array.from(document.querySelectorAll('section.entry'))"
                                ".filter(e => e.offsetParent !== null).map(e => e.id)")),
                        set(run("return Array.from(document.querySelectorAll('li > a[href^=\"#\"]'))"
                                ".filter(a => a.offsetParent !== null).map(a => a.hash.slice(1))")))

            box = browser.find_element(By.ID, "q")
            for query in ("ssl", "VRX_EncodeBase64", "delimiter ticks", "states", "no-such-word"):
                box.send_keys(Keys.CONTROL, "a")
                box.send_keys(Keys.BACKSPACE)
                box.send_keys(query)
                words = query.lower().split()
                expected = {i for i, text in entries if all(w in text for w in words)}
                sections, links = shown()
                check(sections == expected, "search %r shows %s, expected %s" % (query, sorted(sections), sorted(expected)))
                check(links == expected, "search %r lists %s" % (query, sorted(links ^ expected)))
                count = browser.find_element(By.ID, "count").text
                check(count == "%d of %d" % (len(expected), len(entries)), "search %r counts %r" % (query, count))
            box.send_keys(Keys.CONTROL, "a")
            box.send_keys(Keys.BACKSPACE)
            sections, links = shown()
            check(sections == set(ids) and links == set(ids), "an empty search hides %s" % sorted(set(ids) - sections))

            # A command's link leads to its entry, whose heading is in view and not under
            # the sticky search bar.
            target = "VRX_StartTLS" if "VRX_StartTLS" in ids else names[-1]
            link = browser.find_element(By.CSS_SELECTOR, "li > a[href='#%s']" % target)
            check(link.is_displayed(), "the link to %s is hidden" % target)
            if link.is_displayed():
                link.click()
            check(browser.current_url.endswith("#" + target), "the link led to " + browser.current_url)
            visible = run("var h = document.querySelector('#' + arguments[0] + ' h3'), r = h.getBoundingClientRect();"
                          "var at = document.elementFromPoint(r.left + 2, r.top + r.height / 2);"
                          "return r.top >= 0 && r.bottom <= innerHeight && h.contains(at);", target)
            check(visible, "the heading of %s is not in view after following its link" % target)

            errors = [e for e in browser.get_log("browser") if e["level"] == "SEVERE"]
            check(not errors, "console errors: %s" % errors)
        finally:
            browser.quit()

    for f in failures:
        print("FAIL:", f)
    if failures:
        return 1
    print("reference in Chromium: %d commands and %d topics, search and links work" % (len(names), len(topics)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
