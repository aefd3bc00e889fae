#!/usr/bin/env python3
"""The Windows installer under Wine, in a throwaway copy of the 64-bit test
prefix: a silent install with /AUTOSTART, the installed files and keys in
both registry views, the installed sidebar showing a served headline, the
gadget created by a 32-bit and a 64-bit program through the registration,
then a silent uninstall that leaves no file and the registry as it was.

    installer_test.py PACKAGE_DIR BUILD_DIR_64 BUILD_DIR_32

A screenshot of the installed sidebar is kept as BUILD_DIR_64/installer-sidebar.png.
"""
import glob
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "sidebar"))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import feed_server  # noqa: E402
from sidebar_e2e_test import BAR, copy_prefix, ink, read_bmp, read_dump, win  # noqa: E402

GADGET = "{D92EDB2C-3B62-49ED-9568-9706F095C8C0}"
LIBID = "{423FB305-07A6-4068-B657-9E86F540656C}"
UNINSTALL = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuorvaneRSS"
RUN = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
INSTDIR = "C:\\Program Files\\QuorvaneRSS"
PACKAGE = BUILD64 = BUILD32 = None


def parse_snapshot(text):
    tree = {}
    for line in text.splitlines():
        path, _, values = line.partition("\t")
        tree[path.lower()] = values
    return tree


