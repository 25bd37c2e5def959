"""Reads back an archive the zip writer made and compares it with the original files.

Usage: zip_check.py RESULT ZIP REFERENCE_FOLDER all|subset
Every entry must be one of the reference files (all: every reference file must be there) with the
same bytes, size and CRC, deflated, dated by the file's last-write time (local time, 2-second
steps), UTF-8 flagged exactly when its name is not ASCII; `unzip -t` must pass. Writes "OK" or the
problems found to RESULT.
"""
import os
import subprocess
import sys
import time
import zipfile
import zlib


def check(zip_path, reference, mode):
    problems = []
    expected = set(os.listdir(reference))
    with zipfile.ZipFile(zip_path) as archive:
        bad = archive.testzip()
        if bad is not None:
            problems.append("bad entry %r" % bad)
        names = [info.filename for info in archive.infolist()]
        if len(names) != len(set(names)):
            problems.append("repeated entry names")
        if mode == "all" and set(names) != expected:
            problems.append("missing %r, extra %r" % (sorted(expected - set(names)), sorted(set(names) - expected)))
        for info in archive.infolist():
            if info.filename not in expected:
                problems.append("unexpected entry %r" % info.filename)
                continue
            path = os.path.join(reference, info.filename)
            with open(path, "rb") as original:
                data = original.read()
            if archive.read(info) != data or info.file_size != len(data):
                problems.append("%r: bytes differ" % info.filename)
            if info.CRC != zlib.crc32(data):
                problems.append("%r: CRC differs" % info.filename)
            if info.compress_type != zipfile.ZIP_DEFLATED:
                problems.append("%r: not deflated" % info.filename)
            stamp = time.localtime(os.stat(path).st_mtime)
            want = (stamp.tm_year, stamp.tm_mon, stamp.tm_mday, stamp.tm_hour, stamp.tm_min, stamp.tm_sec // 2 * 2)
            if info.date_time != want:
                problems.append("%r: date %r, file %r" % (info.filename, info.date_time, want))
            if bool(info.flag_bits & 0x800) == info.filename.isascii():
                problems.append("%r: language-encoding flag %x" % (info.filename, info.flag_bits))
    tested = subprocess.run(["unzip", "-t", "-qq", zip_path], capture_output=True)
    if tested.returncode != 0:
        problems.append("unzip -t: %s" % (tested.stdout + tested.stderr).decode("utf-8", "replace"))
    return problems


def main():
    result, zip_path, reference, mode = sys.argv[1:5]
    try:
        problems = check(zip_path, reference, mode)
    except Exception as error:  # a broken archive is a finding, not a crash
        problems = ["%s: %s" % (type(error).__name__, error)]
    with open(result + ".part", "w", encoding="utf-8") as out:
        out.write(("OK" if not problems else "; ".join(problems)[:4000]) + "\n")
    os.replace(result + ".part", result)


if __name__ == "__main__":
    main()
