#!/usr/bin/python3
"""Checks the file managers' entries that the package installs.

    CheckFileManagers.py ROOT PROGRAM

ROOT is the unpacked package (ROOT/usr/share/...), PROGRAM the program to run
in the place of "vorlix". XDG_DATA_DIRS must name a folder whose MIME database
holds the package's type, so GIO knows checksum files as the file managers do.

Each file is checked for its format; each mechanism is asked which entries a
selection gets (the nautilus-python extension itself, under the Nautilus 4.0
introspection data; the others by the rules their file managers document);
and each entry's command line, expanded the way its file manager expands it,
is run against the console front-end on awkward names.
"""
import hashlib
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import gi

gi.require_version("Gio", "2.0")
gi.require_version("Nautilus", "4.0")
from gi.repository import Gio, GLib  # noqa: E402

ROOT = Path(sys.argv[1])
PROGRAM = Path(sys.argv[2]).resolve()
SHARE = ROOT / "usr/share"
MIME_TYPE = "application/x-vorlix-md5"
ENTRIES = ("verify", "compute", "folder")
NAMES = {
    "verify": ("Verify checksums", "Ověřit kontrolní součty"),
    "compute": ("Compute MD5", "Vypočítat MD5"),
    "folder": ("Create checksum file for the folder", "Vytvořit soubor kontrolních součtů pro složku"),
}
failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text, file=sys.stderr)


def key_file(path):
    keys = GLib.KeyFile()
    keys.load_from_file(str(path), GLib.KeyFileFlags.KEEP_TRANSLATIONS)
    return keys


def has(keys, group, key):
    try:
        keys.get_value(group, key)
        return True
    except GLib.Error:
        return False


# --- The files, each valid for its format -----------------------------------

def check_formats():
    for entry in ENTRIES:
        thunar = SHARE / f"Thunar/sendto/vorlix-{entry}.desktop"
        result = subprocess.run(["desktop-file-validate", str(thunar)], capture_output=True, text=True)
        if result.returncode != 0 or result.stdout.strip():
            fail(f"{thunar.name}: {result.stdout}{result.stderr}")

        nemo = key_file(SHARE / f"nemo/actions/vorlix-{entry}.nemo_action")
        group = "Nemo Action"
        for key in ("Name", "Name[cs]", "Exec", "Selection"):
            if not has(nemo, group, key):
                fail(f"nemo {entry}: no {key}")
        if not (has(nemo, group, "Extensions") or has(nemo, group, "Mimetypes")):
            fail(f"nemo {entry}: neither Extensions nor Mimetypes")
        if nemo.get_string(group, "Selection").lower() not in ("s", "m", "any", "notnone", "none"):
            fail(f"nemo {entry}: Selection")

        dolphin = key_file(SHARE / f"kio/servicemenus/vorlix-{entry}.desktop")
        group = "Desktop Entry"
        if dolphin.get_string(group, "Type") != "Service":
            fail(f"dolphin {entry}: Type is not Service")
        if "KonqPopupMenu/Plugin" not in dolphin.get_string_list(group, "ServiceTypes"):
            fail(f"dolphin {entry}: not a KonqPopupMenu/Plugin for KF5")
        if not dolphin.get_string_list(group, "MimeType"):
            fail(f"dolphin {entry}: no MimeType")
        for action in dolphin.get_string_list(group, "Actions"):
            for key in ("Name", "Name[cs]", "Exec"):
                if not has(dolphin, f"Desktop Action {action}", key):
                    fail(f"dolphin {entry}: action {action} has no {key}")

        for keys, group, what in ((key_file(thunar), "Desktop Entry", "thunar"),
                                  (nemo, "Nemo Action", "nemo")):
            english, czech = NAMES[entry]
            if keys.get_string(group, "Name") != english or keys.get_locale_string(group, "Name", "cs") != czech:
                fail(f"{what} {entry}: names")


# --- Selections: which entries each mechanism offers --------------------------

class FakeFile:
    """What nautilus-python hands an extension for a file: a Nautilus.FileInfo."""

    def __init__(self, path):
        self.path = path
        self.mime = "inode/directory" if path.is_dir() else Gio.content_type_guess(path.name, None)[0]

    def get_uri_scheme(self):
        return "file"

    def get_location(self):
        return Gio.File.new_for_path(str(self.path))

    def get_name(self):
        return self.path.name

    def is_directory(self):
        return self.path.is_dir()

    def is_mime_type(self, mime_type):
        return Gio.content_type_is_a(self.mime, mime_type)


