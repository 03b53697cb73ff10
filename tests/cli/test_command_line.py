"""The command line, as a deployment script uses it: no display, exit codes, tab-separated list,
failure sentences on standard error, a log file, and one run at a time."""

import fcntl
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
import qvharness as qv  # noqa: E402

BUNDLES = qv.BUNDLES
FORMATS = ("VST3", "CLAP", "AAX")


class Runner:
    """The program run as root (the machine-wide folders) or as a throw-away ordinary account."""

    def __init__(self, account=None):
        self.account = account
        root = "/usr/lib" if account is None else account.HOME
        names = ("vst3", "clap", "aax") if account is None else (".vst3", ".clap", ".aax")
        self.folders = [os.path.join(root, n) for n in names]
        self.bundles = [os.path.join(f, b) for f, b in zip(self.folders, BUNDLES)]

    def run(self, *arguments, env=None, wait=True):
        environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "XDG_CONFIG_HOME")}
        ids = {}
        if self.account is not None:
            environment.update(self.account.env())
            ids = self.account.ids()
        environment.update(env or {})
        process = subprocess.Popen([qv.program_path(), *arguments], env=environment, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True, **ids)
        if not wait:
            return process
        out, err = process.communicate(timeout=120)
        return process.returncode, out, err


def snapshot(paths):
    found = {}
    for path in paths:
        for folder, dirs, files in os.walk(path):
            for name in dirs + files:
                full = os.path.join(folder, name)
                found[full] = os.lstat(full).st_size
        found[path] = os.path.lexists(path)
    return found


