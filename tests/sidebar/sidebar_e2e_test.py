#!/usr/bin/env python3
"""End to end: QuorvaneSidebar.exe under Wine (null graphics driver, no X)
with the sample feeds from a local server, driven by its --script steps.

    sidebar_e2e_test.py BUILD_DIR
"""
import os
import struct
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


def read_state(path):
    """(feed list, refresh ms, wait ms, speed) from a saved gadget state."""
    with open(path, "rb") as f:
        data = f.read()
    version, length = struct.unpack_from("<II", data, 0)
    text = data[8:8 + length].decode("utf-16-le").rstrip("\0")
    refresh, wait, speed = struct.unpack_from("<iii", data, 8 + length)
    return version, text, refresh, wait, speed


class FeedServer:
    def __enter__(self):
        self.portfile = tempfile.mktemp()
        self.process = subprocess.Popen([sys.executable, os.path.join(HERE, "sidebar_server.py"),
                                         "--port-file", self.portfile], stdout=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(self.portfile):
                break
            time.sleep(0.05)
        with open(self.portfile) as f:
            self.base = "http://127.0.0.1:%s" % f.read().strip()
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()
        os.unlink(self.portfile)


class SidebarEndToEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = FeedServer().__enter__()
        cls.feeds = [cls.server.base + "/samples/" + name for name in SAMPLES]

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
                   os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebar.exe"),
                   "--only-quorvane", "--state", win(self.state), *args, "--script", script]
        return subprocess.Popen(command, env=dict(os.environ, QUORVANE_BUILD_DIR=BUILD),
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

    def run_sidebar(self, script, *args):
        process = self.sidebar(script, *args)
        output, _ = process.communicate(timeout=120)
        self.assertEqual(process.returncode, 0, output.decode(errors="replace"))

    def test_types_headlines_with_bars_and_the_menu_pauses_it(self):
        p = lambda name: win(self.path(name))
        self.run_sidebar(
            "wait 6000; capture %s; wait 800; capture %s; dump %s; menu Pause; wait 400; capture %s; "
            "wait 1500; capture %s; dump %s; menu Pause; wait 800; capture %s; exit"
            % (p("a.bmp"), p("b.bmp"), p("d1.txt"), p("p1.bmp"), p("p2.bmp"), p("d2.txt"), p("c.bmp")),
            "--speed", "10", "--feeds", *self.feeds)
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
        text = (left, top + BAR, right, bottom - BAR)
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

    def test_settings_applied_through_the_page_are_saved_at_once_and_survive_a_restart(self):
        # 207: seconds to wait between screens, 201: minutes between reloads;
        # 1: the frame's OK button.
        process = self.sidebar("wait 1500; menu Settings; wait 1500; set-item 207 4; set-item 201 12; wait 300; "
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

        self.run_sidebar("wait 1500; dump %s; exit" % win(self.path("after.txt")))
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
                self.run_sidebar("wait 1500; dump %s; exit" % win(dump))
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
        wrong = subprocess.run([os.path.join(ROOT, "scripts", "wine-run"), exe, "--feed", "http://127.0.0.1:9/"],
                               env=env, capture_output=True, timeout=120)
        self.assertEqual(wrong.returncode, 1)
        self.assertIn(b"unknown option --feed", wrong.stderr)

    def test_an_installed_sidebar_registers_the_gadget_and_creates_it_from_its_class(self):
        # Installed into a copy of the test prefix, thrown away afterwards.
        run = os.path.join(ROOT, "scripts", "wine-run")
        env = dict(os.environ, QUORVANE_BUILD_DIR=BUILD)
        subprocess.run([run, "cmd", "/c", "exit"], env=env, capture_output=True, timeout=120)
        prefix = os.path.join(self.dir, "prefix")
        copy_prefix(os.path.join(BUILD, "wineprefix"), prefix)
        env["WINEPREFIX"] = prefix
        exe = os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebar.exe")
        plugins = "HKCU\\Software\\QuorvaneSidebar\\Plugins"
        wine = lambda *args: subprocess.run([run, *args], env=env, capture_output=True, timeout=120)
        try:
            installed = wine(exe, "--install")
            self.assertEqual(installed.returncode, 0, installed.stdout + installed.stderr)
            record = wine("reg", "query", plugins, "/s").stdout.decode(errors="replace")
            self.assertIn("{D92EDB2C-3B62-49ED-9568-9706F095C8C0}", record)
            self.assertIn("RSS quorvane", record)

            dump = self.path("installed.txt")
            started = wine(exe, "--state", win(self.state), "--script", "wait 1500; dump %s; exit" % win(dump))
            self.assertEqual(started.returncode, 0, started.stdout + started.stderr)
            values = read_dump(dump)
            self.assertEqual((values["gadgets"], values["created_from"]), ("1", "registration"))

            removed = wine(exe, "--uninstall")
            self.assertEqual(removed.returncode, 0, removed.stdout + removed.stderr)
            self.assertNotEqual(wine("reg", "query", plugins + "\\{D92EDB2C-3B62-49ED-9568-9706F095C8C0}").returncode, 0)
        finally:
            subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=env, capture_output=True)
            subprocess.run(["rm", "-rf", prefix])


if __name__ == "__main__":
    BUILD = sys.argv.pop(1)
    unittest.main(verbosity=2)
