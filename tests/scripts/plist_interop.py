#!/usr/bin/env python3
"""An independent reader and writer of data.plist, for the interop tests.

describe PATH  prints one line per record: key=type:value, sorted by key
write PATH     writes a two-note store the way another tool would
"""
import datetime
import plistlib
import sys


def describe(path):
    with open(path, "rb") as f:
        notes = plistlib.load(f)
    assert isinstance(notes, list), type(notes)
    for note in notes:
        fields = []
        for key in sorted(note):
            value = note[key]
            if isinstance(value, datetime.datetime):
                shown = "date:" + value.strftime("%Y-%m-%dT%H:%M:%SZ")
            elif isinstance(value, list):
                shown = "array:" + ",".join(type(v).__name__ + "=" + str(v) for v in value)
            else:
                shown = type(value).__name__ + ":" + str(value)
            fields.append(key + "=" + shown)
        print(" ".join(fields))


def write(path):
    notes = [
        {
            "Title": "Groceries & <stuff>",
            "Path": "/20090305190507.aif",
            "Date": datetime.datetime(2009, 3, 5, 19, 5, 7),
            "Icon": "VioletIcon",
            "Lengh": [3, 7],
            "NoteID": 2,
            "numPackets": 1496000,
            "SampleRate": 8000,
            "Alert": datetime.datetime(1999, 12, 31, 23, 59, 59),
            "CheckPlay": 1,
            "Info": "Zwei Äpfel\nund Brot",
        },
        {
            "Title": "Note 1",
            "Path": "/2009030590507.aif",
            "Date": datetime.datetime(2009, 3, 5, 9, 5, 7),
            "Icon": "YellowIcon",
            "Lengh": [0, 1],
            "NoteID": 1,
            "numPackets": 8000,
            "SampleRate": 44100,
        },
    ]
    with open(path, "wb") as f:
        plistlib.dump(notes, f, fmt=plistlib.FMT_XML)


if __name__ == "__main__":
    {"describe": describe, "write": write}[sys.argv[1]](sys.argv[2])