def load_extension():
    spec = importlib.util.spec_from_file_location(
        "vorlix_extension", SHARE / "nautilus-python/extensions/vorlix.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def nautilus_items(extension, paths):
    """(label, argv) of each menu item, as activating it launches."""
    launched = []
    extension.launch = launched.append
    items = extension.VorlixMenuProvider().get_file_items([FakeFile(p) for p in paths])
    result = []
    for item in items:
        item.activate()
        result.append((item.props.label, launched.pop()))
    return result


def nemo_offers(entry, paths):
    keys = key_file(SHARE / f"nemo/actions/vorlix-{entry}.nemo_action")
    group = "Nemo Action"
    selection = keys.get_string(group, "Selection").lower()
    if (selection == "s" and len(paths) != 1) or (selection == "m" and len(paths) < 2):
        return False
    if has(keys, group, "Mimetypes"):
        types = keys.get_string_list(group, "Mimetypes")
        return all(any(Gio.content_type_is_a(FakeFile(p).mime, t) for t in types) for p in paths)
    extensions = keys.get_string_list(group, "Extensions")
    if extensions == ["dir"]:
        return all(p.is_dir() for p in paths)
    if extensions == ["nodirs"]:
        return not any(p.is_dir() for p in paths)
    return extensions == ["any"]


def thunar_offers(entry, paths):
    info = Gio.DesktopAppInfo.new_from_filename(str(SHARE / f"Thunar/sendto/vorlix-{entry}.desktop"))
    # An entry that takes one file (%f) is offered for one item only.
    if len(paths) > 1 and "%F" not in info.get_commandline():
        return False
    types = info.get_supported_types()
    return all(any(Gio.content_type_is_a(FakeFile(p).mime, t) for t in types) for p in paths)


def dolphin_offers(entry, paths):
    keys = key_file(SHARE / f"kio/servicemenus/vorlix-{entry}.desktop")
    group = "Desktop Entry"
    if has(keys, group, "X-KDE-MaxNumberOfUrls") and len(paths) > keys.get_integer(group, "X-KDE-MaxNumberOfUrls"):
        return False
    types = keys.get_string_list(group, "MimeType")

    # KIO takes application/octet-stream for "any file, no folder".
    def matches(path, mime_type):
        if mime_type == "application/octet-stream":
            return not path.is_dir()
        return Gio.content_type_is_a(FakeFile(path).mime, mime_type)

    return all(any(matches(p, t) for t in types) for p in paths)


# --- Command lines, as each file manager expands them -------------------------

def nemo_argv(entry, paths):
    exec_line = key_file(SHARE / f"nemo/actions/vorlix-{entry}.nemo_action").get_string("Nemo Action", "Exec")

    # Without Quote=, Nemo escapes the shell's characters in each path and
    # puts a line feed in single quotes, then splits the line as a shell would.
    def escaped(path):
        text = ""
        for c in str(path):
            text += "'\n'" if c == "\n" else ("\\" + c if c in " \t'\"\\#" else c)
        return text

    return GLib.shell_parse_argv(exec_line.replace("%F", " ".join(escaped(p) for p in paths)))[1]


def dolphin_argv(entry, paths):
    exec_line = key_file(SHARE / f"kio/servicemenus/vorlix-{entry}.desktop").get_string(
        f"Desktop Action {entry}", "Exec")
    argv = []
    for word in GLib.shell_parse_argv(exec_line)[1]:
        argv += [str(p) for p in paths] if word in ("%F", "%f") else [word]
    return argv


class Runs:
    """A "vorlix" on PATH that records what it was given and runs PROGRAM."""

    def __init__(self, scratch):
        self.scratch = scratch
        self.bin = scratch / "bin"
        self.bin.mkdir()
        wrapper = self.bin / "vorlix"
        wrapper.write_text(
            "#!/bin/sh\n"
            "printf '%s\\0' \"$@\" > \"$VORLIX_FM_RUN/argv\"\n"
            "\"$VORLIX_FM_PROGRAM\" \"$@\" < /dev/null > \"$VORLIX_FM_RUN/out\" 2> \"$VORLIX_FM_RUN/err\"\n"
            "echo $? > \"$VORLIX_FM_RUN/status.part\" && mv \"$VORLIX_FM_RUN/status.part\" \"$VORLIX_FM_RUN/status\"\n")
        wrapper.chmod(0o755)
        self.count = 0
        home = scratch / "home"
        os.environ.update({
            "PATH": f"{self.bin}:/usr/bin:/bin", "VORLIX_UI": "console", "VORLIX_FM_PROGRAM": str(PROGRAM),
            "HOME": str(home), "XDG_CONFIG_HOME": str(home / "config"), "XDG_CACHE_HOME": str(home / "cache"),
            "XDG_DATA_HOME": str(home / "data"), "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"})

    def start(self):
        self.count += 1
        run = self.scratch / f"run{self.count}"
        run.mkdir()
        os.environ["VORLIX_FM_RUN"] = str(run)
        return run

    def finish(self, run):
        deadline = time.monotonic() + 60
        while not (run / "status").exists():
            if time.monotonic() > deadline:
                raise TimeoutError(f"{run}: the program did not end")
            time.sleep(0.05)
        argv = (run / "argv").read_bytes().split(b"\0")[:-1]
        return ([a.decode() for a in argv], int((run / "status").read_text()),
                (run / "out").read_text(errors="replace"), (run / "err").read_text(errors="replace"))

    def argv(self, argv):
        run = self.start()
        subprocess.run(argv, check=False)
        return self.finish(run)

    def thunar(self, entry, paths):
        # Thunar hands its "Send To" entries to GIO, which expands %F and %f.
        run = self.start()
        info = Gio.DesktopAppInfo.new_from_filename(str(SHARE / f"Thunar/sendto/vorlix-{entry}.desktop"))
        info.launch([Gio.File.new_for_path(str(p)) for p in paths], None)
        return self.finish(run)


def md5(path):
    return hashlib.md5(path.read_bytes()).hexdigest()


def md5sum_name(path):
    text = str(path)
    return text.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r")


def check_outcome(entry, paths, result, what):
    argv, status, out, err = result
    if argv[argv.index("--") + 1:] != [str(p) for p in paths]:
        fail(f"{what} {entry}: the program got {argv!r}")
        return
    if entry == "verify":
        if status != 0:
            fail(f"{what} verify: status {status}: {out}{err}")
    elif entry == "compute":
        wanted = "".join(("\\" if md5sum_name(p) != str(p) else "") + f"{md5(p)}  {md5sum_name(p)}\n"
                         for p in paths)
        if status != 0 or out != wanted:
            fail(f"{what} compute: status {status}, printed {out!r}, not {wanted!r}; {err}")
    elif entry == "folder":
        folder = paths[0]
        written = folder.parent / (folder.name + ".MD5")
        if status != 0 or not written.exists():
            fail(f"{what} folder: status {status}, no {written}: {out}{err}")
            return
        check = subprocess.run(["md5sum", "-c", "--quiet", written.name], cwd=folder.parent,
                               capture_output=True, text=True)
        if check.returncode != 0:
            fail(f"{what} folder: md5sum -c {written.name}: {check.stdout}{check.stderr}")
        written.unlink()


def main():
    check_formats()
    extension = load_extension()
    scratch = Path(tempfile.mkdtemp())
    try:
        runs = Runs(scratch)
        # Blanks, both quotes, a line feed, a hash, a backslash, letters beyond ASCII.
        folder = scratch / "data" / "Složka 'a' \"b\"\nc #d"
        folder.mkdir(parents=True)
        plain = folder / "žluťoučký kůň.bin"
        odd = folder / "it's \"q\" $HOME\\x\nnew #line"
        plain.write_bytes(b"the first file\n")
        odd.write_bytes(b"the second file\n" * 1000)
        nested = folder / "inner"
        nested.mkdir()
        (nested / "deep file.txt").write_text("inside\n")
        subprocess.run([str(PROGRAM), "/sourcefile:" + str(plain), "/auto"], check=True,
                       stdout=subprocess.DEVNULL)
        own = folder / (plain.name + ".MD5")
        listing = folder / "MD5SUMS"
        with open(listing, "wb") as out:
            subprocess.run(["md5sum", "--", plain.name, odd.name, own.name], cwd=folder, check=True, stdout=out)
        named = folder / "list of sums.md5sum"
        shutil.copy(listing, named)

        # (selection, entries it gets)
        cases = [
            ([own], ["verify", "compute"]),
            ([listing], ["verify", "compute"]),
            ([own, listing, named], ["verify", "compute"]),
            ([odd], ["compute"]),
            ([plain, odd, own], ["compute"]),
            ([folder], ["folder"]),
            ([folder, nested], []),
            ([plain, nested], []),
        ]
        for paths, wanted in cases:
            for what, offers in (("nemo", nemo_offers), ("thunar", thunar_offers), ("dolphin", dolphin_offers)):
                got = [entry for entry in ENTRIES if offers(entry, paths)]
                if got != wanted:
                    fail(f"{what} offers {got} for {[p.name for p in paths]}, not {wanted}")
            items = nautilus_items(extension, paths)
            if [label for label, _ in items] != [NAMES[e][0] for e in wanted]:
                fail(f"nautilus offers {items} for {[p.name for p in paths]}, not {wanted}")
            for entry, (label, argv) in zip(wanted, items):
                check_outcome(entry, paths, runs.argv(argv), "nautilus")
                check_outcome(entry, paths, runs.argv(nemo_argv(entry, paths)), "nemo")
                check_outcome(entry, paths, runs.thunar(entry, paths), "thunar")
                check_outcome(entry, paths, runs.argv(dolphin_argv(entry, paths)), "dolphin")

        # The folder's checksum file is replaced only when the user says so.
        (folder.parent / (folder.name + ".MD5")).write_text("kept\n")
        argv, status, _, _ = runs.argv(nautilus_items(extension, [folder])[0][1])
        if status != 1 or (folder.parent / (folder.name + ".MD5")).read_text() != "kept\n":
            fail(f"folder entry over an existing file: status {status}, the file changed")

        # The desktop's language picks the texts.
        os.environ["LANGUAGE"] = "cs"
        if [label for label, _ in nautilus_items(extension, [own])] != [NAMES["verify"][1], NAMES["compute"][1]]:
            fail("nautilus: no Czech texts under LANGUAGE=cs")
    finally:
        shutil.rmtree(scratch)
    if failures:
        sys.exit(f"{len(failures)} problems")
    print("file manager entries: all checks passed")


main()
