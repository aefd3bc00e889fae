#!/usr/bin/env python3
"""End to end: QuorvaneSidebar.exe under Wine (null graphics driver, no X)
with the sample feeds from a local server, driven by its --script steps.

    sidebar_e2e_test.py BUILD_DIR
"""
import os
import struct
import xml.etree.ElementTree as ElementTree
import subprocess
import sys
import tempfile
import time
import unittest
import shutil


def copy_prefix(source, target):
    """Copies a Wine prefix that other tests may be using at the same time.

    Their caches and temporary files come and go while the copy runs; those
    are left out, and a file that vanishes between listing and copying is
    not an error. The registry and the installed files are what matter."""
    volatile = shutil.ignore_patterns("INetCache", "Temp", "*.tmp")
    try:
        shutil.copytree(source, target, symlinks=True, ignore=volatile)
    except shutil.Error as error:
        gone = [e for e in error.args[0] if not os.path.exists(e[0])]
        if len(gone) != len(error.args[0]):
            raise

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import feed_server  # noqa: E402
BUILD = None
SAMPLES = ["lindmere-harbour-gazette.xml", "vallbruna-noticias.xml", "circuit-weekly.xml"]
BAR = 16  # rows of the title bar and of the link bar


def win(path):
    return "Z:" + path.replace("/", "\\")


def read_bmp(path):
    """Rows of (r, g, b) tuples, top row first, from a 24-bit BMP."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24, bits
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        start = offset + y * stride
        row = data[start:start + width * 3]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, width * 3, 3)])
    if height > 0:
        rows.reverse()
    return rows


def ink(rows, rect):
    """Pixels in rect (left, top, right, bottom) that differ from the most
    common colour of their row: text on a plain or row-wise gradient ground."""
    left, top, right, bottom = rect
    count = 0
    for y in range(top, bottom):
        row = rows[y][left:right]
        ground = max(set(row), key=row.count)
        count += sum(1 for p in row if p != ground)
    return count


def region(rows, rect):
    left, top, right, bottom = rect
    return [row[left:right] for row in rows[top:bottom]]


def read_dump(path):
    values = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition("=")
            values[key] = value
    return values


def status_rows(path):
    """The feed status window's rows from a dump, as lists of cells."""
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n")[len("status_row="):].split("|") for line in f if line.startswith("status_row=")]


def read_state(path):
    """(feed list, refresh ms, wait ms, speed) from a saved gadget state."""
    with open(path, "rb") as f:
        data = f.read()
    version, length = struct.unpack_from("<II", data, 0)
    text = data[8:8 + length].decode("utf-16-le").rstrip("\0")
    refresh, wait, speed = struct.unpack_from("<iii", data, 8 + length)
    return version, text, refresh, wait, speed


class SidebarEndToEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = feed_server.serving()
        cls.base = cls.server.__enter__()
        cls.feeds = [cls.base + "/samples/" + name for name in SAMPLES]

    @classmethod
    def tearDownClass(cls):
        cls.server.__exit__(None, None, None)

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="sidebar-e2e-")
        self.state = os.path.join(self.dir, "gadget.state")

    def path(self, name):
        return os.path.join(self.dir, name)

    def sidebar(self, script, *args, timeout=90):
        command = [os.path.join(ROOT, "scripts", "wine-run"),
                   os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebarHarness.exe"),
                   "--only-quorvane", "--state", win(self.state), *args, "--script", script]
        return subprocess.Popen(command, env=dict(os.environ, QUORVANE_BUILD_DIR=BUILD),
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

    def copied_prefix(self):
        """(environment, folder, runner) of a copy of the test prefix; the
        caller stops its wineserver and removes it."""
        run = os.path.join(ROOT, "scripts", "wine-run")
        env = dict(os.environ, QUORVANE_BUILD_DIR=BUILD)
        subprocess.run([run, "cmd", "/c", "exit"], env=env, capture_output=True, timeout=120)
        prefix = os.path.join(self.dir, "prefix")
        copy_prefix(os.path.join(BUILD, "wineprefix"), prefix)
        env["WINEPREFIX"] = prefix
        return env, prefix, lambda *args: subprocess.run([run, *args], env=env, capture_output=True, timeout=120)

    def run_sidebar(self, script, *args):
        process = self.sidebar(script, *args)
        output, _ = process.communicate(timeout=120)
        self.assertEqual(process.returncode, 0, output.decode(errors="replace"))

    def test_types_headlines_with_bars_and_the_menu_pauses_it(self):
        p = lambda name: win(self.path(name))
        self.run_sidebar(
            "wait-until 60000 fetched; wait-until 20000 not showing Connecting; wait-until 20000 text-ink 200; "
            "capture %s; wait-until 5000 text-changed; "
            "capture %s; dump %s; menu Pause; capture %s; "
            # Paused, the display holds still over fifty typing ticks.
            "wait-until 10000 typing-ticks 50; capture %s; dump %s; menu Pause; wait-until 5000 text-changed; "
            "capture %s; exit"
            % (p("a.bmp"), p("b.bmp"), p("d1.txt"), p("p1.bmp"), p("p2.bmp"), p("d2.txt"), p("c.bmp")),
            "--speed", "10", "--delay-seconds", "0", "--feeds", *self.feeds)
        d1 = read_dump(self.path("d1.txt"))
        # The plug-in site got the gadget's title, size pair and icon.
        self.assertEqual(d1["title"], "QuorvaneRSS")
        self.assertEqual(d1["default_size"], "80x50")
        self.assertEqual(d1["icon"], "1")
        self.assertEqual(d1["feeds"], "".join(url + " URL " for url in self.feeds))
        items = d1["menu"].split("|")
        self.assertEqual(items[-3:], ["Settings\u2026", "About", "Exit"])
        self.assertIn("Pause", items)

        left, top, right, bottom = map(int, d1["rect"].split(","))
        title = (left, top, right, top + BAR)
        text = (left + 2, top + BAR, right - 2, bottom - BAR)  # inside the outline
        link = (left, bottom - BAR, right, bottom)
        a, b = read_bmp(self.path("a.bmp")), read_bmp(self.path("b.bmp"))
        for name, rect in (("title bar", title), ("text area", text), ("link bar", link)):
            self.assertGreater(ink(a, rect), 20, "no text in the %s" % name)
        self.assertNotEqual(region(a, text), region(b, text), "the text area does not change while typing")

        # Paused: checked in the menu and the text area stands still.
        self.assertIn("*Pause", read_dump(self.path("d2.txt"))["menu"].split("|"))
        p1, p2 = read_bmp(self.path("p1.bmp")), read_bmp(self.path("p2.bmp"))
        self.assertEqual(region(p1, text), region(p2, text), "the display moves while paused")
        self.assertGreater(ink(p1, text), 20, "the paused display shows no text")
        self.assertNotEqual(region(p2, text), region(read_bmp(self.path("c.bmp")), text),
                            "the display does not go on after the pause ends")

    def test_next_and_previous_headline_by_menu_and_wheel_and_the_feed_status_window(self):
        p = lambda name: win(self.path(name))
        broken = "http://127.0.0.1:1/closed.xml"
        # A long wait between screens: only the menu and the wheel change them.
        self.run_sidebar(
            "wait-until 60000 fetched; wait-until 20000 not showing Connecting; wait-until 20000 text-ink 200; "
            "capture %s; menu Next headline; capture %s; "
            "menu Previous headline; capture %s; wheel -120; capture %s; wheel 120; capture %s; menu Feed status; "
            "wait-until 10000 window QuorvaneFeedStatus; capture-status %s; dump %s; exit"
            % (p("a.bmp"), p("n.bmp"), p("p.bmp"), p("w1.bmp"), p("w2.bmp"), p("status.bmp"), p("d.txt")),
            "--speed", "10", "--delay-seconds", "60", "--feeds", *self.feeds, broken)
        d = read_dump(self.path("d.txt"))
        items = d["menu"].split("|")
        self.assertEqual(items[0], "Pause")
        self.assertEqual(items[1:], ["Next headline", "Previous headline", "Feed status\u2026", "Import feeds\u2026",
                                     "Export feeds\u2026", "Settings\u2026", "About", "Exit"])

        left, top, right, bottom = map(int, d["rect"].split(","))
        title = (left, top, right, top + BAR)
        text = (left + 2, top + BAR, right - 2, bottom - BAR)  # inside the outline
        shot = {name: read_bmp(self.path(name + ".bmp")) for name in ("a", "n", "p", "w1", "w2")}
        bar = {name: region(rows, title) for name, rows in shot.items()}
        self.assertNotEqual(bar["n"], bar["a"], "Next headline shows the same headline")
        self.assertEqual(bar["p"], bar["a"], "Previous headline does not go back")
        self.assertEqual(bar["w1"], bar["n"], "wheel down is not the next headline")
        self.assertEqual(bar["w2"], bar["a"], "wheel up is not the previous headline")
        # The new headline is typed from its beginning.
        self.assertLess(ink(shot["n"], text), ink(shot["a"], text))

        self.assertEqual(d["status_open"], "1")
        rows = status_rows(self.path("d.txt"))
        self.assertEqual([row[1].split(" ")[0] for row in rows], self.feeds + [broken])
        for row in rows[:3]:
            self.assertEqual(row[2], "Read", row)
            self.assertGreater(int(row[3]), 0, row)
            self.assertRegex(row[4], r"^\d{4}-\d\d-\d\d \d\d:\d\d$", row)
            self.assertNotEqual(row[0], row[1], "the feed's title is not shown once known")
        self.assertEqual(rows[3][0], broken)
        self.assertEqual(rows[3][2:5], ["Failed", "0", "never"])
        self.assertNotEqual(rows[3][5], "", "no reason for the failed feed")
        self.assertGreater(ink(read_bmp(self.path("status.bmp")), (0, 30, 400, 90)), 100, "the status window is empty")

    def test_when_every_feed_fails_the_gadget_says_so_instead_of_connecting(self):
        # Each wait-until fails the run when its screen does not come.
        self.run_sidebar("wait-until 60000 fetched; wait-until 20000 showing No feed could be read.; "
                         "wait-until 20000 text-ink 200; exit",
                         "--speed", "10", "--feeds", "http://127.0.0.1:1/a.xml", "http://127.0.0.1:1/b.xml")
        self.run_sidebar("wait-until 20000 showing Connecting; wait-until 20000 text-ink 20; exit",
                         "--speed", "10", "--delay-seconds", "60",
                         "--feeds", self.base + "/stall-after-headers?s=20&unsized=1")

    def test_feeds_are_imported_from_and_exported_to_opml(self):
        known = self.feeds[0]
        opml = self.path("in.opml")
        with open(opml, "w", encoding="utf-8") as f:
            f.write("""<?xml version="1.0" encoding="utf-8"?>
<opml version="2.0"><head><title>Mine</title></head><body>
  <outline text="News">
    <outline text="Known" type="rss" xmlUrl="%s"/>
    <outline text="Circuit" type="rss" xmlUrl="%s"/>
    <outline text="Deeper"><outline text="Deep" xmlUrl="  http://127.0.0.1:1/deep.xml  "/></outline>
  </outline>
  <outline text="No dot" xmlUrl="localhost"/>
  <outline text="Again" xmlUrl="%s"/>
  <outline text="Folder without address"/>
</body></opml>""" % (known, self.feeds[2], self.feeds[2]))
        code, output = self.batch("--feeds", known, self.feeds[1], "--import-opml", win(opml))
        self.assertEqual(code, 0, output)
        self.assertIn("2 feeds added, 3 skipped", output)
        self.assertIn("2 already listed", output)
        self.assertIn('"localhost" is not a feed address', output)
        self.assertEqual(read_state(self.state)[1],
                         "".join(u + " URL " for u in [known, self.feeds[1], self.feeds[2], "http://127.0.0.1:1/deep.xml"]))

        # Exported while running: the feeds' own titles once read, else the
        # title the import gave them, else the address. The status window
        # shows the same.
        out = self.path("out.opml")
        self.run_sidebar("wait-until 60000 fetched; export-opml %s; wait-until 10000 control 1; press 1; "
                         "wait-until 10000 not control 1; menu Feed status; "
                         "wait-until 10000 window QuorvaneFeedStatus; "
                         "dump %s; exit" % (win(out), win(self.path("d.txt"))))
        self.assertEqual([row[0] for row in status_rows(self.path("d.txt"))][3], "Deep")
        self.assertIn("Exported 4 feeds", read_dump(self.path("d.txt"))["transfer_report"])
        outlines = ElementTree.parse(out).getroot().findall("./body/outline")
        self.assertEqual([o.get("xmlUrl") for o in outlines], [known, self.feeds[1], self.feeds[2],
                                                               "http://127.0.0.1:1/deep.xml"])
        self.assertEqual({o.get("type") for o in outlines}, {"rss"})
        self.assertTrue(all(o.get("text") == o.get("title") for o in outlines))
        self.assertNotIn(known, outlines[0].get("text"), "a read feed is not exported under its title")
        self.assertEqual(outlines[3].get("text"), "Deep", "the imported title is lost")
        self.assertNotEqual(outlines[2].get("text"), "Circuit", "a read feed is not exported under its own title")

        # Read back, the exported file adds nothing.
        code, output = self.batch("--import-opml", win(out))
        self.assertIn("0 feeds added, 4 skipped", output)

    def test_a_damaged_or_hostile_opml_file_changes_nothing(self):
        laughs = "".join('<!ENTITY l%d "%s">' % (i, "&l%d;" % (i - 1) * 10) for i in range(1, 10))
        files = {
            "not XML": "<opml version='2.0'><body><outline xmlUrl='http://a.example/x'></body>",
            "external entity": "<?xml version='1.0'?><!DOCTYPE opml [<!ENTITY x SYSTEM 'file:///etc/passwd'>]>"
                               "<opml version='2.0'><body><outline xmlUrl='http://a.example/&x;'/></body></opml>",
            "billion laughs": "<?xml version='1.0'?><!DOCTYPE opml [<!ENTITY l0 'lol'>%s]>"
                              "<opml version='2.0'><body><outline xmlUrl='http://a.example/&l9;'/></body></opml>" % laughs,
            "10 MB": "<opml version='2.0'><body>%s</body></opml>"
                     % ("<outline xmlUrl='http://a.example/%08d'/>" % 1 * 250000),
            "not OPML": open(os.path.join(ROOT, "samples", SAMPLES[0]), encoding="utf-8").read(),
        }
        self.batch("--feeds", self.feeds[0], "--export-opml", win(self.path("start.opml")))
        before = read_state(self.state)
        for name, text in files.items():
            with self.subTest(name):
                path = self.path("hostile.opml")
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
                code, output = self.batch("--import-opml", win(path))
                self.assertEqual(code, 1, output)
                self.assertIn("Nothing was imported", output)
                self.assertEqual(read_state(self.state), before)

    def batch(self, *args):
        """The sidebar with --import-opml or --export-opml: it does that and ends."""
        command = [os.path.join(ROOT, "scripts", "wine-run"),
                   os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebar.exe"),
                   "--only-quorvane", "--state", win(self.state), *args]
        result = subprocess.run(command, env=dict(os.environ, QUORVANE_BUILD_DIR=BUILD),
                                capture_output=True, timeout=120)
        return result.returncode, (result.stdout + result.stderr).decode("utf-8", errors="replace")

    def test_settings_applied_through_the_page_are_saved_at_once_and_survive_a_restart(self):
        # 207: seconds to wait between screens, 201: minutes between reloads;
        # 1: the frame's OK button.
        process = self.sidebar("wait-until 60000 fetched; menu Settings; wait-until 10000 control 207; set-item 207 4; set-item 201 12; "
                               # Open while the test looks for the save; the exit would save too.
                               "press 1; wait 6000; exit", "--feeds", *self.feeds)
        saved = None
        deadline = time.time() + 60
        while time.time() < deadline and process.poll() is None:
            if os.path.exists(self.state):
                try:
                    saved = read_state(self.state)
                except (struct.error, UnicodeDecodeError):
                    saved = None
                if saved and saved[3] == 4000:
                    break
            time.sleep(0.1)
        self.assertIsNotNone(saved, "nothing saved while the sidebar ran")
        self.assertEqual(saved[2:4], (12 * 60000, 4000), "the applied settings were not saved on apply")
        output, _ = process.communicate(timeout=120)
        self.assertEqual(process.returncode, 0, output.decode(errors="replace"))

        self.run_sidebar("dump %s; exit" % win(self.path("after.txt")))
        after = read_dump(self.path("after.txt"))
        self.assertEqual((after["delay_seconds"], after["refresh_minutes"]), ("4", "12"))
        self.assertEqual(after["feeds"], "".join(url + " URL " for url in self.feeds))

    def test_a_damaged_or_truncated_state_file_does_not_stop_the_start(self):
        cases = {
            "garbage": b"\xde\xad\xbe\xef" * 7,
            "string longer than the file": struct.pack("<II", 0x710, 0x7FFFFFF0) + b"h\0t\0",
            "too new": struct.pack("<II", 0x711, 0),
            "empty": b"",
        }
        for name, data in cases.items():
            with self.subTest(name):
                with open(self.state, "wb") as f:
                    f.write(data)
                dump = self.path("dump.txt")
                self.run_sidebar("dump %s; exit" % win(dump))
                values = read_dump(dump)
                self.assertEqual(values["gadgets"], "1")
                self.assertNotEqual(values["feeds"], "")
                # Saved again on exit, whole.
                self.assertEqual(read_state(self.state)[0], 0x710)


    def test_help_prints_the_usage_and_a_wrong_option_is_named(self):
        exe = os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebar.exe")
        env = dict(os.environ, QUORVANE_BUILD_DIR=BUILD)
        for option in ("--help", "/?"):
            shown = subprocess.run([os.path.join(ROOT, "scripts", "wine-run"), exe, option], env=env,
                                   capture_output=True, timeout=120)
            self.assertEqual((shown.returncode, shown.stderr), (0, b""), option)
            self.assertTrue(shown.stdout.startswith(b"usage: QuorvaneSidebar"), shown.stdout)
            self.assertIn(b"--install", shown.stdout)
            self.assertNotIn(b"--script", shown.stdout)
        # The shipped program carries none of the test harness.
        with open(exe, "rb") as f:
            shipped = f.read()
        for text in ("--script", "--run-for", "--stats", "--screenshot-dir", "wait-until", "capture-status"):
            for encoded in (text.encode("ascii"), text.encode("utf-16-le")):
                self.assertNotIn(encoded, shipped, text)
        wrong = subprocess.run([os.path.join(ROOT, "scripts", "wine-run"), exe, "--feed", "http://127.0.0.1:9/"],
                               env=env, capture_output=True, timeout=120)
        self.assertEqual(wrong.returncode, 1)
        self.assertIn(b"unknown option --feed", wrong.stderr)

    def test_an_installed_sidebar_registers_the_gadget_and_creates_it_from_its_class(self):
        # Installed into a copy of the test prefix, thrown away afterwards.
        env, prefix, wine = self.copied_prefix()
        exe = os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebar.exe")
        harness = os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebarHarness.exe")
        plugins = "HKCU\\Software\\QuorvaneSidebar\\Plugins"
        try:
            installed = wine(exe, "--install")
            self.assertEqual(installed.returncode, 0, installed.stdout + installed.stderr)
            record = wine("reg", "query", plugins, "/s").stdout.decode(errors="replace")
            self.assertIn("{D92EDB2C-3B62-49ED-9568-9706F095C8C0}", record)
            self.assertIn("RSS quorvane", record)

            dump = self.path("installed.txt")
            started = wine(harness, "--state", win(self.state), "--script", "dump %s; exit" % win(dump))
            self.assertEqual(started.returncode, 0, started.stdout + started.stderr)
            values = read_dump(dump)
            self.assertEqual((values["gadgets"], values["created_from"]), ("1", "registration"))

            removed = wine(exe, "--uninstall")
            self.assertEqual(removed.returncode, 0, removed.stdout + removed.stderr)
            self.assertNotEqual(wine("reg", "query", plugins + "\\{D92EDB2C-3B62-49ED-9568-9706F095C8C0}").returncode, 0)
        finally:
            subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=env, capture_output=True)
            subprocess.run(["rm", "-rf", prefix])


    def test_at_144_and_192_dpi_the_bars_grow_with_the_dpi_and_their_text_fits(self):
        # The prefix's dpi (LogPixels) in a copy of the test prefix.
        env, prefix, wine = self.copied_prefix()
        server = lambda *args: subprocess.run(["/usr/lib/wine/wineserver", *args], env=env, capture_output=True)
        exe = os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebarHarness.exe")
        outline, blue = (132, 130, 132), (1, 24, 116)
        try:
            for dpi, bar in ((144, 24), (192, 32)):
                server("-k")
                server("-w")
                set_dpi = wine("reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                               "/d", str(dpi), "/f")
                self.assertEqual(set_dpi.returncode, 0, set_dpi.stderr)
                shot, dump = self.path("dpi%d.bmp" % dpi), self.path("dpi%d.txt" % dpi)
                ran = wine(exe, "--only-quorvane", "--state", win(self.state), "--feeds", *self.feeds, "--script",
                           "wait-until 60000 fetched; wait-until 20000 not showing Connecting; "
                           "wait-until 20000 text-ink 20; capture %s; dump %s; exit"
                           % (win(shot), win(dump)))
                self.assertEqual(ran.returncode, 0, ran.stdout + ran.stderr)
                left, top, right, bottom = map(int, read_dump(dump)["rect"].split(","))
                rows = read_bmp(shot)
                # Each bar's outline runs down the gadget's left edge `bar` rows.
                column = [rows[y][left] for y in range(top, bottom)]
                self.assertEqual(column[:bar + 1], [outline] * bar + [(255, 255, 255)], "dpi %d" % dpi)
                self.assertEqual(column[-bar - 1:], [(255, 255, 255)] + [outline] * bar, "dpi %d" % dpi)
                # The title is drawn in a font grown with the bar, and stays in it.
                inked = [y for y in range(top, top + bar) if blue in rows[y][left:right]]
                self.assertTrue(inked, "no title at %d dpi" % dpi)
                self.assertGreaterEqual(inked[-1] - inked[0] + 1, bar * 0.45, "the title did not grow at %d dpi" % dpi)
                self.assertNotIn(blue, rows[top + bar][left:right], "the title spills out of its bar at %d dpi" % dpi)
        finally:
            server("-k")
            subprocess.run(["rm", "-rf", prefix])

if __name__ == "__main__":
    BUILD = sys.argv.pop(1)
    unittest.main(verbosity=2)
