#!/usr/bin/env python3
"""An independent reader of the registry files regedit writes.

It generates a sample of keys and values, writes it as a registry file of its own,
lets regedit import it into a private registry and export it again, and reads the
export back: the keys, the values with their types and data, the order of the
sections and the layout of the lines must all agree with the sample.

Usage: reg_reader.py PATH_TO_REGEDIT
"""
import os
import random
import subprocess
import sys
import tempfile
import unittest

REGEDIT = None
HEADER = "Windows Registry Editor Version 5.00"
ROOT = "HKEY_CURRENT_USER"
TOP = ("Software", "Sample \"reader\"")

REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_QWORD = 0, 1, 2, 3, 4, 7, 11

NAME_PARTS = ["alpha", "Beta", "with space", 'quote"d', "back\\slash", "equals=sign", "[bracket]",
              "\u00e4rger", "\u00d6l", "\u65e5\u672c", "smile\U0001F600", "caf\u00e9", "semi;colon"]
TEXT_PARTS = NAME_PARTS + ["C:\\Program Files\\Tovan", "%TEMP%\\x", "\"quoted\"", "", "tab\there"]


# The sample ------------------------------------------------------------------------

def random_name(rng, used, allow_backslash=True):
    while True:
        name = " ".join(rng.sample(NAME_PARTS, rng.randint(1, 2)))
        if not allow_backslash:
            name = name.replace("\\", "/")
        if name.upper() not in used:
            used.add(name.upper())
            return name


def random_value(rng, kind):
    if kind in (REG_SZ, REG_EXPAND_SZ):
        return "".join(rng.sample(TEXT_PARTS, rng.randint(1, 3)))
    if kind == REG_MULTI_SZ:
        return [rng.choice(NAME_PARTS) for _ in range(rng.randint(0, 4))]
    if kind == REG_DWORD:
        return rng.randrange(0, 2 ** 32)
    if kind == REG_QWORD:
        return rng.randrange(0, 2 ** 64)
    return bytes(rng.randrange(256) for _ in range(rng.choice([0, 1, 5, 22, 23, 24, 60, 200])))


def make_sample(seed):
    """{key path (tuple of names below ROOT): [(value name, type, data), ...]}"""
    rng = random.Random(seed)
    keys = {TOP: []}
    pending = [TOP]
    while pending and len(keys) < 25:
        parent = pending.pop(0)
        used = set()
        for _ in range(rng.randint(0, 3)):
            child = parent + (random_name(rng, used, allow_backslash=False),)
            keys[child] = []
            if len(child) < 6:
                pending.append(child)
    for path in keys:
        used = set()
        kinds = [REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_QWORD, REG_NONE, 0x2A]
        for _ in range(rng.randint(0, 8)):
            kind = rng.choice(kinds)
            name = "" if rng.random() < 0.15 and "" not in used else random_name(rng, used)
            used.add(name.upper())
            keys[path].append((name, kind, random_value(rng, kind)))
    return keys


# Bytes of values as Windows keeps them ----------------------------------------------

def data_bytes(kind, data):
    if kind in (REG_SZ, REG_EXPAND_SZ):
        return (data + "\0").encode("utf-16-le")
    if kind == REG_MULTI_SZ:
        return "".join(item + "\0" for item in data).encode("utf-16-le") + b"\0\0"
    if kind == REG_DWORD:
        return data.to_bytes(4, "little")
    if kind == REG_QWORD:
        return data.to_bytes(8, "little")
    return data


def data_from_bytes(kind, raw):
    if kind in (REG_SZ, REG_EXPAND_SZ):
        text = raw.decode("utf-16-le", "surrogatepass")
        assert text.endswith("\0"), text
        return text[:-1]
    if kind == REG_MULTI_SZ:
        text = raw.decode("utf-16-le", "surrogatepass")
        assert text.endswith("\0"), text
        items = text[:-1].split("\0")
        assert items[-1] == "", items
        return items[:-1]
    if kind == REG_QWORD:
        assert len(raw) == 8
        return int.from_bytes(raw, "little")
    return raw


def quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def write_sample(keys, path):
    """Our own writer: hex data split at other places than regedit's. The file first
    deletes what an earlier sample left."""
    lines = [HEADER, "", "[-" + "\\".join((ROOT,) + TOP) + "]", ""]
    for key, values in keys.items():
        lines.append("[" + "\\".join((ROOT,) + key) + "]")
        for name, kind, data in values:
            left = "@" if name == "" else quote(name)
            if kind == REG_SZ:
                lines.append(left + "=" + quote(data))
            elif kind == REG_DWORD:
                lines.append(left + "=dword:%08X" % data)
            else:
                tag = "hex:" if kind == REG_BINARY else "hex(%x):" % kind
                items = ["%02X" % b for b in data_bytes(kind, data)]
                chunks = [",".join(items[i:i + 7]) for i in range(0, len(items), 7)] or [""]
                lines.append(left + "=" + tag + (",\\\r\n      ".join(chunks)))
        lines.append("")
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le", "surrogatepass"))


# The reader ---------------------------------------------------------------------------

