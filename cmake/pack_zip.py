#!/usr/bin/env python3
"""Packs the portable folder into its ZIP, and writes the ZIP's SHA-256 beside it.

    pack_zip.py <folder> <zip> <source folder>

The same folder gives the same bytes on any machine, any day: the entries come
in the order of their names, each with the same time (SOURCE_DATE_EPOCH when
it is set, otherwise the time of the sources' commit) and fixed permissions,
with nothing of the packing machine in them (no owner, no extra fields).
Beside the ZIP, <zip>.sha256 holds its hash as sha256sum writes it, so that
`sha256sum -c` checks it and a Windows user can read it in Notepad.
"""

import hashlib
import os
import subprocess
import sys
import time
import zipfile

# When neither is known (sources without their history): a fixed moment still
# gives the same bytes.
FALLBACK_EPOCH = 1767225600  # 2026-01-01 00:00:00 UTC


def entry_epoch(source):
    if os.environ.get("SOURCE_DATE_EPOCH", "").strip():
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return FALLBACK_EPOCH


def zip_time(epoch):
    # ZIP times carry no zone: UTC, so that the zone of the packing machine
    # does not enter; the format starts in 1980.
    return time.gmtime(max(epoch, 315532800))[:6]


def names_in(folder):
    """Every folder and file under folder, as ZIP names, in sorted order."""
    names = []
    for top, dirs, files in os.walk(folder):
        relative = os.path.relpath(top, folder)
        prefix = "" if relative == "." else relative.replace(os.sep, "/") + "/"
        names += [prefix + d + "/" for d in dirs]
        names += [prefix + f for f in files]
    return sorted(names)


def pack(folder, zip_path, moment):
    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in names_in(folder):
            info = zipfile.ZipInfo(name, date_time=moment)
            info.create_system = 3  # Unix, so that the modes below are kept
            if name.endswith("/"):
                info.external_attr = (0o40755 << 16) | 0x10  # and MS-DOS's directory bit
                archive.writestr(info, b"")
                continue
            executable = name.lower().endswith((".exe", ".dll"))
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    os.replace(partial, zip_path)


def write_hash(zip_path):
    digest = hashlib.sha256()
    with open(zip_path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    with open(zip_path + ".sha256", "w", newline="\n") as f:
        f.write("%s  %s\n" % (digest.hexdigest(), os.path.basename(zip_path)))


def main(argv):
    if len(argv) != 4:
        print("usage: pack_zip.py <folder> <zip> <source folder>", file=sys.stderr)
        return 2
    folder, zip_path, source = argv[1:]
    pack(folder, zip_path, zip_time(entry_epoch(source)))
    write_hash(zip_path)
    print("Packed %s and its SHA-256" % zip_path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
