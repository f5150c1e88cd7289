#!/usr/bin/python3
"""Rebuilds the GeoTIFFs of the robustness and crash consistency tests with GDAL (gdal-bin,
python3-gdal), with the seed maker of the fuzz corpora: 16 x 16 bytes (32 x 32 with an
overview), EPSG:32632, pixel scale 10 and tie point (500000, 4650000) unless unreferenced;
each in the classic layout and as a BigTIFF.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "fuzz"))

from make_corpus import geotiff  # noqa: E402

FIXTURES = (
    ("geotiff-le", [], {}),
    ("geotiff-be", ["ENDIANNESS=BIG"], {}),
    ("plain-le", [], {"referenced": False}),
    ("overviews-be", ["ENDIANNESS=BIG"], {"size": 32, "overviews": [2]}),
)

for name, options, kw in FIXTURES:
    geotiff(os.path.join(HERE, name + ".tif"), options, **kw)
    geotiff(os.path.join(HERE, name + "-bigtiff.tif"), options + ["BIGTIFF=YES"], **kw)