class ExportReader:
    """Parses an export of regedit and checks its layout on the way."""

    def __init__(self, raw):
        assert raw.startswith(b"\xff\xfe"), "no UTF-16LE byte-order mark"
        text = raw[2:].decode("utf-16-le", "surrogatepass")
        assert "\n" not in text.replace("\r\n", ""), "a line end that is not CR LF"
        assert text.endswith("\r\n\r\n"), "the file does not end with a blank line"
        self.lines = text.split("\r\n")[:-1]
        self.keys = {}
        self.order = []

    def read(self):
        assert self.lines[0] == HEADER and self.lines[1] == "", self.lines[:2]
        index, current = 2, None
        while index < len(self.lines):
            line = self.lines[index]
            index += 1
            if line == "":
                current = None
                continue
            if line.startswith("["):
                assert current is None, "a section without a blank line before it: " + line
                assert line.endswith("]"), line
                names = tuple(line[1:-1].split("\\"))
                assert names[0] == ROOT, line
                current = names[1:]
                assert current not in self.keys, "a key written twice: " + line
                self.keys[current] = []
                self.order.append(current)
                continue
            assert current is not None, "a value outside a section: " + line
            physical = [line]
            while physical[-1].endswith("\\"):
                physical.append(self.lines[index])
                index += 1
            self.check_layout(physical)
            joined = physical[0][:-1] if len(physical) > 1 else physical[0]
            for middle in physical[1:]:
                assert middle.startswith("  ") and not middle.startswith("   "), middle
                joined += middle[2:-1] if middle.endswith("\\") else middle[2:]
            self.keys[current].append(self.parse_value(joined))
        return self

    @staticmethod
    def check_layout(physical):
        """A broken line is broken after the comma that reaches column 77."""
        for number, line in enumerate(physical[:-1]):
            assert line.endswith(",\\"), line
            width = len(line.encode("utf-16-le", "surrogatepass")) // 2
            prefix_only = number == 0 and line.count(",") == 1
            assert width <= 80 or prefix_only, "too wide: " + line
            assert width >= 78 or prefix_only, "broken too early: " + line

    @staticmethod
    def parse_name(line):
        if line.startswith("@="):
            return "", line[2:]
        assert line.startswith('"'), line
        name, i = "", 1
        while line[i] != '"':
            if line[i] == "\\":
                i += 1
                assert line[i] in '\\"', "an escape regedit does not write: " + line
            name += line[i]
            i += 1
        assert line[i + 1] == "=", line
        return name, line[i + 2:]

    def parse_value(self, line):
        name, data = self.parse_name(line)
        if data.startswith('"'):
            assert data.endswith('"')
            body = data[1:-1]
            text = body.replace('\\"', '"').replace("\\\\", "\\")
            assert quote(text) == data, "escapes are not those of regedit: " + data
            return name, REG_SZ, text
        if data.startswith("dword:"):
            digits = data[6:]
            assert len(digits) == 8 and digits == digits.lower(), data
            return name, REG_DWORD, int(digits, 16)
        assert data.startswith("hex"), data
        tag, _, hexes = data.partition(":")
        kind = REG_BINARY if tag == "hex" else int(tag[4:-1], 16)
        assert tag == "hex" or tag == "hex(%x)" % kind, "type tag: " + tag
        assert kind != REG_BINARY or tag == "hex", tag
        raw = bytes(int(h, 16) for h in hexes.split(",")) if hexes else b""
        assert hexes == hexes.lower()
        return name, kind, data_from_bytes(kind, raw)


# The tests ----------------------------------------------------------------------------

def run_regedit(env, *args):
    result = subprocess.run([REGEDIT, *args], env=env, capture_output=True, text=True)
    if result.returncode != 0:
        raise AssertionError("regedit %s failed (%d): %s" % (args, result.returncode, result.stderr))
    assert result.stdout == "" and result.stderr == "", "regedit was not silent"


def preorder(keys):
    """The section order regedit promises: depth first, sub-keys in case-folded order."""
    children = {}
    for key in keys:
        if key != TOP:
            children.setdefault(key[:-1], []).append(key)
    order, stack = [], [TOP]
    while stack:
        key = stack.pop()
        order.append(key)
        below = sorted(children.get(key, []), key=lambda k: k[-1].upper().encode("utf-8"))
        stack.extend(reversed(below))
    return order


class RegReaderTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        root = self.folder.name
        self.env = dict(os.environ, HOME=root, TMPDIR=root, XDG_DATA_HOME=root,
                        XDG_CONFIG_HOME=root, TBM_REGISTRY=os.path.join(root, "registry.sqlite"))

    def tearDown(self):
        self.folder.cleanup()

    def round_trip(self, seed):
        sample = make_sample(seed)
        source = os.path.join(self.folder.name, "sample%d.reg" % seed)
        export = os.path.join(self.folder.name, "export%d.reg" % seed)
        write_sample(sample, source)
        run_regedit(self.env, "-s", source)
        run_regedit(self.env, "-e", export, "\\".join((ROOT,) + TOP))
        with open(export, "rb") as f:
            reader = ExportReader(f.read()).read()
        return sample, reader

    def test_reads_back_every_key_and_value(self):
        for seed in range(1, 9):
            sample, reader = self.round_trip(seed)
            self.assertEqual(set(sample), set(reader.keys), "seed %d" % seed)
            for key, values in sample.items():
                self.assertEqual(values, reader.keys[key], "seed %d, key %s" % (seed, key))

    def test_sections_come_depth_first_in_case_folded_order(self):
        sample, reader = self.round_trip(11)
        self.assertEqual(preorder(sample), reader.order)

    def test_a_missing_key_gives_no_file(self):
        export = os.path.join(self.folder.name, "none.reg")
        result = subprocess.run([REGEDIT, "-e", export, ROOT + "\\Software\\None"], env=self.env,
                                capture_output=True, text=True)
        self.assertNotEqual(0, result.returncode)
        self.assertFalse(os.path.exists(export))


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    REGEDIT = sys.argv.pop(1)
    unittest.main(verbosity=2)