class CommandLineTest(unittest.TestCase):
    def setUp(self):
        qv.require_sandbox()
        qv.remove_bundles()

    def runners(self):
        yield "root", Runner()
        account = qv.Account()
        try:
            yield "ordinary account", Runner(account)
        finally:
            account.close()

    def test_every_operation_without_a_display(self):
        for who, runner in self.runners():
            with self.subTest(who):
                code, out, err = runner.run("--list")
                self.assertEqual(code, 0, err)
                self.assertEqual(out.splitlines(), [f"{f}\tabsent\t-\t{b}" for f, b in zip(FORMATS, runner.bundles)])

                code, out, err = runner.run("--install", "vst3,clap")
                self.assertEqual((code, err), (0, ""))
                self.assertTrue(os.path.isdir(runner.bundles[0]) and os.path.isfile(runner.bundles[1]))
                self.assertFalse(os.path.lexists(runner.bundles[2]))
                if runner.account is not None:
                    self.assertFalse(os.path.lexists(os.path.join("/usr/lib/vst3", BUNDLES[0])),
                                     "an ordinary account installs for itself only")

                code, out, err = runner.run("--list")
                self.assertEqual(out.splitlines(), [f"VST3\tinstalled\t1.0.4\t{runner.bundles[0]}",
                                                    f"CLAP\tinstalled\t-\t{runner.bundles[1]}",
                                                    f"AAX\tabsent\t-\t{runner.bundles[2]}"])

                # A bad command line touches nothing.
                before = snapshot(runner.folders)
                for bad in (["--install"], ["--install", "vst4"], ["--install", "vst3", "--list"], ["--frobnicate"],
                            ["--uninstall", ""]):
                    code, out, err = runner.run(*bad)
                    self.assertEqual(code, 2, bad)
                    self.assertIn("Usage:", err, bad)
                self.assertEqual(snapshot(runner.folders), before)

                # A read-only folder: exit 1, the sentence on standard error, the bundle untouched.
                vst3_before = snapshot(runner.folders[:1])
                subprocess.run(["mount", "--bind", runner.folders[0], runner.folders[0]], check=True)
                subprocess.run(["mount", "-o", "remount,bind,ro", runner.folders[0]], check=True)
                try:
                    code, out, err = runner.run("--install", "vst3,clap")
                    advice = ("Run it as yourself to install for your account only." if runner.account is None
                              else "Run it as root to install for all users.")
                    self.assertEqual(code, 1)
                    self.assertEqual(err.strip(), f"VST3: no permission to write {runner.folders[0]}. {advice}")
                    self.assertIn(f"CLAP installed at {runner.bundles[1]}", out)
                    self.assertEqual(snapshot(runner.folders[:1]), vst3_before)
                finally:
                    subprocess.run(["umount", runner.folders[0]], check=True)

                code, out, err = runner.run("--uninstall", "all")
                self.assertEqual((code, err), (0, ""))
                self.assertEqual(out.splitlines(), [f"VST3 removed from {runner.bundles[0]}",
                                                    f"CLAP removed from {runner.bundles[1]}",
                                                    f"AAX was not installed at {runner.bundles[2]}"])
                for bundle in runner.bundles:
                    self.assertFalse(os.path.lexists(bundle), bundle)

    def test_no_argument_and_no_display_says_so_and_points_at_help(self):
        sentence = ("The installer's window cannot be shown: no display could be opened. "
                    "Run qv_installer --help to install from the command line.")
        for display in (None, ":4711"):
            with self.subTest(display=display):
                code, out, err = Runner().run(env={} if display is None else {"DISPLAY": display})
                self.assertEqual((code, out, err.strip()), (2, "", sentence))

    def test_a_log_file_gets_a_timestamped_line_per_step_and_result(self):
        runner = Runner()
        with tempfile.TemporaryDirectory() as folder:
            log = os.path.join(folder, "deploy.log")
            self.assertEqual(runner.run("--install", "all", "--log", log)[0], 0)
            self.assertEqual(runner.run("--list", "--log", log)[0], 0)
            with open(log) as f:
                lines = [line.split(" ", 1) for line in f.read().splitlines()]
        for stamp, _ in lines:
            time.strptime(stamp[:19], "%Y-%m-%dT%H:%M:%S")
        self.assertEqual([text for _, text in lines],
                         ["install VST3, CLAP, AAX", "started",
                          *(f"{f} installed at {b}" for f, b in zip(FORMATS, runner.bundles)), "exit 0",
                          *(f"list {f} installed {v} {b}" for f, v, b in zip(FORMATS, ("1.0.4", "-", "-"), runner.bundles))])

    def test_runs_on_one_settings_file_take_turns(self):
        runner = Runner()
        os.makedirs("/opt/Quorvane", exist_ok=True)
        lock_path = "/opt/Quorvane/.PluginManager.lock"

        with tempfile.TemporaryDirectory() as folder:
            logs = [os.path.join(folder, f"{i}.log") for i in range(2)]
            runs = [runner.run("--install", "all", "--log", log, wait=False) for log in logs]
            for run in runs:
                run.communicate(timeout=120)
                self.assertEqual(run.returncode, 0)
            spans = []
            for log in logs:
                with open(log) as f:
                    stamps = {text: stamp for stamp, text in (line.split(" ", 1) for line in f.read().splitlines())}
                spans.append((stamps["started"], stamps["exit 0"]))
        spans.sort()
        self.assertLessEqual(spans[0][1], spans[1][0], f"the runs overlapped: {spans}")
        self.assertTrue(os.path.isfile(os.path.join(runner.bundles[0], "Contents", "x86_64-linux", "Varnoly.so")))

        # A run that holds the lock too long: exit 3 and the sentence, nothing touched.
        before = snapshot(runner.folders)
        with open(lock_path, "a") as held:
            fcntl.flock(held, fcntl.LOCK_EX)
            code, out, err = runner.run("--uninstall", "all", env={"QV_TEST_RUN_LOCK_WAIT_MS": "300"})
        self.assertEqual(code, 3)
        self.assertEqual(err.strip(), "Another installer run is busy with these folders. Wait for it to end, then try again.")
        self.assertEqual(snapshot(runner.folders), before)

        # A holder that was killed leaves no stale lock.
        holder = subprocess.Popen([sys.executable, "-c", "import fcntl, sys, time\n"
                                   f"f = open({lock_path!r}, 'a'); fcntl.flock(f, fcntl.LOCK_EX)\n"
                                   "print('held', flush=True); time.sleep(60)"], stdout=subprocess.PIPE, text=True)
        self.assertEqual(holder.stdout.readline().strip(), "held")
        holder.kill()
        holder.wait()
        holder.stdout.close()
        self.assertEqual(runner.run("--uninstall", "all", env={"QV_TEST_RUN_LOCK_WAIT_MS": "300"})[0], 0)


if __name__ == "__main__":
    unittest.main()
