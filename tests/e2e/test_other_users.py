"""Another local user can neither stop, delay nor divert the program's start through the
single-instance channel, nor reach a running program through it. Needs root to run the
program as one test user beside another (CI runs as root); skipped otherwise."""

import hashlib
import os
import pwd
import shutil
import socket
import stat
import subprocess
import sys
import tempfile
import time
import unittest

from harness import CAPTION, DisplayTest, wait_for

# The user the program runs as, and a neighbour of theirs; both unprivileged.
USERS = ("zettara-e2e", "zettara-e2e-other")
ONE_NOTE = [dict(content="桌面上的便签", Visual=1)]
# The neighbour cannot run an interpreter kept in root's home.
PYTHON = "/usr/bin/python3" if os.access("/usr/bin/python3", os.X_OK) else sys.executable

# Run as the neighbour: listens on the given socket paths, answers as a primary would and
# prints every request it gets.
FAKE_PRIMARY = r"""
import os, selectors, socket, sys
sel = selectors.DefaultSelector()
for path in sys.argv[1:]:
    s = socket.socket(socket.AF_UNIX)
    s.bind(path)
    os.chmod(path, 0o777)
    s.listen()
    sel.register(s, selectors.EVENT_READ)
print("listening", flush=True)
while True:
    for key, _ in sel.select():
        conn = key.fileobj.accept()[0]
        conn.settimeout(1)
        try:
            print(conn.recv(100), flush=True)
            conn.sendall(b"ok\n")
        except OSError:
            pass
        conn.close()
"""


def local_user(name):
    """An unprivileged user, created when missing; None when that cannot be done."""
    if os.geteuid() != 0:
        return None
    try:
        return pwd.getpwnam(name)
    except KeyError:
        # Another test run may create it at the same moment; either way it then exists.
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", name],
                       capture_output=True)
    try:
        return pwd.getpwnam(name)
    except KeyError:
        return None


def as_user(user, code, *args, **kw):
    """Starts a python snippet as user."""
    ids = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[])
    return subprocess.Popen([PYTHON, "-c", code, *args], cwd="/", **ids, **kw)


def run_as(user, code, *args):
    if as_user(user, code, *args).wait() != 0:
        raise RuntimeError("could not act as " + user.pw_name)


