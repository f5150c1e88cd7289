#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The TIFF seeds are small GeoTIFFs written by GDAL (both byte orders, striped and tiled,
compressed, with overviews, with and without the two referencing tags, classic and BigTIFF)
and malformed variants of them built byte by byte. The GeoTIFF seeds add what is found in the wild:
pixel-is-point, transformation matrices with and without rotation, ground control points,
Z values (written by geotifcp), and malformed GeoKeyDirectories and matrices. The outputs
are committed; run this again only to change the seeds (it needs gdal-bin, geotiff-bin and
python3-gdal).
"""

import os
import struct
import subprocess
import sys
import tempfile

from osgeo import gdal, osr

gdal.UseExceptions()
gdal.SetConfigOption("GDAL_PAM_ENABLED", "NO")
gdal.SetConfigOption("GDAL_TIFF_OVR_BLOCKSIZE", "64")
gdal.SetConfigOption("COMPRESS_OVERVIEW", "DEFLATE")

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def geotiff(path, options, size=16, referenced=True, overviews=None):
    driver = gdal.GetDriverByName("GTiff")
    ds = driver.Create(path, size, size, 1, gdal.GDT_Byte, options)
    band = ds.GetRasterBand(1)
    band.WriteRaster(0, 0, size, size, bytes((x * 7 + y * 3) & 0xFF for y in range(size) for x in range(size)))
    if referenced:
        ds.SetGeoTransform((500000.0, 10.0, 0.0, 4650000.0, 0.0, -10.0))
        srs = osr.SpatialReference()
        srs.ImportFromEPSG(32632)
        ds.SetProjection(srs.ExportToWkt())
    if overviews:
        ds.BuildOverviews("NEAREST", overviews)
    ds = None
    with open(path, "rb") as f:
        return f.read()


def entries(data):
    """The first IFD's offset, entry count and byte order of a classic TIFF."""
    order = ">" if data[0:1] == b"M" else "<"
    ifd = struct.unpack(order + "I", data[4:8])[0]
    count = struct.unpack(order + "H", data[ifd:ifd + 2])[0]
    return order, ifd, count


