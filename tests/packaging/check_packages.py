#!/usr/bin/env python3
"""Checks the Debian packages that `make package` left in BUILD/packages.

The packages pass lintian and the desktop's validators. Unpacked into a scratch root with
dpkg -x (nothing is installed on the system), kestrel-cli runs from there and reads a GeoTIFF
made by GDAL as GDAL reads it, its bash completion completes, and the dialog, started on
Qt's offscreen platform, finds its guide and its icon in the unpacked layout.

Usage: tests/packaging/check_packages.py BUILD
"""

import gzip
import json
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
APPSTREAM_ID = "org.example.kestrel"


class Checks:
    """Counts and prints the checks; a failure shows what was expected and what was seen."""

    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, name, expected, actual):
        if expected == actual:
            self.passed += 1
            print(f"ok: {name}")
        else:
            self.failed += 1
            print(f"FAILED: {name}\n  expected: {expected!r}\n  actual:   {actual!r}")

    def expect_true(self, name, condition, detail=""):
        self.expect(name + (f" ({detail})" if detail and not condition else ""), True,
                    bool(condition))


def run(command, **options):
    # A program that waits instead of ending fails its check rather than hanging the run.
    try:
        return subprocess.run(command, capture_output=True, text=True, timeout=120, **options)
    except subprocess.TimeoutExpired as expired:
        output = expired.stdout or b""
        if isinstance(output, bytes):
            output = output.decode(errors="replace")
        return subprocess.CompletedProcess(command, -1, output,
                                           f"timed out after {expired.timeout} s")


def project_version():
    cmake = (SOURCE / "CMakeLists.txt").read_text()
    return re.search(r"project\(Kestrel VERSION ([0-9.]+)", cmake).group(1)


def control_field(deb, field):
    return run(["dpkg-deb", "--field", str(deb), field]).stdout.strip()


def check_control(checks, debs):
    for name, deb in debs.items():
        checks.expect(f"{name}: section", "science", control_field(deb, "Section"))
        checks.expect(f"{name}: priority", "optional", control_field(deb, "Priority"))
    # dpkg-shlibdeps found the libraries each program links; only the Qt platform plugins,
    # loaded at run time, are named by hand.
    depends = {name: control_field(deb, "Depends") for name, deb in debs.items()}
    for library in ["qt6-qpa-plugins", "libqt6widgets6 (>= ", "libqt6core6 (>= ", "libc6 (>= "]:
        checks.expect_true(f"kestrel depends on {library}", library in depends["kestrel"],
                           depends["kestrel"])
    for library in ["libc6 (>= ", "libstdc++6 (>= "]:
        checks.expect_true(f"kestrel-cli depends on {library}",
                           library in depends["kestrel-cli"], depends["kestrel-cli"])
    checks.expect_true("kestrel-cli does not depend on Qt", "qt6" not in depends["kestrel-cli"],
                       depends["kestrel-cli"])


def check_lintian(checks, debs):
    lintian = run(["lintian", "--fail-on", "error,warning", "--tag-display-limit", "0",
                   *map(str, debs.values())])
    tags = [line for line in lintian.stdout.splitlines() if re.match(r"^[EW]: ", line)]
    checks.expect("lintian: no errors or warnings", [], tags)
    checks.expect("lintian: exit status", 0, lintian.returncode)


def check_files(checks, root):
    expected = [
        "usr/bin/kestrel",
        "usr/share/kestrel/kestrel.html",
        "usr/share/applications/kestrel.desktop",
        f"usr/share/metainfo/{APPSTREAM_ID}.metainfo.xml",
        "usr/share/icons/hicolor/scalable/apps/kestrel.svg",
        *[f"usr/share/icons/hicolor/{size}x{size}/apps/kestrel.png" for size in ICON_SIZES],
        "usr/share/man/man1/kestrel.1.gz",
        "usr/share/doc/kestrel/copyright",
        "usr/share/doc/kestrel/changelog.gz",
        "usr/bin/kestrel-cli",
        "usr/share/man/man1/kestrel-cli.1.gz",
        "usr/share/bash-completion/completions/kestrel-cli",
        "usr/share/doc/kestrel-cli/copyright",
        "usr/share/doc/kestrel-cli/changelog.gz",
    ]
    missing = [name for name in expected if not (root / name).is_file()]
    checks.expect("packages hold every file", [], missing)
    for program in ["usr/bin/kestrel", "usr/bin/kestrel-cli"]:
        checks.expect_true(f"{program} is executable", os.access(root / program, os.X_OK))