class OtherUserTest(DisplayTest):
    @classmethod
    def setUpClass(cls):
        cls.user, cls.other = (local_user(name) for name in USERS)
        if cls.user is None or cls.other is None:
            raise unittest.SkipTest("needs root to run the program as two other local users "
                                    "(could not find or create %s)" % " and ".join(USERS))
        super().setUpClass()

    def users_program(self):
        """A program folder that belongs to the test user, and the environment to run it in."""
        program = self.program(ONE_NOTE)
        subprocess.run(["chown", "-R", "%d:%d" % (self.user.pw_uid, self.user.pw_gid), program.dir],
                       check=True)
        return program, dict(program.env, HOME=program.dir)

    def shared_folder(self):
        """A world-writable sticky folder standing in for /tmp."""
        path = tempfile.mkdtemp(prefix="zettara shared ")
        os.chmod(path, 0o1777)
        self.addCleanup(shutil.rmtree, path, ignore_errors=True)
        return path

    def second_launch_reaches_the_first(self, program, first, **start):
        started = time.monotonic()
        second = program.start(**start)
        wait_for(lambda: second.poll() is not None, 5)
        self.assertEqual(second.poll(), 0, "the second launch did not end at once")
        self.assertLess(time.monotonic() - started, 1.0, "the second launch was delayed")
        self.assertTrue(wait_for(program.main_windows, 5), "first instance's window not shown")
        self.assertIsNone(first.poll())
        self.assertEqual(len(program.note_windows()), 1, "two instances are running")

    def test_the_neighbours_files_in_the_shared_folder_do_not_stop_delay_or_divert_a_start(self):
        key = hashlib.sha1(CAPTION.encode()).hexdigest()[:16]
        for squat in ("socket and lock", "plain files"):
            with self.subTest(squat=squat):
                shared = self.shared_folder()
                # The names anyone can compute: the old socket beside the lock, and a folder
                # under the name this user's own would have.
                old = os.path.join(shared, "zettara-%s-%d" % (key, self.user.pw_uid))
                folder = os.path.join(shared, "zettara-%d" % self.user.pw_uid)
                if squat == "socket and lock":
                    run_as(self.other, "import os,sys; os.mkdir(sys.argv[1]); os.chmod(sys.argv[1], 0o777)",
                           folder)
                    fake = as_user(self.other, FAKE_PRIMARY, old,
                                   os.path.join(folder, "zettara-" + key),
                                   stdout=subprocess.PIPE, text=True)
                    self.addCleanup(fake.stdout.close)
                    self.addCleanup(fake.wait)
                    self.addCleanup(fake.kill)
                    self.assertEqual(fake.stdout.readline(), "listening\n")
                    run_as(self.other, "import sys; open(sys.argv[1], 'w').write(sys.argv[2])",
                           old + ".lock", "%d\nZettara\n%s\n" % (fake.pid, socket.gethostname()))
                else:
                    fake = None
                    run_as(self.other, "import sys; [open(p, 'w') for p in sys.argv[1:]]", old, folder)

                program, env = self.users_program()
                env.update(TMPDIR=shared, XDG_CACHE_HOME=os.path.join(program.dir, "cache"))
                del env["XDG_RUNTIME_DIR"]
                first = program.start("mini", env=env, user=self.user)
                self.assertTrue(wait_for(lambda: first.poll() is not None or program.note_windows()),
                                "the note did not open")
                self.assertIsNone(first.poll(), "the start was stopped")
                self.second_launch_reaches_the_first(program, first, env=env, user=self.user)
                if fake:
                    fake.kill()
                    self.assertEqual(fake.stdout.read(), "", "a request went to the neighbour")
                program.close()  # its windows would answer for the next case's

    def test_what_the_neighbour_does_between_two_starts_never_makes_a_second_copy(self):
        shared = self.shared_folder()
        folder = os.path.join(shared, "zettara-%d" % self.user.pw_uid)
        run_as(self.other, "import os,sys; os.mkdir(sys.argv[1]); os.chmod(sys.argv[1], 0o777)", folder)
        program, env = self.users_program()
        env.update(TMPDIR=shared)
        del env["XDG_RUNTIME_DIR"]
        first = program.start("mini", env=env, user=self.user)
        self.assertTrue(wait_for(lambda: first.poll() is not None or program.note_windows()),
                        "the note did not open")
        # The name taken at the first start is free at the second; a start from a session
        # with a runtime folder must find the same instance too.
        run_as(self.other, "import os,sys; os.rmdir(sys.argv[1])", folder)
        self.second_launch_reaches_the_first(program, first, env=env, user=self.user)
        program.close_main_window()
        self.second_launch_reaches_the_first(program, first, env=dict(env, XDG_RUNTIME_DIR=program.tmp),
                                             user=self.user)

    def test_a_peer_of_another_user_is_refused(self):
        program, env = self.users_program()
        first = program.start("mini", env=env, user=self.user)
        self.assertTrue(wait_for(program.note_windows), "the note did not open")
        sockets = [os.path.join(top, name) for top, _, names in os.walk(program.dir)
                   for name in names if stat.S_ISSOCK(os.lstat(os.path.join(top, name)).st_mode)]
        self.assertEqual(len(sockets), 1)

        # Root (another uid) can enter the user's folder; the program must still not obey it.
        with socket.socket(socket.AF_UNIX) as peer:
            peer.settimeout(5)
            peer.connect(sockets[0])
            try:
                peer.sendall(b"show\n")
                reply = peer.recv(100)
            except (BrokenPipeError, ConnectionResetError):  # refused before or after the request
                reply = b""
        self.assertEqual(reply, b"")
        self.assertFalse(wait_for(program.main_windows, 1), "another user's request was obeyed")

        self.second_launch_reaches_the_first(program, first, env=env, user=self.user)


if __name__ == "__main__":
    unittest.main(verbosity=2)