class Installer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        setups = glob.glob(os.path.join(PACKAGE, "QuorvaneRSS-*-setup.exe"))
        assert len(setups) == 1, setups
        cls.setup_exe = setups[0]
        cls.version = os.path.basename(cls.setup_exe)[len("QuorvaneRSS-"):-len("-setup.exe")]
        cls.dir = tempfile.mkdtemp(prefix="installer-test-")
        cls.env = dict(os.environ, QUORVANE_BUILD_DIR=BUILD64)
        cls.run_wine("cmd", "/c", "exit")  # the test prefix exists and is complete
        cls.prefix = os.path.join(cls.dir, "prefix")
        copy_prefix(os.path.join(BUILD64, "wineprefix"), cls.prefix)
        cls.env["WINEPREFIX"] = cls.prefix
        cls.server = feed_server.serving()
        cls.base = cls.server.__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.server.__exit__(None, None, None)
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=cls.env, capture_output=True)
        subprocess.run(["rm", "-rf", cls.dir])

    @classmethod
    def run_wine(cls, *args, timeout=180):
        return subprocess.run([os.path.join(ROOT, "scripts", "wine-run"), *args], env=cls.env,
                              capture_output=True, timeout=timeout)

    def wait_for_wine(self):
        # The uninstaller runs on from a copy of itself in %TEMP%.
        subprocess.run(["/usr/lib/wine/wineserver", "-w"], env=self.env, timeout=180)

    def probe(self, build, command):
        result = self.run_wine(os.path.join(build, "tests", "package", "package_probe.exe"), command)
        output = result.stdout.decode("utf-8", errors="replace").replace("\r\n", "\n")
        self.assertEqual(result.returncode, 0, output + result.stderr.decode(errors="replace"))
        return output

    def unix(self, windows_path):
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    def test_silent_install_runs_registers_both_bitnesses_and_uninstalls_without_a_trace(self):
        before = {bits: parse_snapshot(self.probe(build, "snapshot")) for bits, build in ((64, BUILD64), (32, BUILD32))}

        installed = self.run_wine(self.setup_exe, "/S", "/AUTOSTART")
        self.assertEqual(installed.returncode, 0, installed.stdout + installed.stderr)
        self.wait_for_wine()
        files = ["QuorvaneSidebar.exe", "QuorvaneSidebarRegistrar.dll", "QuorvaneRSS.dll", "uninstall.exe",
                 "x86\\QuorvaneRSS.dll", "x86\\QuorvaneSidebarRegistrar.dll"]
        for name in files:
            self.assertTrue(os.path.isfile(self.unix(INSTDIR + "\\" + name)), name)
        shortcut = self.unix("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\QuorvaneRSS Sidebar.lnk")
        self.assertTrue(os.path.isfile(shortcut), "no Start-menu shortcut")

        # Each registry view names the gadget of its own bitness; the type
        # library's key is one for both views (as in Windows), with a path for
        # each platform.
        after = {bits: parse_snapshot(self.probe(build, "snapshot")) for bits, build in ((64, BUILD64), (32, BUILD32))}
        modules = {64: INSTDIR + "\\QuorvaneRSS.dll", 32: INSTDIR + "\\x86\\QuorvaneRSS.dll"}
        for bits, module in modules.items():
            with self.subTest(bits=bits):
                keys = after[bits]
                server = keys.get(("HKCR\\CLSID\\%s\\InprocServer32" % GADGET).lower())
                self.assertEqual(server, '="%s" ThreadingModel="Apartment"' % module)
                for platform in (32, 64):
                    typelib = keys.get(("HKCR\\TypeLib\\%s\\1.0\\0\\win%d" % (LIBID, platform)).lower())
                    self.assertEqual(typelib, '="%s"' % modules[platform])
                registrar = keys.get("HKCR\\CLSID\\{AC129136-EB1C-4FFF-B0A2-6D6761BE4138}\\InprocServer32".lower())
                self.assertEqual(registrar, '="%s" ThreadingModel="Both"'
                                 % module.replace("QuorvaneRSS.dll", "QuorvaneSidebarRegistrar.dll"))

        q = lambda text: '"%s"' % text
        entry = after[64].get(UNINSTALL.lower(), "")
        for value in ("DisplayName=" + q("QuorvaneRSS"), "DisplayVersion=" + q(self.version), "Publisher=",
                      "UninstallString=" + q(q(INSTDIR + "\\uninstall.exe")),
                      "QuietUninstallString=" + q(q(INSTDIR + "\\uninstall.exe") + " /S"),
                      "EstimatedSize=type 4", "DisplayIcon=" + q(q(INSTDIR + "\\QuorvaneSidebar.exe") + ",0")):
            self.assertIn(value, entry)
        self.assertIn("QuorvaneRSS Sidebar=" + q(q(INSTDIR + "\\QuorvaneSidebar.exe")), after[64].get(RUN.lower(), ""))
        self.assertIn(GADGET, "".join(k for k in after[64] if k.startswith("hkcu\\software\\quorvanesidebar")).upper())

        # A 32-bit and a 64-bit program create the gadget from its class.
        for bits, build, module in ((32, BUILD32, "\\x86\\QuorvaneRSS.dll"), (64, BUILD64, "\\QuorvaneRSS.dll")):
            created = self.probe(build, "create")
            self.assertIn("module=" + INSTDIR + module + "\n", created, bits)
            self.assertIn("FeedRefreshRate=30\n", created, bits)

        self.check_installed_sidebar_shows_a_headline()

        uninstaller = self.run_wine(INSTDIR + "\\uninstall.exe", "/S")
        self.assertEqual(uninstaller.returncode, 0, uninstaller.stdout + uninstaller.stderr)
        self.wait_for_wine()
        self.assertFalse(os.path.exists(self.unix(INSTDIR)), os.listdir(self.unix(INSTDIR))
                         if os.path.exists(self.unix(INSTDIR)) else "")
        self.assertFalse(os.path.exists(shortcut))
        for bits, build in ((64, BUILD64), (32, BUILD32)):
            now = parse_snapshot(self.probe(build, "snapshot"))
            changed = {k: v for k, v in now.items() if before[bits].get(k) != v}
            removed = [k for k in before[bits] if k not in now]
            self.assertEqual((changed, removed), ({}, []), "registry of the %d-bit view" % bits)

    def check_installed_sidebar_shows_a_headline(self):
        shot, dump = os.path.join(self.dir, "installed.bmp"), os.path.join(self.dir, "installed.txt")
        feed = self.base + "/samples/lindmere-harbour-gazette.xml"
        state = win(os.path.join(self.dir, "gadget.state"))
        # The installed sidebar loads the installed gadget and takes the feed.
        opml = os.path.join(self.dir, "installed.opml")
        exported = self.run_wine(INSTDIR + "\\QuorvaneSidebar.exe", "--only-quorvane", "--state", state,
                                 "--feeds", feed, "--export-opml", win(opml))
        self.assertEqual(exported.returncode, 0, exported.stdout + exported.stderr)
        with open(opml, encoding="utf-8") as f:
            self.assertIn(feed, f.read())
        # The test harness (never installed) shows what the installed gadget
        # types, created from its registration.
        harness = os.path.join(BUILD64, "src", "sidebar", "QuorvaneSidebarHarness.exe")
        ran = self.run_wine(harness, "--only-quorvane", "--state", state, "--feeds", feed,
                            "--script", "wait-until 60000 fetched; wait-until 20000 not showing Connecting; "
                            "wait-until 20000 text-ink 20; capture %s; dump %s; exit"
                            % (win(shot), win(dump)))
        self.assertEqual(ran.returncode, 0, ran.stdout + ran.stderr)
        values = read_dump(dump)
        self.assertEqual((values["gadgets"], values["created_from"]), ("1", "registration"))
        subprocess.run(["convert", shot, os.path.join(BUILD64, "installer-sidebar.png")], check=False)
        left, top, right, bottom = map(int, values["rect"].split(","))
        rows = read_bmp(shot)
        for name, rect in (("title bar", (left, top, right, top + BAR)),
                           ("text area", (left + 2, top + BAR, right - 2, bottom - BAR)),  # inside the outline
                           ("link bar", (left, bottom - BAR, right, bottom))):
            self.assertGreater(ink(rows, rect), 20, "no text in the %s" % name)


if __name__ == "__main__":
    PACKAGE, BUILD64, BUILD32 = (os.path.abspath(p) for p in sys.argv[1:4])
    del sys.argv[1:4]
    unittest.main(verbosity=2)
