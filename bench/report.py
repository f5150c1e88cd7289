#!/usr/bin/python3
"""Prints the Markdown table of a bench/run: the machine, the hyperfine comparisons, the
bytes moved per file, the micro-benchmarks, and whether each target was met.

Usage: report.py RESULTS_DIR SMALL_FILE_COUNT LOOP_FILE_COUNT CHAIN_DIRECTORIES
"""
import json
import os
import sys

from machine import machine

results, small_count, loop_count, chain_dirs = (sys.argv[1], int(sys.argv[2]), int(sys.argv[3]),
                                                sys.argv[4])


def load(name):
    with open(os.path.join(results, name)) as stream:
        return json.load(stream)


def timings(name):
    """Command -> (mean, stddev) in seconds."""
    return {r['command']: (r['mean'], r['stddev'] or 0.0) for r in load(name + '.json')['results']}


READ_CALLS = ('read', 'pread64', 'readv', 'preadv', 'preadv2')
FOLDER_NAMES = ('kestrel-cli info (one call)', 'python3 osgeo.gdal, default',
                'python3 osgeo.gdal, GDAL_DISABLE_READDIR_ON_OPEN=EMPTY_DIR')


def short(command):
    if command in FOLDER_NAMES:  # named on the hyperfine command line
        return command
    words = command.split()
    program = os.path.basename(words[0])
    if program == 'env':
        return 'python3 osgeo.gdal, GDAL_DISABLE_READDIR_ON_OPEN=EMPTY_DIR'
    if program == 'python3':
        return 'python3 osgeo.gdal, default'
    if program == 'bash':
        script = os.path.basename(words[1])
        return {'gdalinfo-loop.sh': 'shell loop of gdalinfo',
                'listgeo-loop.sh': 'shell loop of listgeo'}[script]
    if program == 'kestrel-cli':
        return 'kestrel-cli ' + words[1]
    if program == 'readhead':
        return 'C program: open, read %s bytes' % words[1]
    return program


def ms(seconds):
    return '%.2f ms' % (seconds * 1000)


targets = []


def target(text, met):
    targets.append('| %s | %s |' % (text, 'met' if met else '**missed**'))


print('Machine: ' + machine())
print()

for name, label in (('single-big', '2 GB striped GeoTIFF (sparse), 46341 strips'),
                    ('single-tiled', '8192 x 8192 tiled GeoTIFF with 4 overview levels'),
                    ('single-huge', '4.9 GB tiled BigTIFF GeoTIFF (sparse), 75076 tiles')):
    times = timings(name)
    io_name = name[len('single-'):]
    base = next(v for c, v in times.items() if short(c).startswith('C program'))[0]
    cli = next(v for c, v in times.items() if short(c) == 'kestrel-cli info')[0]
    print('### One file: %s' % label)
    print()
    print('| Command | Wall time (mean ± σ) | × C baseline | × kestrel-cli | Bytes read from the file | Mapped |')
    print('|---|---|---|---|---|---|')
    for command, (mean, sd) in times.items():
        title = short(command)
        io_key = ('readhead' if title.startswith('C program') else
                  {'kestrel-cli info': 'kestrel-cli'}.get(title, title))
        io = load('io-%s-%s.json' % (io_name, io_key))
        print('| %s | %s ± %.2f | %.2f | %.2f | %d | %s |' %
              (title, ms(mean), sd * 1000, mean / base, mean / cli, io['read'],
               'yes' if io['mapped'] else 'no'))
        if title == 'kestrel-cli info':
            target('%s: `info` within 1.5 × the C baseline (%.2f ×)' % (io_name, mean / base),
                   mean <= 1.5 * base)
            target('%s: `info` faster than tiffdump' % io_name,
                   mean < next(v for c, v in times.items() if short(c) == 'tiffdump')[0])
            target('%s: `info` reads under 16 KiB (%d bytes) and never maps the file' %
                   (io_name, io['read']), io['read'] < 16384 and not io['mapped'])
    print()

print('A program that maps the file (listgeo through libtiff) reads it by page faults, which '
      'strace does not see: its byte count covers only its read calls.')
print()

folder = {}
for name in ('folder-fast', 'folder-listgeo', 'folder-gdalinfo'):
    folder.update(timings(name))
io_for = {'kestrel-cli info (one call)': 'folder-kestrel-cli',
          'python3 osgeo.gdal, default': 'folder-python',
          'python3 osgeo.gdal, GDAL_DISABLE_READDIR_ON_OPEN=EMPTY_DIR': 'folder-python-tuned'}
cli = next(v for c, v in folder.items() if short(c).startswith('kestrel-cli'))[0]
print('### A folder of %d small GeoTIFFs with world files' % small_count)
print()
print('The shell loops run over the first %d files; their per-file time is what the ratio '
      'compares.' % loop_count)
print()
print('A file here is a TIFF and its world file; the system calls are those made on the two, '
      'by path or by descriptor.')
print()
print('| Command | Files | Wall time (mean ± σ) | Per file | × kestrel-cli | Bytes read per file '
      '| System calls per file | Read calls per file |')
