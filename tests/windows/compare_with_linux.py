#!/usr/bin/env python3
"""kestrel-cli.exe under Wine against kestrel-cli on Linux, on the same files.

compare_with_linux.py CHECK --linux-cli PATH --windows-cli PATH --wine-run PATH --prefix PATH
    --data DIR

CHECK is one of:
  corpus       info --json over a corpus (the committed fixtures and GeoTIFFs, world files and
               failures made here with GDAL) gives the same values, statuses, messages and exit
               status on both, paths aside.
  world-files  a world file written on either reads back bit for bit on the other; the Windows
               one differs from the Linux one only by its CR LF line ends, and GDAL places the
               raster by it as kestrel-cli reads it.
  tiff-tags    tags written into a TIFF on either read back bit for bit on the other, and GDAL
               reads the Windows-written ones.
  batch        folders walked (-r), --files-from lists with CR LF lines, from a file and from
               standard input (NUL-separated too), --json and --jsonl: the same files in the
               same order with the same reports on both, and no summary on a pipe.
  console      in a console whose code page is 1252, kestrel-cli.exe shows a name in Latin and
               CJK letters correctly and its text as on Linux, and the summary of a folder's
               batch as on a Linux terminal.
Exit status 0 when the check holds; otherwise 1, with the differences on standard error.
"""

import argparse
import json
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile

NAME = "K\u00e4rte_\u5730\u56f3"  # a name in Latin and CJK letters


