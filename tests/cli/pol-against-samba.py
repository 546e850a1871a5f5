#!/usr/bin/python3
# portwright-cli's Registry.pol against Samba's (python3-samba), every type. Samba's
# reader is lenient, so: it unpacks the export into exactly the records exported,
# packs them again into the same bytes, and a file it wrote from XML imports to
# the same values.   pol-against-samba.py PORTWRIGHT_CLI
import base64, os, subprocess, sys, tempfile
from xml.etree.ElementTree import Element, SubElement

from samba.dcerpc import preg
from samba.gp_parse.gp_pol import GPPolParser
from samba.ndr import ndr_pack, ndr_unpack

KEY = "SOFTWARE\\PortwrightPol"
def sz(text): return (text + "\0").encode("utf-16le")
# (key, name, type, data); the last only creates its key (Samba keeps no REG_NONE data).
RECORDS = sorted([
    (KEY, "", 1, sz("default \"text\" \\")), (KEY, "text", 1, sz("résumé € ;[]")),
    (KEY, "empty", 1, sz("")),
    (KEY, "expand", 2, sz("%SystemRoot%\\x")), (KEY, "binary", 3, bytes(range(40))),
    (KEY, "dword", 4, (0xFFFFFFFE).to_bytes(4, "little")), (KEY, "big endian", 5, (7).to_bytes(4, "big")),
    (KEY, "link", 6, sz("\\Registry\\Machine\\X")), (KEY, "multi", 7, "one\0two é\0\0".encode("utf-16le")),
    (KEY, "resources", 8, b"\x01\x02\x03"), (KEY, "descriptor", 9, b""), (KEY, "requirements", 10, b"\xff"),
    (KEY, "qword", 11, (2**64 - 2).to_bytes(8, "little")), (KEY, "none", 0, b""),
    (KEY + "\\Sub key", "", 0, b""),
])
ORDER = {False: "little", True: "big"}  # REG_DWORD_BIG_ENDIAN's
failures = 0

def check(what, got, expected):
    global failures
    failures += got != expected
    print(f"ok: {what}" if got == expected else f"FAILED: {what}\n  {got!r}\n  {expected!r}")

def cli(*args):
    run = subprocess.run([sys.argv[1], *args], capture_output=True, text=True)
    return 0 if run.returncode == 0 else f"exit {run.returncode}: {run.stdout}{run.stderr}"

def records(path):
    """The file as Samba unpacks it, its bytes and the same packed again by Samba."""
    raw = open(path, "rb").read()
    pol = ndr_unpack(preg.file, raw)
    def data(e):
        if e.type in (1, 2): return sz(e.data)
        if e.type in (4, 5, 11): return e.data.to_bytes(8 if e.type == 11 else 4, ORDER[e.type == 5])
        return bytes(e.data or b"")
    return sorted((e.keyname, e.valuename, e.type, data(e)) for e in pol.entries), raw, ndr_pack(pol)

def seed(path):
    """RECORDS into the store, through a .reg file of hex(type) lines."""
    lines = ["Windows Registry Editor Version 5.00"]
    for key in dict.fromkeys(r[0] for r in RECORDS):
        lines.append(f"[HKEY_LOCAL_MACHINE\\{key}]")
        lines += [("@" if n == "" else f'"{n}"') + f"=hex({t:x}):" + ",".join(f"{b:02x}" for b in d)
                  for k, n, t, d in RECORDS if k == key and (n or t or d)]
    open(path, "wb").write(b"\xff\xfe" + "\r\n".join(lines + [""]).encode("utf-16le"))
    return cli("import", path)

def samba_writes(path):
    """RECORDS as GPPolParser's XML, written as a Registry.pol by Samba."""
    root = Element("PolFile", signature="PReg", version="1", num_entries=str(len(RECORDS)))
    for key, name, value_type, data in RECORDS:
        entry = SubElement(root, "Entry", type=str(value_type))
        SubElement(entry, "Key").text, SubElement(entry, "ValueName").text = key, name
        texts = [] if value_type == 0 else [base64.b64encode(data).decode()]
        if value_type == 7: texts = data.decode("utf-16le").rstrip("\0").split("\0")
        if value_type in (1, 2): texts = [data.decode("utf-16le")[:-1]]
        if value_type in (4, 5, 11): texts = [str(int.from_bytes(data, ORDER[value_type == 5]))]
        for text in texts: SubElement(entry, "Value").text = text
    parser = GPPolParser()
    parser.load_xml(root)
    parser.write_binary(path)

with tempfile.TemporaryDirectory() as folder:
    ours, samba, again = (os.path.join(folder, name) for name in ("ours.pol", "samba.pol", "again.pol"))
    os.environ["PORTWRIGHT_PREFIX"] = os.path.join(folder, "prefix")
    check("the values are seeded", seed(os.path.join(folder, "seed.reg")), 0)
    check("export --format pol", cli("export", ours, "--format", "pol", "--key", "HKLM\\" + KEY), 0)
    got, raw, repacked = records(ours)
    check("Samba unpacks exactly the records exported", got, RECORDS)
    check("and packs them again into the same bytes", repacked, raw)
    samba_writes(samba)
    check("Samba's file holds the records asked of it", records(samba)[0], RECORDS)
    os.environ["PORTWRIGHT_PREFIX"] = os.path.join(folder, "fresh")
    check("import reads Samba's file", cli("import", samba), 0)
    check("export of what it wrote", cli("export", again, "--format", "pol", "--key", "HKLM\\" + KEY), 0)
    check("the values Samba's file holds", records(again)[0], RECORDS)
sys.exit(1 if failures else 0)