def check_validators(checks, root):
    desktop = run(["desktop-file-validate", str(root / "usr/share/applications/kestrel.desktop")])
    checks.expect("desktop-file-validate", (0, ""), (desktop.returncode, desktop.stdout))
    metainfo = root / f"usr/share/metainfo/{APPSTREAM_ID}.metainfo.xml"
    # Without the network: the screenshot's address is not fetched.
    appstream = run(["appstreamcli", "validate", "--no-net", str(metainfo)])
    checks.expect("appstreamcli validate", 0, appstream.returncode)
    if appstream.returncode != 0:
        print(appstream.stdout)
    text = metainfo.read_text()
    screenshot = re.search(r"<image[^>]*>([^<]+)</image>", text).group(1)
    checks.expect("the screenshot's address names the screenshot in docs/screenshots", True,
                  (SOURCE / "docs/screenshots" / Path(screenshot).name).is_file())


def check_versions(checks, debs, root, version):
    for name, deb in debs.items():
        checks.expect(f"{name}: version", version, control_field(deb, "Version"))
        with gzip.open(root / f"usr/share/doc/{name}/changelog.gz", "rt") as changelog:
            newest = re.match(r"kestrel \(([^)]+)\)", changelog.readline())
        checks.expect(f"{name}: changelog's newest entry", version,
                      newest.group(1) if newest else None)
    metainfo = (root / f"usr/share/metainfo/{APPSTREAM_ID}.metainfo.xml").read_text()
    checks.expect("metainfo's newest release", version,
                  re.search(r'<release version="([^"]+)"', metainfo).group(1))


def check_copyright(checks, root):
    license_text = (SOURCE / "LICENSE").read_text()
    holder = re.search(r"Copyright \(c\) (.+)", license_text).group(1)
    terms = license_text.split(holder, 1)[1].strip("\n")
    for name in ["kestrel", "kestrel-cli"]:
        copyright_text = (root / f"usr/share/doc/{name}/copyright").read_text()
        checks.expect_true(f"{name}: copyright is in Debian's machine-readable format",
                           copyright_text.startswith(
                               "Format: https://www.debian.org/doc/packaging-manuals/"
                               "copyright-format/1.0/\n"))
        fields = re.search(r"\nFiles: \*\nCopyright: (.+)\nLicense: Expat\n((?: .*\n)+)",
                           copyright_text)
        checks.expect(f"{name}: copyright names the holder", holder,
                      fields.group(1) if fields else None)
        # Continuation lines lose their leading space; " ." stands for an empty line.
        body = "\n".join("" if line == " ." else line[1:]
                         for line in fields.group(2).splitlines()) if fields else None
        checks.expect(f"{name}: copyright holds the licence of LICENSE", terms, body)


def make_geotiff(folder):
    """A GeoTIFF and its world file made by GDAL: 2.5 m pixels, corner at (500000.5, 4650000.25)."""
    sheet = folder / "sheet.tif"
    subprocess.run(["gdal_create", "-q", "-of", "GTiff", "-outsize", "30", "20", "-bands", "1",
                    "-a_srs", "EPSG:32632", "-a_ullr", "500000.5", "4650000.25", "500075.5",
                    "4649950.25", "-co", "TFW=YES", str(sheet)], check=True)
    return sheet


def check_cli(checks, root, version, folder):
    cli = str(root / "usr/bin/kestrel-cli")
    result = run([cli, "--version"])
    checks.expect("kestrel-cli --version", (0, f"kestrel-cli {version}\n"),
                  (result.returncode, result.stdout))

    sheet = make_geotiff(folder)
    result = run([cli, "info", "--json", str(sheet)])
    checks.expect("kestrel-cli info --json: exit status", 0, result.returncode)
    entry = json.loads(result.stdout)[0]
    gdal = json.loads(run(["gdalinfo", "-json", str(sheet)]).stdout)["geoTransform"]
    x0, sx, rx, y0, ry, sy = gdal
    tiff = entry["tiff"]
    (i, j), (x, y) = tiff["tiePoint"]["pixel"], tiff["tiePoint"]["world"]
    scale_x, scale_y = tiff["pixelScale"]
    checks.expect("info: the TIFF's placement is GDAL's", [x0, sx, 0.0, y0, 0.0, sy],
                  [x - i * scale_x, scale_x, 0.0, y + j * scale_y, 0.0, -scale_y])
    # The world file's reference point is the centre of the first pixel.
    checks.expect("info: the world file is GDAL's",
                  [sx, ry, rx, sy, x0 + sx / 2 + rx / 2, y0 + ry / 2 + sy / 2],
                  entry["worldFile"]["parameters"])
    checks.expect("info: no error", None, entry["error"])