def malformed(base):
    """Variants of a valid little-endian GeoTIFF that each break one rule."""
    order, ifd, count = entries(base)
    out = {}
    out["empty.tif"] = b""
    out["header-only.tif"] = base[:8]
    out["short-header.tif"] = base[:5]
    out["cut-in-ifd.tif"] = base[:ifd + 2 + 12 * (count // 2)]
    out["cut-in-values.tif"] = base[:len(base) - 9]
    out["no-ifd.tif"] = base[:4] + struct.pack(order + "I", 0) + base[8:]
    out["ifd-beyond-end.tif"] = base[:4] + struct.pack(order + "I", len(base) + 100) + base[8:]
    # The next-IFD offset pointing back to the first IFD: a loop of length 1.
    nxt = ifd + 2 + 12 * count
    out["ifd-loop.tif"] = base[:nxt] + struct.pack(order + "I", ifd) + base[nxt + 4:]
    # A BigTIFF header.
    out["bigtiff-header.tif"] = b"II" + struct.pack("<HHHQ", 43, 8, 0, 16) + base[16:]
    # An entry count of 65535 as the last two bytes of the file.
    tail = bytearray(base) + b"\xff\xff"
    tail[4:8] = struct.pack(order + "I", len(base))
    out["count-65535-at-end.tif"] = bytes(tail)
    # A DOUBLE entry whose count times 8 overflows 32 bits, and one whose offset lies beyond the end.
    for name, field in (("size-overflow.tif", (12, 0x20000001, 16)), ("offset-beyond-end.tif", (12, 3, 0x7FFFFFF0))):
        data = bytearray(base)
        struct.pack_into(order + "HHII", data, ifd + 2, 33550, *field)
        out[name] = bytes(data)
    # A DOUBLE entry with a count of 0 and an unknown type with a short count.
    for name, field in (("double-count-0.tif", (12, 0, 0)), ("type-99.tif", (99, 2, 0))):
        data = bytearray(base)
        struct.pack_into(order + "HHII", data, ifd + 2, 33550, *field)
        out[name] = bytes(data)
    # The two referencing tags sharing their values, and values overlapping the directory.
    tags = {}
    for i in range(count):
        at = ifd + 2 + 12 * i
        tag, kind, n, value = struct.unpack(order + "HHII", base[at:at + 12])
        tags[tag] = (at, kind, n, value)
    scale, tie = tags[33550], tags[33922]
    data = bytearray(base)
    struct.pack_into(order + "I", data, tie[0] + 8, scale[3])
    out["shared-values.tif"] = bytes(data)
    data = bytearray(base)
    struct.pack_into(order + "I", data, scale[0] + 8, ifd + 2)
    out["values-over-directory.tif"] = bytes(data)
    data = bytearray(base)
    struct.pack_into(order + "I", data, tie[0] + 8, len(base) - 20)
    out["values-past-end.tif"] = bytes(data)
    return out


def tags_of(data):
    """The first IFD's entries of a classic TIFF: tag -> (entry offset, type, count, value)."""
    order, ifd, count = entries(data)
    tags = {}
    for i in range(count):
        at = ifd + 2 + 12 * i
        tag, kind, n, value = struct.unpack(order + "HHII", data[at:at + 12])
        tags[tag] = (at, kind, n, value)
    return order, tags


def set_entry(data, tag, kind, count, value):
    order, tags = tags_of(data)
    out = bytearray(data)
    struct.pack_into(order + "HHII", out, tags[tag][0], tag, kind, count, value)
    return bytes(out)


def geotifcp(tmp, name, text):
    """A GeoTIFF with tags exactly as given in listgeo's text form, written by geotifcp."""
    plain = os.path.join(tmp, "plain-for-" + name)
    geotiff(plain, [], referenced=False)
    with open(os.path.join(tmp, name + ".txt"), "w") as f:
        f.write(text)
    out = os.path.join(tmp, name)
    subprocess.run(["geotifcp", "-g", os.path.join(tmp, name + ".txt"), plain, out],
                   check=True, stdout=subprocess.DEVNULL)
    with open(out, "rb") as f:
        return f.read()


def hand_tags(tiepoints=None, scale=None, matrix=None, point=False):
    text = "Geotiff_Information:\n   Version: 1\n   Key_Revision: 1.0\n   Tagged_Information:\n"
    if tiepoints:
        text += "      ModelTiepointTag (%d,3):\n" % (len(tiepoints) // 3)
        for i in range(0, len(tiepoints), 3):
            text += "         %r %r %r\n" % tuple(tiepoints[i:i + 3])
    if scale:
        text += "      ModelPixelScaleTag (1,3):\n         %r %r %r\n" % tuple(scale)
    if matrix:
        text += "      ModelTransformationTag (4,4):\n"
        for i in range(0, 16, 4):
            text += "         %r %r %r %r\n" % tuple(matrix[i:i + 4])
    return text + ("      End_Of_Tags.\n   Keyed_Information:\n"
                   "      GTModelTypeGeoKey (Short,1): ModelTypeProjected\n"
                   "      GTRasterTypeGeoKey (Short,1): %s\n"
                   "      ProjectedCSTypeGeoKey (Short,1): PCS_WGS84_UTM_zone_33N\n"
                   "      End_Of_Keys.\n   End_Of_Geotiff.\n"
                   % ("RasterPixelIsPoint" if point else "RasterPixelIsArea"))


def wild(tmp):
    """GeoTIFFs as found in the wild, and malformed keys and matrices."""
    def made(name, options=(), transform=None, point=False, gcps=None):
        path = os.path.join(tmp, name)
        driver = gdal.GetDriverByName("GTiff")
        ds = driver.Create(path, 8, 8, 1, gdal.GDT_Byte, list(options))
        ds.GetRasterBand(1).WriteRaster(0, 0, 8, 8, bytes(range(64)))
        srs = osr.SpatialReference()
        srs.ImportFromEPSG(32633)
        if point:
            ds.SetMetadataItem("AREA_OR_POINT", "Point")
        if transform:
            ds.SetGeoTransform(transform)
            ds.SetProjection(srs.ExportToWkt())
        if gcps:
            ds.SetGCPs([gdal.GCP(x, y, z, p, l) for p, l, x, y, z in gcps], srs.ExportToWkt())
        ds = None
        with open(path, "rb") as f:
            return f.read()

    rotated = (1000.0, 2.0, 0.25, 2000.0, 0.5, -3.0)
    out = {
        "point-le.tif": made("p.tif", transform=(1000.0, 2.0, 0.0, 2000.0, 0.0, -3.0), point=True),
        "point-be.tif": made("pb.tif", ["ENDIANNESS=BIG"], (1000.0, 2.0, 0.0, 2000.0, 0.0, -3.0),
                             point=True),
        "rotated-le.tif": made("r.tif", transform=rotated),
        "rotated-point-be.tif": made("rb.tif", ["ENDIANNESS=BIG"], rotated, point=True),
        "south-up.tif": made("s.tif", transform=(1000.0, 2.0, 0.0, 2000.0, 0.0, 3.0)),
        "gcps.tif": made("g.tif", gcps=[(0, 0, 1000, 2000, 0), (8, 0, 1016, 2000, 0),
                                        (0, 8, 1000, 1976, 10)]),
        "z-values.tif": geotifcp(tmp, "z.tif", hand_tags([0, 0, 7, 1000, 2000, 100],
                                                         [2, 3, 0.5])),
        "matrix-north-up.tif": geotifcp(tmp, "m.tif", hand_tags(
            matrix=[2, 0, 0, 1000, 0, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1], point=True)),
        "matrix-beside-tags.tif": geotifcp(tmp, "mt.tif", hand_tags(
            [0, 0, 0, 500, 600, 0, 4, 4, 0, 508, 592, 0], [7, 7, 0], rotated_matrix())),
    }
    base = out["point-le.tif"]
    order, tags = tags_of(base)
    keys = tags[34735]
    # The GeoKeyDirectory's header and first key, changed one way at a time.
    for name, patch in (("keys-version-2.tif", (0, 2)), ("keys-count-65535.tif", (3, 65535)),
                        ("keys-count-0.tif", (3, 0))):
        data = bytearray(base)
        struct.pack_into(order + "H", data, keys[3] + 2 * patch[0], patch[1])
        out[name] = bytes(data)
    out["keys-typed-double.tif"] = set_entry(base, 34735, 12, keys[2] // 4, keys[3])
    out["keys-typed-long.tif"] = set_entry(base, 34735, 4, keys[2] // 2, keys[3])
    out["keys-beyond-end.tif"] = set_entry(base, 34735, 3, keys[2], len(base) + 64)
    out["keys-inline-2.tif"] = set_entry(base, 34735, 3, 2, 1)
    # The matrix of 12 values, as FLOAT, and beyond the end.
    rbase = out["rotated-le.tif"]
    rorder, rtags = tags_of(rbase)
    m = rtags[34264]
    out["matrix-12.tif"] = set_entry(rbase, 34264, 12, 12, m[3])
    out["matrix-float.tif"] = set_entry(rbase, 34264, 11, 16, m[3])
    out["matrix-beyond-end.tif"] = set_entry(rbase, 34264, 12, 16, len(rbase) - 40)
    return out


def rotated_matrix():
    return [2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1]


def bigtiff_entries(data):
    """The first IFD's offset, entry count and byte order of a BigTIFF."""
    order = ">" if data[0:1] == b"M" else "<"
    ifd = struct.unpack(order + "Q", data[8:16])[0]
    count = struct.unpack(order + "Q", data[ifd:ifd + 8])[0]
    return order, ifd, count


def malformed_bigtiff(base):
    """Variants of a valid BigTIFF GeoTIFF that each break one rule at 64 bits."""
    order, ifd, count = bigtiff_entries(base)
    out = {}

    def patched(at, fmt, *values):
        data = bytearray(base)
        struct.pack_into(order + fmt, data, at, *values)
        return bytes(data)

    out["big-header-only.tif"] = base[:16]
    out["big-short-header.tif"] = base[:12]
    out["big-offset-size-4.tif"] = patched(4, "H", 4)
    out["big-reserved-not-0.tif"] = patched(6, "H", 1)
    out["big-cut-in-ifd.tif"] = base[:ifd + 8 + 20 * (count // 2)]
    nxt = ifd + 8 + 20 * count
    out["big-ifd-loop.tif"] = patched(nxt, "Q", ifd)
    out["big-ifd-past-2-63.tif"] = patched(8, "Q", 2**63 + 16)
    out["big-ifd-wraps.tif"] = patched(8, "Q", 2**64 - 16)
    out["big-next-past-2-63.tif"] = patched(nxt, "Q", 2**63)
    out["big-count-2-32.tif"] = patched(ifd, "Q", 2**32)
    out["big-count-max.tif"] = patched(ifd, "Q", 2**64 - 1)
    # Entry 0 as ModelPixelScale with counts whose size wraps or passes 2^63, and with values
    # past 2^63 or where offset plus size wraps.
    first = ifd + 8
    out["big-size-wraps.tif"] = patched(first, "HHQQ", 33550, 12, 2**61 + 1, 16)
    out["big-size-past-2-63.tif"] = patched(first, "HHQQ", 33550, 1, 2**63, 16)
    out["big-values-past-2-63.tif"] = patched(first, "HHQQ", 33550, 12, 3, 2**63)
    out["big-values-wrap.tif"] = patched(first, "HHQQ", 33550, 12, 3, 2**64 - 16)
    # A DOUBLE held inline, which only a BigTIFF entry can hold.
    out["big-double-inline.tif"] = patched(first, "HHQd", 33550, 12, 1, 2.5)
    return out


def world_files():
    return {
        "plain.tfw": b"".join(b"%24.16g\n" % v for v in (10.0, 0.0, 0.0, -10.0, 500005.0, 4649995.0)),
        "crlf.tfw": b"0.5\r\n0\r\n0\r\n-0.5\r\n1000.25\r\n2000.75\r\n",
        "comments.tfw": b"10 m\n0 rotation\n0\n-10 metres\n500005.0 east\n4649995.0 north\nextra line\n",
        "five-lines.tfw": b"1\n0\n0\n-1\n100\n",
        "empty-line.tfw": b"1\n0\n\n-1\n100\n200\n",
        "exponents.tfw": b"1e-7\n-0\n1.5E+300\n-2.5e-308\ninf\nnan\n",
        "seventeen.tfw": b"    0.10000000000000001\n0\n0\n-0.10000000000000001\n 123456.78901234567\n-9876543.2109876543\n",
        "long-line.tfw": b" " * 300 + b"1\n0\n0\n-1\n5\n6\n",
        "empty.tfw": b"",
    }


def format_seeds():
    # Layout read by the formatter target: one byte of argument count, per argument a kind
    # byte and 8 value bytes (or a text up to a NUL), one capacity byte, then the template
    # as UTF-16LE.
    def seed(args, capacity, template):
        data = bytearray([len(args)])
        for kind, payload in args:
            data.append(kind)
            data += payload
        data.append(capacity)
        data += template.encode("utf-16-le")
        return bytes(data)

    i = lambda v: (3, struct.pack("<q", v))
    d = lambda v: (6, struct.pack("<d", v))
    t = lambda s: (7, s.encode() + b"\0")
    w = lambda s: (8, s.encode("utf-16-le") + b"\0\0")
    return {
        "int.fmt": seed([i(42), i(-5), i(255)], 255, "%1>8d|%-1>8d|%1>.4d|%#3>x|%3>X|%+2>d|%2>x"),
        "double.fmt": seed([d(1.5), d(0.05), d(1.0e12), d(-0.0)], 255, "%1>f %1>e %2>f %3>f %4>g %1>.30f %3>G"),
        "text.fmt": seed([t("C:\\maps\\name.ext.bak"), w("\\\\srv\\data\\a.tif")], 255,
                         "%1>s %1>b %1>B %1>p %2>P %2>.3s %1^b %7^d"),
        "directives.fmt": seed([i(1)], 40, "%% %D %O %V %v %5>d %17^d %F %2ld %^1b %"),
        "long.fmt": seed([t("x" * 60), w("y" * 60)], 255, "%1>s" * 10 + "%2>s" * 10),
        "tiny.fmt": seed([i(123456)], 1, "%1>d abc"),
    }


def path_seeds():
    # The path target reads one style byte and then the path as UTF-16LE.
    texts = [
        "C:\\maps\\sheet1.tif", "\\\\srv\\data\\maps\\a.b.tif", "\\\\srv\\a.tif", "C:\\maps.old\\readme",
        "C:\\maps\\.profile", "C:x\\..\\..\\y", "/home/user/maps/sheet", "../a/./b//c.tiff", "",
        "/", "a" * 300, "C:\\" + "d" * 254 + "\\x.tif", "relative/name.", "\\root\\rel/mixed\\x",
    ]
    out = {}
    for n, text in enumerate(texts):
        for style in (0, 1, 3):
            out["%02d-%d.path" % (n, style)] = bytes([style]) + text.encode("utf-16-le")
    return out


def main():
    with tempfile.TemporaryDirectory() as tmp:
        def make(name, options, **kw):
            return geotiff(os.path.join(tmp, name), options, **kw)

        seeds = {
            "striped-le.tif": make("a.tif", []),
            "striped-be.tif": make("b.tif", ["ENDIANNESS=BIG"]),
            "tiled-le.tif": make("c.tif", ["TILED=YES", "BLOCKXSIZE=16", "BLOCKYSIZE=16"], size=32),
            "tiled-be-deflate.tif": make("d.tif", ["TILED=YES", "BLOCKXSIZE=16", "BLOCKYSIZE=16",
                                                   "COMPRESS=DEFLATE", "ENDIANNESS=BIG"], size=32),
            "overviews-le.tif": make("e.tif", [], size=32, overviews=[2, 4]),
            "overviews-be.tif": make("f.tif", ["ENDIANNESS=BIG"], size=32, overviews=[2]),
            "unreferenced-le.tif": make("g.tif", [], referenced=False),
            "unreferenced-be.tif": make("h.tif", ["ENDIANNESS=BIG"], referenced=False),
            "bigtiff-striped-le.tif": make("i.tif", ["BIGTIFF=YES"]),
            "bigtiff-tiled-be.tif": make("j.tif", ["BIGTIFF=YES", "TILED=YES", "BLOCKXSIZE=16",
                                                   "BLOCKYSIZE=16", "ENDIANNESS=BIG"], size=32),
            "bigtiff-overviews-be.tif": make("k.tif", ["BIGTIFF=YES", "ENDIANNESS=BIG"], size=32,
                                             overviews=[2]),
            "bigtiff-unreferenced-le.tif": make("l.tif", ["BIGTIFF=YES"], referenced=False),
        }
        bad = malformed(seeds["striped-le.tif"])
        bad.update(malformed_bigtiff(seeds["bigtiff-striped-le.tif"]))
        found = wild(tmp)
        for target in ("tiff_read", "tiff_update", "geotiff"):
            for name, data in list(seeds.items()) + list(bad.items()) + list(found.items()):
                write(target, name, data)
    for name, data in world_files().items():
        write("world_file", name, data)
    for name, data in format_seeds().items():
        write("format", name, data)
    for name, data in path_seeds().items():
        write("path", name, data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
