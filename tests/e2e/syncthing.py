"""A real Syncthing daemon for tests: private home, loopback only, driven through its REST API.

Two of them share one folder each (same folder ID), so a test sees what a user's sync engine
really does to files: delays, temporary names, conflict copies."""

import json
import os
import shutil
import socket
import subprocess
import tempfile
import urllib.error
import urllib.request
import xml.etree.ElementTree as ElementTree

from harness import wait_for

FOLDER = "zettara-sync"


def free_port():
    """A loopback TCP port nobody listens on just now."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Syncthing:
    """One daemon in a home folder of its own (0700), listening on 127.0.0.1 only."""

    def __init__(self, name="st"):
        self.name = name
        self.home = tempfile.mkdtemp(prefix="zettara-syncthing-%s-" % name)
        os.chmod(self.home, 0o700)
        # STMONITORED: one process, no monitor (1.19 starts one even with --no-restart, and its
        # child, in a process group of its own, would outlive a kill of the monitor).
        self.env = dict(os.environ, HOME=self.home, STNODEFAULTFOLDER="1", STNOUPGRADE="1",
                        STNORESTART="1", STMONITORED="1")
        self.proc = None
        self.log = None
        self.peer = None
        out = subprocess.run(["syncthing", "generate", "--home=" + self.home, "--no-default-folder"],
                             env=self.env, capture_output=True, text=True, timeout=60)
        if out.returncode != 0:
            raise RuntimeError("syncthing generate failed: " + out.stdout + out.stderr)
        self.gui_port, self.listen_port = free_port(), free_port()
        self.listen = "tcp://127.0.0.1:%d" % self.listen_port
        self._quiet_config()
        config = ElementTree.parse(os.path.join(self.home, "config.xml")).getroot()
        self.api_key = config.findtext("gui/apikey")
        self.device_id = config.find("device").get("id")
        try:
            self.start()
            # Set once more through the API, which is what a user's change goes through too;
            # the file edit above only keeps the first seconds quiet.
            self.request("PATCH", "/rest/config/options", self.quiet_options())
            options = self.request("GET", "/rest/config/options")
            wrong = {k: options.get(k) for k, v in self.quiet_options().items()
                     if options.get(k) != v}
            if wrong:
                raise RuntimeError("syncthing kept options %r" % wrong)
        except BaseException:
            self.remove()
            raise

    def quiet_options(self):
        """Options that keep the daemon to the loopback address: no discovery, relays, NAT,
        STUN, reports or upgrades."""
        return {"listenAddresses": [self.listen], "globalAnnounceEnabled": False,
                "globalAnnounceServers": [], "localAnnounceEnabled": False,
                "relaysEnabled": False, "natEnabled": False, "urAccepted": -1,
                "autoUpgradeIntervalH": 0, "crashReportingEnabled": False,
                "startBrowser": False, "stunKeepaliveStartS": 0, "stunServers": [],
                "announceLANAddresses": False, "reconnectionIntervalS": 5}

    def _quiet_config(self):
        # A fresh config announces itself to public servers, relays and the LAN at once; the
        # daemon must not send a single packet off this machine, even before the first REST call.
        path = os.path.join(self.home, "config.xml")
        tree = ElementTree.parse(path)
        options = tree.getroot().find("options")
        for key in ("listenAddress", "globalAnnounceServer", "stunServer"):
            for old in options.findall(key):
                options.remove(old)
        ElementTree.SubElement(options, "listenAddress").text = self.listen
        values = {"globalAnnounceEnabled": "false", "localAnnounceEnabled": "false",
                  "relaysEnabled": "false", "natEnabled": "false", "urAccepted": "-1",
                  "autoUpgradeIntervalH": "0", "crashReportingEnabled": "false",
                  "startBrowser": "false", "stunKeepaliveStartS": "0",
                  "announceLANAddresses": "false", "reconnectionIntervalS": "5"}
        for key, value in values.items():
            node = options.find(key)
            if node is None:
                node = ElementTree.SubElement(options, key)
            node.text = value
        tree.write(path)
        os.chmod(path, 0o600)

    def start(self):
        self.log = open(os.path.join(self.home, "syncthing.log"), "ab")
        self.proc = subprocess.Popen(
            ["syncthing", "serve", "--home=" + self.home, "--no-browser", "--no-restart",
             "--no-upgrade", "--gui-address=127.0.0.1:%d" % self.gui_port],
            env=self.env, stdout=self.log, stderr=subprocess.STDOUT, cwd=self.home)
        if not wait_for(lambda: self.proc.poll() is not None or self.ping(), 30, 0.2):
            raise RuntimeError("syncthing %s: REST API did not answer\n%s"
                               % (self.name, self.log_tail()))
        if self.proc.poll() is not None:
            raise RuntimeError("syncthing %s ended at start\n%s" % (self.name, self.log_tail()))

    def ping(self):
        try:
            return self.request("GET", "/rest/system/ping", timeout=2).get("ping") == "pong"
        except (OSError, ValueError):
            return False

    def request(self, method, path, body=None, timeout=30):
        data = None if body is None else json.dumps(body).encode()
        req = urllib.request.Request("http://127.0.0.1:%d%s" % (self.gui_port, path), data=data,
                                     method=method, headers={"X-API-Key": self.api_key,
                                                             "Content-Type": "application/json"})
        with urllib.request.urlopen(req, timeout=timeout) as reply:
            text = reply.read()
        return json.loads(text) if text.strip() else None

    def share(self, other, path):
        """Adds the other daemon at its loopback address and shares path with it as FOLDER:
        watched (changes seen a second later), rescanned rarely."""
        self.peer = other
        self.request("POST", "/rest/config/devices", {
            "deviceID": other.device_id, "name": other.name, "addresses": [other.listen],
            "autoAcceptFolders": False})
        self.request("POST", "/rest/config/folders", {
            "id": FOLDER, "label": FOLDER, "path": path, "type": "sendreceive",
            "devices": [{"deviceID": self.device_id}, {"deviceID": other.device_id}],
            "fsWatcherEnabled": True, "fsWatcherDelayS": 1, "rescanIntervalS": 3600})

    def connected(self):
        found = self.request("GET", "/rest/system/connections")["connections"]
        return found.get(self.peer.device_id, {}).get("connected", False)

    def paused(self, paused):
        """Stops (or resumes) exchanging the folder with the peer; local changes still count."""
        self.request("PATCH", "/rest/config/folders/" + FOLDER, {"paused": paused})

    def scan(self):
        """Looks at the folder now rather than when the watcher reports (returns when done)."""
        self.request("POST", "/rest/db/scan?folder=" + FOLDER, timeout=60)

    def status(self):
        return self.request("GET", "/rest/db/status?folder=" + FOLDER)

    def in_sync(self):
        """Idle, needing nothing, and the peer has everything we have."""
        status = self.status()
        completion = self.request("GET", "/rest/db/completion?folder=%s&device=%s"
                                  % (FOLDER, self.peer.device_id))
        return (status["state"] == "idle" and status["needTotalItems"] == 0
                and completion["completion"] == 100 and completion["needItems"] == 0
                and completion.get("remoteState", "valid") == "valid")

    def close(self):
        if self.proc is not None and self.proc.poll() is None:
            try:
                self.request("POST", "/rest/system/shutdown", timeout=5)
                self.proc.wait(10)
            except (OSError, ValueError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()
        if self.log:
            self.log.close()
            self.log = None

    def remove(self):
        self.close()
        shutil.rmtree(self.home, ignore_errors=True)

    def log_tail(self, lines=30):
        try:
            with open(os.path.join(self.home, "syncthing.log"), errors="replace") as f:
                return "".join(f.readlines()[-lines:])
        except OSError:
            return ""


def pair(path_a, path_b):
    """Two daemons sharing path_a and path_b as one folder, connected. The caller removes them."""
    a, b = Syncthing("a"), None
    try:
        b = Syncthing("b")
        a.share(b, path_a)
        b.share(a, path_b)
        if not wait_for(lambda: a.connected() and b.connected(), 30, 0.2):
            raise RuntimeError("the daemons did not connect\n%s\n%s" % (a.log_tail(), b.log_tail()))
        return a, b
    except BaseException:
        a.remove()
        if b:
            b.remove()
        raise


def settle(daemons, timeout=30):
    """Scans every folder, then waits until all are idle and in sync twice in a row (a watcher
    event still on its way would otherwise pass for "in sync")."""
    for daemon in daemons:
        daemon.scan()
    streak = [0]

    def steady():
        streak[0] = streak[0] + 1 if all(d.in_sync() for d in daemons) else 0
        return streak[0] >= 2
    return wait_for(steady, timeout, 0.5)
