#!/bin/sh
# Rebuilds the committed GeoTIFF fixtures with GDAL (gdal-bin). Each is a few KB; the tests
# know the pixel scale and tie point that were given here.
set -e
cd "$(dirname "$0")"
rm -f geotiff_le_striped.tif geotiff_be_tiled.tif geotiff_overviews.tif tiff_no_georef.tif
gdal_create -q -of GTiff -outsize 64 48 -bands 1 -ot Byte -burn 7 -a_srs EPSG:32633 \
    -a_ullr 500000 4000480 500640 4000000 -co COMPRESS=LZW geotiff_le_striped.tif
gdal_create -q -of GTiff -outsize 64 48 -bands 1 -ot Int16 -burn 300 -a_srs EPSG:4326 \
    -a_ullr 10.25 47.5 10.57 47.26 -co TILED=YES -co BLOCKXSIZE=16 -co BLOCKYSIZE=16 \
    -co ENDIANNESS=BIG -co COMPRESS=DEFLATE geotiff_be_tiled.tif
gdal_create -q -of GTiff -outsize 128 96 -bands 1 -ot Byte -burn 3 -a_srs EPSG:3857 \
    -a_ullr 1000 2960 1512 2576 -co COMPRESS=LZW geotiff_overviews.tif
gdaladdo -q geotiff_overviews.tif 2 4
gdal_create -q -of GTiff -outsize 32 32 -bands 1 -ot Byte -burn 1 -a_nodata 0 -co COMPRESS=LZW \
    tiff_no_georef.tif
