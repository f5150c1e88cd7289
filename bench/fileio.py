#!/usr/bin/python3
"""Bytes a traced process moved to and from the data files, from an strace log.

Usage: fileio.py LOG DATA_DIR [--calls]
Prints one JSON object: files opened under DATA_DIR, bytes read from them, bytes written to
them, how many of them were mapped into memory, the fsync calls on them, every system call
made on them (by path or by descriptor) and the read calls among those. With --calls, also
the names of the calls made on each file, in order.

The log comes from
  strace -f -qq -e signal=none -e trace=%file,%desc,mmap -o LOG COMMAND...
"""
import json
import re
import sys

CALL = re.compile(r'^(?:\[pid\s+)?(\d+)\]?\s+(\w+)\((.*)\)\s+=\s+(-?\d+|0x[0-9a-f]+)')
UNFINISHED = re.compile(r'^(?:\[pid\s+)?(\d+)\]?\s+(.*) <unfinished \.\.\.>$')
RESUMED = re.compile(r'^(?:\[pid\s+)?(\d+)\]?\s+<\.\.\. (\w+) resumed>(.*)$')
READS = {'read', 'pread64', 'readv', 'preadv', 'preadv2'}
WRITES = {'write', 'pwrite64', 'writev', 'pwritev', 'pwritev2'}
SYNCS = {'fsync', 'fdatasync', 'sync_file_range'}


def calls(lines):
    pending = {}
    for line in lines:
        line = line.rstrip('\n')
        match = UNFINISHED.match(line)
        if match:
            pending[match.group(1)] = match.group(2)
            continue
        match = RESUMED.match(line)
        if match and match.group(1) in pending:
            line = match.group(1) + ' ' + pending.pop(match.group(1)) + match.group(3)
        match = CALL.match(line)
        if match:
            yield match.group(2), match.group(3), match.group(4)


def subject(name, arguments, open_fds, data_dir):
    """The data file a call is made on: its first argument as a descriptor opened on one, else
    the first quoted path under data_dir in its arguments (not the data of a read or write,
    which may name a file too); None for any other call."""
    first = arguments.split(',', 1)[0].strip()
    if first.isdigit() and int(first) in open_fds:
        return open_fds[int(first)]
    if name in READS or name in WRITES:
        return None
    quoted = re.search(r'"((?:[^"\\]|\\.)*)"', arguments)
    if quoted and quoted.group(1).startswith(data_dir):
        return quoted.group(1)
    return None


def main():
    log, data_dir = sys.argv[1], sys.argv[2].rstrip('/') + '/'
    list_calls = '--calls' in sys.argv[3:]
    open_fds = {}  # descriptor -> path, for files under data_dir
    files, mapped, synced = set(), set(), 0
    read_bytes = written_bytes = read_calls = 0
    calls_on = {}  # path -> names of the calls made on it, in order
    with open(log, errors='replace') as stream:
        for name, arguments, result in calls(stream):
            value = int(result, 0)
            path = subject(name, arguments, open_fds, data_dir)
            if path is not None:
                calls_on.setdefault(path, []).append(name)
                read_calls += name in READS
            if name in ('open', 'openat', 'openat2'):
                quoted = re.search(r'"((?:[^"\\]|\\.)*)"', arguments)
                if quoted and value >= 0:
                    path = quoted.group(1)
                    if path.startswith(data_dir):
                        open_fds[value] = path
                        files.add(path)
                    else:
                        open_fds.pop(value, None)
                continue
            first = arguments.split(',', 1)[0].strip()
            if name == 'close':
                open_fds.pop(int(first), None) if first.isdigit() else None
                continue
            if name in ('dup', 'dup2', 'dup3') and first.isdigit() and int(first) in open_fds:
                open_fds[value] = open_fds[int(first)]
                continue
            if name == 'mmap':
                parts = [part.strip() for part in arguments.split(',')]
                if len(parts) >= 5 and parts[4].lstrip('-').isdigit() and int(parts[4]) in open_fds:
                    mapped.add(open_fds[int(parts[4])])
                continue
            if not first.isdigit() or int(first) not in open_fds or value < 0:
                continue
            if name in READS:
                read_bytes += value
            elif name in WRITES:
                written_bytes += value
            elif name in SYNCS:
                synced += 1
    result = {'files': len(files), 'read': read_bytes, 'written': written_bytes,
              'mapped': len(mapped), 'fsyncs': synced,
              'calls': sum(len(names) for names in calls_on.values()), 'readCalls': read_calls}
    if list_calls:
        result['callsOn'] = calls_on
    print(json.dumps(result))


if __name__ == '__main__':
    main()