class Check:
    def __init__(self, options):
        self.options = options
        self.failures = []
        # Short: messages elide paths of 48 bytes or more, and both programs must name the
        # files whole for their messages to compare.
        self.folder = tempfile.mkdtemp(prefix="kx", dir="/tmp")
        self.windows_folder = "Z:" + self.folder.replace("/", "\\")

    def close(self):
        for root, folders, files in os.walk(self.folder):
            for name in folders + files:
                os.chmod(os.path.join(root, name), 0o755)
        shutil.rmtree(self.folder, ignore_errors=True)

    def fail(self, text):
        self.failures.append(text)

    def expect_equal(self, what, linux, windows):
        if linux != windows:
            self.fail(f"{what}:\n  Linux:   {linux!r}\n  Windows: {windows!r}")

    def path(self, name):
        return os.path.join(self.folder, name)

    # ---- running the programs ----

    def run_linux(self, arguments, given=None):
        result = subprocess.run([self.options.linux_cli] + arguments, cwd=self.folder,
                                capture_output=True, input=given)
        return result.returncode, result.stdout.decode(), result.stderr.decode()

    def run_windows(self, arguments, given=None):
        result = subprocess.run([self.options.wine_run, self.options.prefix,
                                 self.options.windows_cli] + arguments, cwd=self.folder,
                                capture_output=True, input=given)
        return result.returncode, result.stdout.decode(), result.stderr.decode()

    def normalised(self, text):
        """The text with the corpus folder's path, in either form, as <corpus>/."""
        text = text.replace(self.windows_folder.replace("\\", "\\\\") + "\\\\", "<corpus>/")
        text = text.replace(self.windows_folder + "\\", "<corpus>/")
        return text.replace(self.folder + "/", "<corpus>/")

    def info(self, run, names):
        status, out, err = run(["info", "--json"] + names)
        try:
            entries = json.loads(out)
        except ValueError:
            self.fail(f"no JSON from {run.__name__}: {out!r} {err!r}")
            entries = []
        for entry in entries:
            entry.pop("file", None)
            if entry.get("worldFile"):
                entry["worldFile"].pop("file", None)
            if entry.get("error"):
                entry["error"]["message"] = self.normalised(entry["error"]["message"])
        return status, entries, self.normalised(err)

    # ---- files ----

    def gdal(self, *arguments):
        subprocess.run(list(arguments), cwd=self.folder, check=True, capture_output=True)

    def write(self, name, text):
        with open(self.path(name), "w") as file:
            file.write(text)

    def copy_fixture(self, source, name):
        shutil.copyfile(os.path.join(self.options.data, source), self.path(name))

    def make_corpus(self):
        """Names of the corpus's TIFFs, each with what its test needs beside it."""
        names = []
        for source in sorted(os.listdir(self.options.data)):
            if source.endswith(".tif"):
                self.copy_fixture(source, source)
                names.append(source)
        robustness = os.path.join(self.options.data, "robustness")
        for source in sorted(os.listdir(robustness)):
            shutil.copyfile(os.path.join(robustness, source), self.path("r-" + source))
            names.append("r-" + source)

        create = ["gdal_create", "-q", "-of", "GTiff", "-outsize", "4", "3", "-bands", "1",
                  "-burn", "7"]
        self.gdal(*create, "-a_srs", "EPSG:32633", "-a_ullr", "1000", "2000", "1008", "1991",
                  "north.tif")
        self.gdal("gdal_translate", "-q", "-mo", "AREA_OR_POINT=Point", "north.tif",
                  "point.tif")
        self.gdal(*create, "plain.tif")
        self.gdal("gdal_translate", "-q", "-a_srs", "EPSG:32633", "-gcp", "0", "0", "100",
                  "500", "-gcp", "4", "0", "108", "500", "-gcp", "0", "3", "100", "491",
                  "plain.tif", "gcps.tif")
        self.write("rot.vrt", "<VRTDataset rasterXSize='4' rasterYSize='3'>"
                   "<SRS>EPSG:32633</SRS>"
                   "<GeoTransform>100, 1.5, 0.25, 500, 0.5, -2</GeoTransform>"
                   "<VRTRasterBand dataType='Byte' band='1'><SimpleSource>"
                   "<SourceFilename relativeToVRT='1'>plain.tif</SourceFilename>"
                   "<SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>")
        self.gdal("gdal_translate", "-q", "rot.vrt", "rotated.tif")
        names += ["north.tif", "point.tif", "plain.tif", "gcps.tif", "rotated.tif"]

        # World files: every accepted form, with either line end, beside TIFFs without tags.
        worlds = {
            "w-lf": "2\n0\n0\n-2\n101\n499\n",
            "w-crlf": "2\r\n0\r\n0\r\n-2\r\n101\r\n499\r\n",
            "w-exact": "0.1\n0.30000000000000004\n-1e-300\n-0.3333333333333333\n"
                       "123456789.12345679\n5e+05\n",
            "w-forms": "  +2.5e1 metres\n0x1p-2\n\n-2\ninf\n.5\n",
            "w-short": "1\n2\n3\n4\n5\n",
            "w-long": "1\n0\n0\n-1\n" + "7" * 300 + "\n9\n",
        }
        for stem, text in worlds.items():
            self.copy_fixture("tiff_no_georef.tif", stem + ".tif")
            with open(self.path(stem + ".tfw"), "wb") as file:
                file.write(text.encode())
            names.append(stem + ".tif")

        # A name in two scripts, files that may not be written, and failures.
        self.copy_fixture("geotiff_le_striped.tif", NAME + ".tif")
        self.copy_fixture("geotiff_le_striped.tif", "ro.tif")
        self.write("ro.tfw", "2\n0\n0\n-2\n101\n499\n")
        os.chmod(self.path("ro.tif"), stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        os.chmod(self.path("ro.tfw"), stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        self.write("text.tif", "not a TIFF at all\n")
        os.mkdir(self.path("folder.tif"))
        os.mkdir(self.path("maps"))
        names += [NAME + ".tif", "ro.tif", "text.tif", "folder.tif", "missing.tif",
                  "maps/missing.tif", "nowhere/a.tif", "text.tif/inside.tif", "noext"]
        self.write("noext.tfw", "3\n0\n0\n-3\n1\n2\n")
        self.copy_fixture("tiff_no_georef.tif", "noext.tif")
        return names

    # ---- the checks ----

    def corpus(self):
        names = self.make_corpus()
        linux = self.info(self.run_linux, names)
        windows = self.info(self.run_windows, names)
        self.expect_equal("exit status", linux[0], windows[0])
        self.expect_equal("number of entries", len(linux[1]), len(windows[1]))
        for name, one, other in zip(names, linux[1], windows[1]):
            self.expect_equal(name, one, other)
        self.expect_equal("standard error", linux[2], windows[2])
        if len(linux[1]) != len(names):
            self.fail(f"{len(linux[1])} entries for {len(names)} files")

    def parameters(self, run, name):
        status, entries, err = self.info(run, [name])
        if status != 0 or len(entries) != 1 or not entries[0].get("worldFile"):
            self.fail(f"{run.__name__} could not read {name}: {entries!r} {err!r}")
            return None
        return entries[0]["worldFile"]["parameters"]

    def world_files(self):
        # Values that need all 17 digits, a tiny one, and the largest the fields take.
        values = ["0.30000000000000004", "-0.1", "1e-300", "-0.3333333333333333",
                  "12345678.901234567", "-99999999"]
        for stem in ("lx", "wx"):
            self.copy_fixture("tiff_no_georef.tif", stem + ".tif")
        status, _, err = self.run_linux(["set-world", "lx"] + values)
        self.expect_equal("Linux set-world", (0, ""), (status, err))
        status, _, err = self.run_windows(["set-world", "wx"] + values)
        self.expect_equal("Windows set-world", (0, ""), (status, err))

        with open(self.path("lx.tfw"), "rb") as file:
            linux_bytes = file.read()
        with open(self.path("wx.tfw"), "rb") as file:
            windows_bytes = file.read()
        if b"\r" in linux_bytes:
            self.fail(f"the Linux world file has CR: {linux_bytes!r}")
        self.expect_equal("world file bytes (LF to CR LF)",
                          linux_bytes.replace(b"\n", b"\r\n"), windows_bytes)

        # Each reads the other's file, and its own, to the same doubles (the JSON numbers are
        # the shortest that read back to the same double).
        expected = self.parameters(self.run_linux, "lx")
        self.expect_equal("Windows reads the Linux world file", expected,
                          self.parameters(self.run_windows, "lx"))
        self.expect_equal("Linux reads the Windows world file", expected,
                          self.parameters(self.run_linux, "wx"))
        self.expect_equal("Windows reads its own world file", expected,
                          self.parameters(self.run_windows, "wx"))
        if expected is not None:
            self.expect_equal("parameters as given", [float(v) for v in values],
                              [float(v) for v in expected])
            a, d, b, e, c, f = [float(v) for v in values]
            self.expect_equal("GDAL's geotransform from the Windows world file",
                              [c - 0.5 * a - 0.5 * b, a, b, f - 0.5 * d - 0.5 * e, d, e],
                              self.gdal_transform("wx.tif"))

    def gdal_transform(self, name):
        script = ("import sys\nfrom osgeo import gdal\n"
                  "t = gdal.Open(sys.argv[1]).GetGeoTransform(can_return_null=True)\n"
                  "print(' '.join(v.hex() for v in t) if t else '')\n")
        result = subprocess.run(["/usr/bin/python3", "-c", script, self.path(name)],
                                capture_output=True, text=True)
        return [float.fromhex(v) for v in result.stdout.split()]

    def tiff_tags(self):
        for stem in ("lt", "wt"):
            self.copy_fixture("tiff_no_georef.tif", stem + ".tif")
        tags = ["--scale", "0.30000000000000004", "3", "--tie", "0.5", "0", "100.1", "500"]
        status, _, err = self.run_linux(["set-tiff", "lt"] + tags)
        self.expect_equal("Linux set-tiff", (0, ""), (status, err))
        status, _, err = self.run_windows(["set-tiff", "wt"] + tags)
        self.expect_equal("Windows set-tiff", (0, ""), (status, err))
        with open(self.path("lt.tif"), "rb") as file:
            linux_bytes = file.read()
        with open(self.path("wt.tif"), "rb") as file:
            self.expect_equal("TIFF bytes after the update", linux_bytes, file.read())

        def tiff_side(run, name):
            status, entries, err = self.info(run, [name])
            return entries[0]["tiff"] if status == 0 and len(entries) == 1 else (entries, err)
        expected = tiff_side(self.run_linux, "lt")
        self.expect_equal("Windows reads the Linux tags", expected,
                          tiff_side(self.run_windows, "lt"))
        self.expect_equal("Linux reads the Windows tags", expected,
                          tiff_side(self.run_linux, "wt"))
        # The tie point ties raster (0.5, 0) to (100.1, 500): GDAL's corner is half a pixel
        # west of it.
        sx, sy = 0.30000000000000004, 3.0
        self.expect_equal("GDAL's geotransform from the Windows tags",
                          [100.1 - 0.5 * sx, sx, 0.0, 500.0, 0.0, -sy],
                          self.gdal_transform("wt.tif"))

    def batch(self):
        os.makedirs(self.path("maps/sub"))
        self.copy_fixture("geotiff_le_striped.tif", "maps/a.tif")
        self.copy_fixture("geotiff_le_striped.tif", "maps/sub/b.tif")
        self.copy_fixture("tiff_no_georef.tif", "maps/C.TIF")
        self.copy_fixture("tiff_no_georef.tif", "maps/.hidden.tif")
        self.write("maps/notes.txt", "not a TIFF\n")
        with open(self.path("list.txt"), "wb") as file:
            file.write(b"maps/a.tif\r\nmissing.tif\r\n\r\nmaps/sub/b.tif\r\n")
        runs = [
            (["info", "--jsonl", "-r", "maps"], None),
            (["info", "--jsonl", "maps"], None),
            (["info", "--json", "--files-from", "list.txt", "maps/C.TIF"], None),
            (["info", "--jsonl", "--files-from", "-"], b"maps/sub/b.tif\r\nmaps\r\n"),
            (["info", "--jsonl", "-0", "--files-from", "-"], b"maps/C.TIF\0maps/a.tif\0"),
            (["info", "-r", "maps"], None),
        ]
        for arguments, given in runs:
            what = " ".join(arguments)
            linux = self.batch_run(self.run_linux, arguments, given)
            windows = self.batch_run(self.run_windows, arguments, given)
            self.expect_equal(what, linux, windows)
            if "files examined" in windows[2]:
                self.fail(f"{what}: a summary on a pipe: {windows[2]!r}")

    def batch_run(self, run, arguments, given):
        """Status, reports (files named with '/') and messages of one batch."""
        status, out, err = run(arguments, given)
        if "--json" in arguments or "--jsonl" in arguments:
            lines = [out] if "--json" in arguments else out.splitlines()
            try:
                out = [json.loads(line) for line in lines]
            except ValueError:
                self.fail(f"no JSON from {run.__name__} {arguments}: {out!r} {err!r}")
        return status, self.slashed(out), self.slashed(err)

    def slashed(self, value):
        """The value with the corpus folder as <corpus>/ and the Windows separator as '/'."""
        if isinstance(value, str):
            return self.normalised(value).replace("\\", "/")
        if isinstance(value, list):
            return [self.slashed(item) for item in value]
        if isinstance(value, dict):
            return {key: self.slashed(item) for key, item in value.items()}
        return value

    def console(self):
        self.copy_fixture("geotiff_le_striped.tif", NAME + ".tif")
        status, expected, _ = self.run_linux(["info", NAME])
        self.expect_equal("Linux status", 0, status)
        program = "Z:" + os.path.abspath(self.options.windows_cli).replace("/", "\\")
        # script(1) gives Wine a terminal, so the program's standard output is a console.
        inner = (f"{self.options.wine_run} {self.options.prefix} cmd /c "
                 f"\"chcp 1252 >nul & {program} info {NAME}\"")
        result = subprocess.run(["script", "-qec", inner, "/dev/null"], cwd=self.folder,
                                capture_output=True, env=dict(os.environ, LANG="C.UTF-8"),
                                timeout=120)
        shown = terminal_text(result.stdout)
        self.expect_equal("console status", 0, result.returncode)
        self.expect_equal("console text", self.normalised(expected), self.normalised(shown))

        # A folder's batch ends with a summary on a terminal, as on Linux.
        os.mkdir(self.path("maps"))
        self.copy_fixture("geotiff_le_striped.tif", "maps/a.tif")
        self.copy_fixture("tiff_no_georef.tif", "maps/b.tif")
        linux = self.in_terminal(f"{self.options.linux_cli} info maps")
        windows = self.in_terminal(f"{self.options.wine_run} {self.options.prefix} cmd /c "
                                   f"\"{program} info maps\"")
        self.expect_equal("a batch in a terminal", linux, (windows[0], self.slashed(windows[1])))
        if "kestrel-cli: 2 files examined" not in linux[1]:
            self.fail(f"no summary on the Linux terminal: {linux!r}")

    def in_terminal(self, command):
        result = subprocess.run(["script", "-qec", command, "/dev/null"], cwd=self.folder,
                                capture_output=True, env=dict(os.environ, LANG="C.UTF-8"),
                                timeout=120)
        return result.returncode, self.normalised(terminal_text(result.stdout))


def terminal_text(output):
    """The text a terminal shows for output, one line after another: Wine's console draws a
    space that ends a write as a move of the cursor to the right, which here becomes spaces
    again; its other control sequences and CRs are dropped."""
    shown = output.decode("utf-8", errors="replace")
    shown = re.sub(r"\x1b\[([0-9]*)C", lambda move: " " * int(move.group(1) or "1"), shown)
    return re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", shown).replace("\r", "")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("check", choices=["corpus", "world-files", "tiff-tags", "batch",
                                              "console"])
    for option in ("--linux-cli", "--windows-cli", "--wine-run", "--prefix", "--data"):
        parser.add_argument(option, required=True)
    options = parser.parse_args()
    check = Check(options)
    try:
        getattr(check, options.check.replace("-", "_"))()
    finally:
        check.close()
    for failure in check.failures:
        print(failure, file=sys.stderr)
    if not check.failures:
        print(f"{options.check}: Linux and Windows agree")
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
