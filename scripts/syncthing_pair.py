#!/usr/bin/env python3
"""Two Syncthing instances on this machine sharing one folder, the way two
star-party stations across the internet would, but on loopback only: global
and local discovery, relays, NAT traversal and usage reports off.

  syncthing_pair.py start DIR [WATCH_DELAY_S]   folders DIR/A/share and DIR/B/share,
                                                 linked; returns once the two are connected
  syncthing_pair.py stop DIR
  syncthing_pair.py measure DIR [COUNT]          writes COUNT command files into A and
                                                 times their arrival in B

Exit status 77 when syncthing cannot run here (not installed, cannot start).
"""
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import time
import urllib.request
import xml.etree.ElementTree as ET

SKIP = 77


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def device_id(home):
    out = subprocess.run(["syncthing", "--home=" + home, "--device-id"],
                         capture_output=True, text=True, timeout=60)
    return out.stdout.strip()


def api(side, path):
    req = urllib.request.Request("http://127.0.0.1:%d%s" % (side["gui"], path),
                                 headers={"X-API-Key": side["key"]})
    with urllib.request.urlopen(req, timeout=5) as r:
        return json.loads(r.read().decode())


def configure(home, me, other, share, delay, gui, listen, other_listen):
    path = os.path.join(home, "config.xml")
    tree = ET.parse(path)
    root = tree.getroot()
    g = root.find("gui")
    g.find("address").text = "127.0.0.1:%d" % gui
    key = g.find("apikey").text
    o = root.find("options")
    for name, value in [("listenAddress", "tcp://127.0.0.1:%d" % listen),
                        ("globalAnnounceEnabled", "false"), ("localAnnounceEnabled", "false"),
                        ("relaysEnabled", "false"), ("natEnabled", "false"),
                        ("startBrowser", "false"), ("urAccepted", "-1"),
                        ("autoUpgradeIntervalH", "0"), ("crashReportingEnabled", "false"),
                        ("setLowPriority", "false")]:
        e = o.find(name)
        if e is None:
            e = ET.SubElement(o, name)
        e.text = value
    dev = ET.SubElement(root, "device", id=other, name="other", compression="metadata",
                        introducer="false")
    ET.SubElement(dev, "address").text = "tcp://127.0.0.1:%d" % other_listen
    folder = ET.SubElement(root, "folder", id="party", label="party", path=share,
                           type="sendreceive", rescanIntervalS="3600", fsWatcherEnabled="true",
                           fsWatcherDelayS=str(delay), ignorePerms="false", autoNormalize="true")
    for d in (me, other):
        ET.SubElement(folder, "device", id=d)
    ET.SubElement(folder, "markerName").text = ".stfolder"
    tree.write(path)
    return key


def start(base, delay):
    if not shutil.which("syncthing"):
        print("syncthing_pair: syncthing is not installed (scripts/setup.sh installs it)")
        return SKIP
    sides = {}
    for name in ("A", "B"):
        home = os.path.join(base, name, "home")
        share = os.path.join(base, name, "share")
        os.makedirs(share, exist_ok=True)
        os.makedirs(os.path.join(share, ".stfolder"), exist_ok=True)
        r = subprocess.run(["syncthing", "generate", "--home=" + home, "--no-default-folder",
                            "--skip-port-probing"], capture_output=True, text=True, timeout=120)
        if r.returncode != 0:
            print("syncthing_pair: cannot generate keys: " + r.stderr.strip())
            return SKIP
        sides[name] = {"home": home, "share": share, "id": device_id(home),
                       "gui": free_port(), "listen": free_port()}
    for me, other in (("A", "B"), ("B", "A")):
        s, t = sides[me], sides[other]
        s["key"] = configure(s["home"], s["id"], t["id"], s["share"], delay, s["gui"],
                             s["listen"], t["listen"])
    env = dict(os.environ, STNOUPGRADE="1", STNORESTART="1", STNODEFAULTFOLDER="1")
    for name, s in sides.items():
        log = open(os.path.join(base, name, "syncthing.log"), "w")
        p = subprocess.Popen(["syncthing", "serve", "--home=" + s["home"], "--no-browser",
                              "--no-restart", "--no-upgrade"],
                             stdout=log, stderr=subprocess.STDOUT, env=env, start_new_session=True)
        s["pid"] = p.pid
    with open(os.path.join(base, "pair.json"), "w") as f:
        json.dump(sides, f)
    # Connected, and the folder shared and idle on both sides.
    deadline = time.time() + 90
    while time.time() < deadline:
        try:
            if all(api(sides[a], "/rest/system/connections")["connections"]
                   .get(sides[b]["id"], {}).get("connected")
                   for a, b in (("A", "B"), ("B", "A"))) and \
               all(api(s, "/rest/db/status?folder=party")["state"] == "idle"
                   for s in sides.values()):
                print("syncthing_pair: connected, watcher delay %s s" % delay)
                return 0
        except (OSError, ValueError, KeyError):
            pass
        for s in sides.values():
            try:
                os.kill(s["pid"], 0)
            except OSError:
                print("syncthing_pair: syncthing ended at start; see %s/*/syncthing.log" % base)
                stop(base)
                return SKIP
        time.sleep(0.5)
    print("syncthing_pair: the two instances did not connect within 90 s")
    stop(base)
    return SKIP


def stop(base):
    try:
        with open(os.path.join(base, "pair.json")) as f:
            sides = json.load(f)
    except OSError:
        return 0
    for s in sides.values():
        try:
            os.killpg(s["pid"], signal.SIGTERM)
        except OSError:
            pass
    return 0


def measure(base, count):
    with open(os.path.join(base, "pair.json")) as f:
        sides = json.load(f)
    a, b = sides["A"]["share"], sides["B"]["share"]
    delays = []
    for k in range(count):
        name = "S000099-%s%d.pty" % (time.strftime("%Y%m%d%H%M%S"), k)
        tmp = os.path.join(a, "." + name + ".part")
        with open(tmp, "w", newline="") as f:
            f.write("STOP\r\n")
        t0 = time.time()
        os.rename(tmp, os.path.join(a, name))
        while not os.path.exists(os.path.join(b, name)):
            if time.time() - t0 > 120:
                print("measure: %s did not arrive within 120 s" % name)
                return 1
            time.sleep(0.02)
        delays.append(time.time() - t0)
        time.sleep(1.5)
    delays.sort()
    print("measure: %d files, arrival in B after %.1f s (min) %.1f s (median) %.1f s (max); "
          "a receiver polling every 2 s adds 0-2 s" % (count, delays[0], delays[len(delays) // 2],
                                                       delays[-1]))
    return 0


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    cmd, base = sys.argv[1], os.path.abspath(sys.argv[2])
    if cmd == "start":
        os.makedirs(base, exist_ok=True)
        return start(base, int(sys.argv[3]) if len(sys.argv) > 3 else 10)
    if cmd == "stop":
        return stop(base)
    if cmd == "measure":
        return measure(base, int(sys.argv[3]) if len(sys.argv) > 3 else 5)
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
