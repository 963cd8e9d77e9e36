#!/usr/bin/env python3
"""Runs a command with the test prefix's serial ports COM1..COM4 laid out as asked,
and puts the prefix's own mapping back afterwards.

    serial_ports.py PORTS -- COMMAND...

PORTS has one letter per port, COM1 first: 'f' a free port (a pseudo-terminal
nobody holds), 'b' a port that exists but cannot be opened, as when another
program holds it (a pseudo-terminal whose other side is still locked), 'm' no
port at all. Wine resolves COMn through the prefix's dosdevices/comN link at
each open, so the layout takes effect without restarting the wineserver.
"""
import ctypes
import os
import pty
import subprocess
import sys


def main():
    split = sys.argv.index('--')
    layout, command = sys.argv[1], sys.argv[split + 1:]
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    prefix = os.environ.get('WINEPREFIX', os.path.join(root, '.wineprefix', 'test'))
    devices = os.path.join(prefix, 'dosdevices')

    libc = ctypes.CDLL(None)
    libc.ptsname.restype = ctypes.c_char_p
    saved, keep = {}, []
    try:
        for n, kind in enumerate(layout, start=1):
            link = os.path.join(devices, 'com%d' % n)
            saved[link] = os.readlink(link) if os.path.islink(link) else None
            if os.path.lexists(link):
                os.remove(link)
            if kind == 'f':
                master, slave = pty.openpty()
                keep += [master, slave]
                os.symlink(os.ttyname(slave), link)
            elif kind == 'b':
                master = os.open('/dev/ptmx', os.O_RDWR | os.O_NOCTTY)
                libc.grantpt(master)  # never unlocked: opening the other side fails
                keep.append(master)
                os.symlink(libc.ptsname(master).decode(), link)
        return subprocess.call(command)
    finally:
        for link, target in saved.items():
            if os.path.lexists(link):
                os.remove(link)
            if target:
                os.symlink(target, link)
        for fd in keep:
            os.close(fd)


if __name__ == '__main__':
    sys.exit(main())
