"""The machine a bench run ran on, and when: one line for the report's tables."""
import datetime
import os
import platform


def machine():
    model = 'unknown processor'
    with open('/proc/cpuinfo') as stream:
        for line in stream:
            if line.startswith('model name'):
                model = line.split(':', 1)[1].strip()
                break
    release = ''
    if os.path.exists('/etc/debian_version'):
        release = 'Debian ' + open('/etc/debian_version').read().strip() + ', '
    load1 = os.getloadavg()[0]
    return ('%s, %d cores, %sLinux %s; load average %.1f at the end; %s UTC' %
            (model, os.cpu_count(), release, platform.release(), load1,
             datetime.datetime.utcnow().strftime('%Y-%m-%d %H:%M')))