def check_bash_completion(checks, root, folder):
    for name in ["a.tif", "b.TIFF", "c.txt"]:
        (folder / name).touch()
    (folder / "maps").mkdir()
    script = f"""
source /usr/share/bash-completion/bash_completion
source {root}/usr/share/bash-completion/completions/kestrel-cli
complete_line() {{
    COMP_LINE=$1
    COMP_POINT=${{#COMP_LINE}}
    read -ra COMP_WORDS <<<"$COMP_LINE"
    [[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${{#COMP_WORDS[@]}} - 1))
    COMPREPLY=()
    _kestrel_cli kestrel-cli "${{COMP_WORDS[COMP_CWORD]}}" "${{COMP_WORDS[COMP_CWORD-1]}}"
    printf '%s\\n' "${{COMPREPLY[@]}}" | sort | paste -sd' '
}}
complete_line 'kestrel-cli '
complete_line 'kestrel-cli info --'
complete_line 'kestrel-cli info '
complete_line 'kestrel-cli set-tiff a.tif --'
complete_line 'kestrel-cli set-tiff a.tif --tie '
complete_line 'kestrel-cli tiff-to-world --'
complete_line 'kestrel-cli info --json --files-from '
complete_line 'kestrel-cli world-to-tiff --files-from=c'
complete_line 'kestrel-cli info -r m'
"""
    result = run(["bash", "-c", script], cwd=folder)
    checks.expect("bash completion", [
        "--help --version info set-tiff set-world tiff-to-world world-to-tiff",
        "--files-from --help --json --jsonl --null --recursive",
        "a.tif b.TIFF maps",
        "--help --replace-control-points --scale --tie",
        "",
        "--files-from --help --null --recursive",
        "a.tif b.TIFF c.txt maps",
        "c.txt",
        "maps",
    ], result.stdout.split("\n")[:-1])


def check_dialog(checks, root):
    """The dialog finds the guide and the icon beside itself, in the unpacked layout."""
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    program = str(root / "usr/bin/kestrel")
    share = root / "usr/share"
    icon = "icon {0}x{0}: " + str(share / "icons/hicolor/{0}x{0}/apps/kestrel.png")
    result = run([program, "--check-installation"], env=environment)
    checks.expect("kestrel --check-installation: what it found",
                  [f"guide: {share}/kestrel/kestrel.html"] +
                  [icon.format(size) for size in ICON_SIZES],
                  result.stdout.splitlines())
    checks.expect("kestrel --check-installation: exit status", 0, result.returncode)

    # Without one of the icon's files the check says so and fails.
    missing = share / "icons/hicolor/32x32/apps/kestrel.png"
    missing.unlink()
    result = run([program, "--check-installation"], env=environment)
    checks.expect("kestrel --check-installation without the 32x32 icon", [
        f"kestrel: The application icon of 32x32 pixels is not installed as {missing}."
    ], [line for line in result.stderr.splitlines() if line.startswith("kestrel: ")])
    checks.expect("kestrel --check-installation without the 32x32 icon: exit status", 1,
                  result.returncode)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    packages = Path(sys.argv[1]).resolve() / "packages"
    version = project_version()
    architecture = run(["dpkg", "--print-architecture"]).stdout.strip()
    debs = {name: packages / f"{name}_{version}_{architecture}.deb"
            for name in ["kestrel", "kestrel-cli"]}
    checks = Checks()
    checks.expect("the packages made", sorted(deb.name for deb in debs.values()),
                  sorted(deb.name for deb in packages.glob("*.deb")))
    if checks.failed:
        print(f"{checks.passed} passed, {checks.failed} failed")
        return 1

    check_control(checks, debs)
    check_lintian(checks, debs)
    with tempfile.TemporaryDirectory(prefix="kestrel-packages-") as scratch:
        scratch = Path(scratch).resolve()
        root = scratch / "root"
        for deb in debs.values():
            subprocess.run(["dpkg", "-x", str(deb), str(root)], check=True)
        check_files(checks, root)
        check_validators(checks, root)
        check_versions(checks, debs, root, version)
        check_copyright(checks, root)
        (scratch / "work").mkdir()
        check_cli(checks, root, version, scratch / "work")
        (scratch / "completion").mkdir()
        check_bash_completion(checks, root, scratch / "completion")
        check_dialog(checks, root)
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
