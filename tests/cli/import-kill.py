#!/usr/bin/env python3
"""portwright-cli import killed (SIGKILL) at random moments while it writes a
key of 10,000 values, KILLS times over one store: after each kill SQLite's
integrity check passes and the store holds all of the file or none of it.
Makes no claim on time.
    import-kill.py PORTWRIGHT_CLI [KILLS]"""
import os, random, shutil, signal, sqlite3, subprocess, sys, tempfile, time

cli, kills = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 20
prefix = tempfile.mkdtemp(prefix="portwright-kill-")
env = dict(os.environ, PORTWRIGHT_PREFIX=prefix)
key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightKill"
lines = ["Windows Registry Editor Version 5.00", "", f"[{key}]"]
lines += [f'"value {i:05}"="text {i}"' if i % 2 else f'"value {i:05}"=dword:{i:08x}' for i in range(10000)]
source, delete = os.path.join(prefix, "all.reg"), os.path.join(prefix, "none.reg")
with open(source, "wb") as f:
    f.write(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))
with open(delete, "wb") as f:
    f.write(f"REGEDIT4\r\n[-{key}]\r\n".encode())


def run(path):
    subprocess.run([cli, "import", path], env=env, stdout=subprocess.DEVNULL, check=True)


def values_held():
    db = sqlite3.connect(os.path.join(prefix, "registry.db"))
    try:
        assert db.execute("PRAGMA integrity_check").fetchone()[0] == "ok", "integrity check failed"
        return db.execute("SELECT count(*) FROM vals JOIN keys ON vals.key = keys.id "
                          "WHERE keys.name = CAST('PortwrightKill' AS BLOB)").fetchone()[0]
    finally:
        db.close()


try:
    start = time.monotonic()
    run(source)
    whole = time.monotonic() - start
    assert values_held() == 10000
    counts = {0: 0, 10000: 0}
    for _ in range(kills):
        run(delete)
        process = subprocess.Popen([cli, "import", source], env=env, stdout=subprocess.DEVNULL)
        time.sleep(random.uniform(0, whole * 1.2))
        process.send_signal(signal.SIGKILL)
        process.wait()
        held = values_held()
        if held not in counts:
            print(f"FAIL: after a kill the store holds {held} of the file's 10,000 values")
            sys.exit(1)
        counts[held] += 1
    print(f"ok   {kills} kills: the whole file {counts[10000]} times, none of it {counts[0]} times; "
          "integrity check passed each time")
finally:
    shutil.rmtree(prefix, ignore_errors=True)
