"""Mounts a small tmpfs on a folder, or unmounts it, for tests of a full disk.

Usage: mount_tmpfs.py RESULT mount FOLDER SIZE [ro] | mount_tmpfs.py RESULT umount FOLDER
("ro" mounts it read-only.)
Writes "OK" or the reason it could not (not root, no mount permission) to RESULT.
"""
import os
import subprocess
import sys


def main():
    result, action, folder = sys.argv[1:4]
    if action == "mount":
        options = "size=%s" % sys.argv[4] + (",ro" if sys.argv[5:] == ["ro"] else "")
        command = ["mount", "-t", "tmpfs", "-o", options, "tmpfs", folder]
    else:
        command = ["umount", folder]
    try:
        done = subprocess.run(command, capture_output=True)
        text = "OK" if done.returncode == 0 else (done.stderr.decode("utf-8", "replace").strip() or "refused")
    except OSError as error:
        text = str(error)
    with open(result + ".part", "w") as out:
        out.write(text + "\n")
    os.replace(result + ".part", result)


if __name__ == "__main__":
    main()
