#!/usr/bin/python3
"""Prints the Markdown table of kestrel-cli's scaling with the number of files: for each size,
given as a folder and as a list (--files-from), the peak resident memory, the wall time per file
and the processor time per file (which other work on the machine disturbs less), and whether
the targets were met; the time target is judged on the wall time.

Usage: scaling.py RESULTS_DIR [--machine] SIZE...
The results are hyperfine's scaling-SIZE.json (commands named "folder SIZE" and "list SIZE")
and rss-INPUT-SIZE.json ({"peakKiB": [...]}, one value per run) of bench/run. With --machine,
the machine and the date come first, for a run of this part alone.
"""
import json
import os
import sys

from machine import machine

results = sys.argv[1]
arguments = sys.argv[2:]
show_machine = '--machine' in arguments
sizes = [int(size) for size in arguments if size != '--machine']
INPUTS = (('folder', 'a folder (`info --json FOLDER`)'),
          ('list', 'a list (`info --json --files-from LIST`)'))


def load(name):
    with open(os.path.join(results, name)) as stream:
        return json.load(stream)


if show_machine:
    print('Machine: ' + machine())
    print()

print('### Scaling with the number of files')
print()
print('| Input | Files | Peak RSS (max of runs) | Wall time (mean ± σ) | Per file | × per file at %d '
      '| CPU per file (user + system) | × CPU per file at %d |' % (sizes[0], sizes[0]))
print('|---|---|---|---|---|---|---|---|')
targets = []
for input_name, label in INPUTS:
    per_file = {}
    cpu_per_file = {}
    peak = {}
    for size in sizes:
        run = next(r for r in load('scaling-%d.json' % size)['results']
                   if r['command'] == '%s %d' % (input_name, size))
        per_file[size] = run['mean'] / size
        cpu_per_file[size] = (run['user'] + run['system']) / size
        peak[size] = max(load('rss-%s-%d.json' % (input_name, size))['peakKiB'])
        print('| %s | %d | %.2f MiB | %.3f s ± %.3f | %.1f µs | %.2f | %.1f µs | %.2f |' %
              (label, size, peak[size] / 1024, run['mean'], run['stddev'] or 0.0,
               per_file[size] * 1e6, per_file[size] / per_file[sizes[0]],
               cpu_per_file[size] * 1e6, cpu_per_file[size] / cpu_per_file[sizes[0]]))
    largest = sizes[-1]
    targets.append(('%s: %d files under 16 MiB peak RSS (%.2f MiB)' %
                    (input_name, largest, peak[largest] / 1024), peak[largest] < 16 * 1024))
    ratio = per_file[largest] / per_file[sizes[0]]
    targets.append(('%s: time per file at %d within 1.2 × that at %d (%.2f ×)' %
                    (input_name, largest, sizes[0], ratio), ratio <= 1.2))
print()
print('| Target | Result |')
print('|---|---|')
for text, met in targets:
    print('| %s | %s |' % (text, 'met' if met else '**missed**'))
