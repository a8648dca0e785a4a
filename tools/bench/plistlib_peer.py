#!/usr/bin/python3
"""The note store's operations done by Python's plistlib, for the store
benchmark to compare with. Reads commands from standard input, one a line:

    OPERATION PATH INDEX

and answers each with the seconds it took. Every operation is the whole
read-modify-write the store does: read and parse the file, change the
list, write it back as XML through a temporary file, fsync and rename.
"""

import datetime
import os
import plistlib
import sys
import tempfile
import time


def load(path):
    with open(path, "rb") as f:
        return plistlib.load(f)


def write_atomically(path, notes):
    data = plistlib.dumps(notes, fmt=plistlib.FMT_XML)
    fd, temporary = tempfile.mkstemp(dir=os.path.dirname(path))
    try:
        os.write(fd, data)
        os.fsync(fd)
    finally:
        os.close(fd)
    os.rename(temporary, path)


def edit(path, index, change):
    notes = load(path)
    if index < len(notes):
        change(notes[index])
        write_atomically(path, notes)


def save(path, index):
    notes = load(path)
    now = datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None)
    notes.insert(0, {"Title": "Note 1", "Path": "/new.aif", "Date": now, "Icon": "YellowIcon",
                     "Lengh": [0, 5], "NoteID": 1, "numPackets": 40000, "SampleRate": 8000})
    write_atomically(path, notes)


def remove(path, index):
    notes = load(path)
    if index < len(notes):
        audio = os.path.join(os.path.dirname(path), os.path.basename(notes[index].get("Path", "")))
        if os.path.isfile(audio):
            os.remove(audio)
        del notes[index]
        write_atomically(path, notes)


def alert_date():
    return datetime.datetime(2030, 1, 2, 3, 4, 5)


OPERATIONS = {
    "countInPlist": lambda path, index: len(load(path)),
    "loadObject": lambda path, index: load(path)[index],
    "saveObject": save,
    "removeObjectAtIndex": remove,
    "rename": lambda path, index: edit(path, index, lambda note: note.__setitem__("Title", "Renamed")),
    "icon": lambda path, index: edit(path, index, lambda note: note.__setitem__("Icon", "BlueIcon")),
    "editInfoAtIndex": lambda path, index: edit(path, index, lambda note: note.__setitem__("Info", "Some text")),
    "editDateAlertAtIndex": lambda path, index: edit(path, index,
                                                     lambda note: note.__setitem__("Alert", alert_date())),
    "editBadgeatObjectatIndex": lambda path, index: edit(path, index,
                                                         lambda note: note.__setitem__("CheckPlay", 1)),
}


def main():
    for line in sys.stdin:
        operation, path, index = line.split()
        start = time.perf_counter()
        OPERATIONS[operation](path, int(index))
        print(time.perf_counter() - start, flush=True)


if __name__ == "__main__":
    main()
