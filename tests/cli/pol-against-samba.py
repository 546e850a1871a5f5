#!/usr/bin/python3
"""portwright-cli's Registry.pol against Samba's reader and writer, every type.

Samba's reader is lenient, so the test asks more than that it parses: Samba
unpacks the file into exactly the records exported, packing them again gives
the same bytes, and a file Samba wrote from XML imports to the same values.
  pol-against-samba.py PORTWRIGHT_CLI
Debian's python3-samba lives in /usr/bin/python3's packages, not a venv's.
"""
import base64
import os
import subprocess
import sys
import tempfile
from xml.etree.ElementTree import Element, SubElement

from samba.dcerpc import preg
from samba.gp_parse.gp_pol import GPPolParser
from samba.ndr import ndr_pack, ndr_unpack

CLI = sys.argv[1]
KEY = "SOFTWARE\\PortwrightPol"


def sz(text):
    return (text + "\0").encode("utf-16le")


# (key, name, type, data): a value of every type, the default value, a key
# without values (its record only creates it; REG_NONE keeps no data in Samba).
RECORDS = [
    (KEY, "", 1, sz("default \"text\" \\")),
    (KEY, "text", 1, sz("résumé € ;[]")),
    (KEY, "empty", 1, sz("")),
    (KEY, "expand", 2, sz("%SystemRoot%\\x")),
    (KEY, "binary", 3, bytes(range(40))),
    (KEY, "dword", 4, (0xFFFFFFFE).to_bytes(4, "little")),
    (KEY, "big endian", 5, (7).to_bytes(4, "big")),
    (KEY, "link", 6, sz("\\Registry\\Machine\\X")),
    (KEY, "multi", 7, "one\0two é\0\0".encode("utf-16le")),
    (KEY, "resources", 8, b"\x01\x02\x03"),
    (KEY, "descriptor", 9, b""),
    (KEY, "requirements", 10, b"\xff"),
    (KEY, "qword", 11, (2**64 - 2).to_bytes(8, "little")),
    (KEY, "none", 0, b""),
    (KEY + "\\Sub key", "", 0, b""),
]

failures = 0


def check(what, got, expected):
    global failures
    if got == expected:
        print(f"ok: {what}")
    else:
        failures += 1
        print(f"FAILED: {what}\n  got:      {got!r}\n  expected: {expected!r}")


def cli(*args):
    run = subprocess.run([CLI, *args], capture_output=True, text=True)
    if run.returncode != 0:
        print(f"portwright-cli {' '.join(args)}: exit {run.returncode}\n{run.stdout}{run.stderr}")
    return run.returncode


def entry_bytes(entry):
    """A Samba entry's data as the registry holds it."""
    data = entry.data
    if entry.type in (1, 2):
        return sz(data)
    if entry.type in (4, 5, 11):
        return data.to_bytes(8 if entry.type == 11 else 4, "big" if entry.type == 5 else "little")
    return b"" if data is None else bytes(data)


def unpacked(path):
    with open(path, "rb") as f:
        raw = f.read()
    pol = ndr_unpack(preg.file, raw)
    records = [(e.keyname, e.valuename, e.type, entry_bytes(e)) for e in pol.entries]
    return raw, pol, records


def reg_line(key, name, value_type, data):
    target = '@' if name == "" else '"' + name.replace("\\", "\\\\").replace('"', '\\"') + '"'
    return f"{target}=hex({value_type:x}):" + ",".join(f"{b:02x}" for b in data)


def seed(folder):
    """The records in the store, through a .reg file of hex(type) lines."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    for key in dict.fromkeys(r[0] for r in RECORDS):
        lines.append(f"[HKEY_LOCAL_MACHINE\\{key}]")
        lines += [reg_line(*r) for r in RECORDS if r[0] == key and (r[1] or r[3] or r[2])]
    path = os.path.join(folder, "seed.reg")
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + "\r\n".join(lines + [""]).encode("utf-16le"))
    return cli("import", path)


def samba_writes(path):
    """RECORDS as Samba's XML, turned into a Registry.pol by GPPolParser."""
    root = Element("PolFile", signature="PReg", version="1", num_entries=str(len(RECORDS)))
    for key, name, value_type, data in RECORDS:
        entry = SubElement(root, "Entry", type=str(value_type))
        SubElement(entry, "Key").text = key
        SubElement(entry, "ValueName").text = name
        if value_type == 7:
            for text in data.decode("utf-16le").rstrip("\0").split("\0"):
                SubElement(entry, "Value").text = text
        elif value_type in (1, 2):
            SubElement(entry, "Value").text = data.decode("utf-16le")[:-1]
        elif value_type in (4, 5, 11):
            order = "big" if value_type == 5 else "little"
            SubElement(entry, "Value").text = str(int.from_bytes(data, order))
        elif value_type != 0:
            SubElement(entry, "Value").text = base64.b64encode(data).decode()
    parser = GPPolParser()
    parser.load_xml(root)
    parser.write_binary(path)


with tempfile.TemporaryDirectory() as folder:
    os.environ["PORTWRIGHT_PREFIX"] = os.path.join(folder, "prefix")
    check("the values are seeded", seed(folder), 0)
    ours = os.path.join(folder, "ours.pol")
    check("export --format pol", cli("export", ours, "--format", "pol", "--key", "HKLM\\" + KEY), 0)
    raw, pol, records = unpacked(ours)
    check("Samba unpacks exactly the records exported", sorted(records), sorted(RECORDS))
    check("and packs them again into the same bytes", ndr_pack(pol), raw)

    samba = os.path.join(folder, "samba.pol")
    samba_writes(samba)
    check("Samba's file unpacks to the records asked of it", sorted(unpacked(samba)[2]), sorted(RECORDS))
    os.environ["PORTWRIGHT_PREFIX"] = os.path.join(folder, "fresh")
    check("import reads Samba's file", cli("import", samba), 0)
    again = os.path.join(folder, "again.pol")
    check("and its values export again", cli("export", again, "--format", "pol", "--key", "HKLM\\" + KEY), 0)
    check("the values Samba's file holds", sorted(unpacked(again)[2]), sorted(RECORDS))

sys.exit(1 if failures else 0)