print('|---|---|---|---|---|---|---|---|')
cli_per_file = cli / small_count
for command, (mean, sd) in folder.items():
    title = short(command)
    files = loop_count if 'loop' in title else small_count
    read_per_file = calls_per_file = reads_per_file = '–'
    if title in io_for:
        io = load('io-%s.json' % io_for[title])
        read_per_file = '%d' % (io['read'] / small_count)
        calls_per_file = '%.1f' % (io['calls'] / small_count)
        reads_per_file = '%.1f' % (io['readCalls'] / small_count)
    print('| %s | %d | %.3f s ± %.3f | %s | %.1f | %s | %s | %s |' %
          (title, files, mean, sd, ms(mean / files), mean / files / cli_per_file, read_per_file,
           calls_per_file, reads_per_file))
    if title == 'python3 osgeo.gdal, default':
        target('folder: at least 15 × faster than the default Python process (%.1f ×)' %
               (mean / cli), mean >= 15 * cli)
    if title.endswith('EMPTY_DIR'):
        target('folder: at least 3 × faster than the tuned Python process (%.1f ×)' %
               (mean / cli), mean >= 3 * cli)
print()

# Examining one sheet: every call made on the TIFF and on its world file, in order. Each file
# is to be read with one call, and the pair to take no more calls than the 10 it takes now.
folder_io = load('io-folder-kestrel-cli.json')
sheet_io = load('io-sheet-kestrel-cli.json')
print('`kestrel-cli info` on one sheet makes these system calls on its two files:')
print()
for path, names in sorted(sheet_io['callsOn'].items()):
    print('- `%s`: %s' % (os.path.basename(path), ', '.join(names)))
print()
calls_per_file = folder_io['calls'] / small_count
target('folder: `info` makes at most 10 system calls on a TIFF and its world file (%.1f)' %
       calls_per_file, calls_per_file <= 10)
target('folder: `info` reads each TIFF and each world file with one read call (%d calls for '
       '%d files)' % (folder_io['readCalls'], 2 * small_count),
       folder_io['readCalls'] == 2 * small_count and
       all(sum(name in READ_CALLS for name in names) == 1
           for names in sheet_io['callsOn'].values()))

for name, target_name, label, what in (
        ('add-tags', 'bare', 'the 2 GB striped file', 'the 2 GB file'),
        ('add-tags-huge', 'huge-bare', 'the 4.9 GB tiled BigTIFF', 'the 4.9 GB BigTIFF')):
    times = timings(name)
    print('### Adding ModelPixelScale and ModelTiepoint to %s (fresh copy each run)' % label)
    print()
    print('| Command | Wall time (mean ± σ) | Bytes written | fsync calls | File growth |')
    print('|---|---|---|---|---|')
    for command, (mean, sd) in times.items():
        title = 'kestrel-cli set-tiff' if 'set-tiff' in command else 'gdal_edit.py -a_ullr'
        key = 'set-tiff' if 'set-tiff' in command else 'gdal_edit'
        io = load('io-%s-%s.json' % (target_name, key))
        size = load('size-%s-%s.json' % (target_name, key))
        print('| %s | %s ± %.2f | %d | %d | %d bytes |' %
              (title, ms(mean), sd * 1000, io['written'], io['fsyncs'],
               size['after'] - size['before']))
        if key == 'set-tiff':
            target('set-tiff writes under 1 KiB to %s (%d bytes)' % (what, io['written']),
                   io['written'] < 1024)
    print()
huge_info = open(os.path.join(results, 'gdalinfo-huge-bare-set-tiff.txt')).read()
target('set-tiff leaves the BigTIFF readable by gdalinfo with the new origin',
       'Origin = (500000.000000000000000,4100000.000000000000000)' in huge_info)
tiled_io = load('io-tiled-bare-set-tiff.json')
info = open(os.path.join(results, 'gdalinfo-tiled-bare-set-tiff.txt')).read()
overviews_kept = 'Overviews: 4096x4096, 2048x2048, 1024x1024, 512x512' in info
readable = 'Origin = (500000.000000000000000,4100000.000000000000000)' in info
print()
print('On the tiled file with overviews, set-tiff wrote %d bytes; gdalinfo afterwards: origin %s, '
      'overviews %s.' % (tiled_io['written'], 'read' if readable else 'NOT read',
                         'all four listed' if overviews_kept else 'NOT all listed'))
target('set-tiff leaves the tiled file readable by gdalinfo with every overview',
       readable and overviews_kept)
print()

micro = load('micro.json')
print('### Micro-benchmarks (Google Benchmark; the chain has %s directories)' % chain_dirs)
print()
print('| Benchmark | Time per iteration | Counters |')
print('|---|---|---|')
for bench in micro['benchmarks']:
    counters = ', '.join('%s %.0f' % (k, v) for k, v in bench.items()
                         if k in ('entries', 'entries/s'))
    print('| %s | %.3f %s | %s |' % (bench['name'], bench['real_time'], bench['time_unit'],
                                      counters))
print()
print('### Targets')
print()
print('| Target | Result |')
print('|---|---|')
print('\n'.join(targets))
