"""The window used as a screen reader uses it: read through AT-SPI and driven
by its actions, text and values alone, never by a synthesized click or key.
Each test checks what it did in the store, the settings or the tree."""

import os
import plistlib
import shutil
import threading
import unittest

from session import App, Timeout, do_action, is_showing, name, problems_in_tree, role, states, wait_for, walk

BINARY = os.environ["VOICENOTES_BINARY"]
# The wheel's rows, in order.
COLOURS = ["Yellow", "Green", "Blue", "Red", "Orange", "Violet"]


class ScreenReaderTest(unittest.TestCase):
    def setUp(self):
        self.app = App(BINARY)
        self.addCleanup(self.app.stop)
        self.prepare()
        self.app.start()

    def prepare(self):
        """What the store holds before the application starts."""

    def assertTreeSound(self, screen):
        # What a reader in another process sees follows the window's changes
        # a moment later (a screen still building its rows, one just gone
        # still marked as showing): sound once it has settled.
        problems = []

        def sound():
            problems[:] = problems_in_tree(self.app.window)
            return not problems

        try:
            wait_for("%s to be read soundly" % screen, sound)
        except Timeout:
            pass
        self.assertEqual(problems, [], screen)

    def record(self, seconds=1):
        """A note recorded and saved through the recording screen."""
        before = len(self.app.store())
        self.app.press("New")
        clock = "0:%02d" % seconds
        wait_for("the clock at %s" % clock, lambda: self.app.find("label", clock))
        self.app.press("Save")
        wait_for("the note stored", lambda: len(self.app.store()) == before + 1)
        self.app.wait_find("list", "Notes")

    def value(self, obj):
        return obj.queryValue().currentValue

    def turn_wheel(self, wheel, colour):
        """Presses the rows in sight, nearer each time, until the colour's
        row is in sight and pressed: rows beyond the wheel's frame are not
        shown, to a reader either."""
        target = COLOURS.index(colour)
        while True:
            shown = [o for o in walk(wheel) if o is not None and role(o) == "list item" and "showing" in states(o)
                     and name(o) in COLOURS]
            nearest = min(shown, key=lambda o: abs(COLOURS.index(name(o)) - target))
            do_action(nearest, "Press")
            wait_for("%s chosen" % name(nearest), lambda: "selected" in states(nearest))
            if name(nearest) == colour:
                return nearest

    def open_details(self):
        do_action(self.app.wait_find("push button", "Details"), "Press")
        return self.app.wait_find("list", "Details")


class RecordingTest(ScreenReaderTest):
    def test_a_recording_is_saved_or_cancelled(self):
        self.assertEqual(role(self.app.window), "frame")
        notes = self.app.wait_find("list", "Notes")
        wait_for("the list to have the keyboard", lambda: "focused" in states(notes))
        self.assertTreeSound("the empty list")

        self.app.press("New")
        save = self.app.wait_find("push button", "Save")
        wait_for("the keyboard on Save", lambda: "focused" in states(save))
        wait_for("the list covered", lambda: self.app.find("list", "Notes") is None)
        self.assertTreeSound("recording")
        self.app.wait_find("progress bar", "Share of the maximum length used")
        # The level indicator reads the virtual microphone's tone, 60 dB to full scale.
        meter = self.app.wait_find("progress bar", "Input level")
        wait_for("the meter to hear the tone", lambda: self.value(meter) > 40)
        self.assertEqual(meter.queryValue().maximumValue, 60)
        self.app.press("Save")
        wait_for("the note stored", lambda: len(self.app.store()) == 1)
        self.app.wait_find("list", "Notes")

        self.app.press("New")
        self.app.press("Cancel")
        self.app.wait_find("list", "Notes")
        self.app.gone("push button", "Save")
        self.assertEqual(len(self.app.store()), 1)
        self.assertTreeSound("the list with a note")


class PlaybackTest(ScreenReaderTest):
    def prepare(self):
        # Long enough that it is still playing whenever the test looks.
        self.app.seed_note(60)

    def test_a_note_is_played_paused_moved_and_stopped(self):
        self.app.press_row("Note 1")
        ring = self.app.wait_find("progress bar", "Playing")
        wait_for("the ring to move", lambda: self.value(ring) > 0)
        self.assertTreeSound("playing")
        self.assertIsNone(self.app.find("label", "Notes: 1"), "the count under the slider still shows")

        self.app.press("Pause")
        self.app.wait_find("push button", "Play")
        slider = self.app.wait_find("slider", "Position in the note")
        slider.queryValue().currentValue = slider.queryValue().maximumValue / 2
        self.app.press("Play")
        wait_for("the ring past the place moved to", lambda: self.value(ring) >= 50)

        self.app.press_row("Note 1")
        self.app.gone("progress bar", "Playing")
        self.app.wait_find("label", "Notes: 1")


class SearchTest(ScreenReaderTest):
    def prepare(self):
        self.app.seed_note(5)
        store = os.path.join(self.app.documents(), "data.plist")
        with open(store, "rb") as f:
            notes = plistlib.load(f)
        shutil.copy(self.app.documents() + notes[0]["Path"], self.app.documents() + "/paris.aif")
        notes.insert(0, dict(notes[0], Title="Café in Paris", Path="/paris.aif", NoteID=2))
        with open(store, "wb") as f:
            plistlib.dump(notes, f)

    def test_a_reader_searches_and_reaches_the_notes_found(self):
        self.app.row("Note 1")
        self.app.press("Search notes")
        field = wait_for("the search field focused", lambda: next(
            (o for o in walk(self.app.window) if o is not None and role(o) == "text" and name(o) == "Search notes"
             and "focused" in states(o)), None))
        field.queryEditableText().setTextContents("CAFE")
        self.app.wait_find("label", "Found: 1 / 2")
        wait_for("the other note left out", lambda: not any(
            o is not None and role(o) == "list item" and name(o).startswith("Note 1") and is_showing(o)
            for o in walk(self.app.window)))
        self.app.press_row("Café in Paris")
        self.app.wait_find("push button", "Pause")
        self.assertTreeSound("a search")


class DetailsTest(ScreenReaderTest):
    def test_a_notes_details_are_changed(self):
        self.record()
        details = self.open_details()
        self.assertTreeSound("details")

        self.app.press_row("Name", details)
        field = wait_for("the name field focused", lambda: next(
            (o for o in walk(details) if o is not None and role(o) == "text" and name(o) == "Name"
             and "focused" in states(o)), None))
        field.queryEditableText().setTextContents("Groceries")
        self.app.press("Done")
        wait_for("the name stored", lambda: self.app.store()[0]["Title"] == "Groceries")

        self.app.press_row("Icon", details)
        wheel = self.app.wait_find("list", "Icon")
        self.assertTreeSound("the icon wheel")
        for colour in COLOURS[1:] + COLOURS[:1]:
            item = self.turn_wheel(wheel, colour)
            wait_for("%s stored" % colour, lambda colour=colour: self.app.store()[0]["Icon"] == colour + "Icon")
            self.assertIn("selected", states(item))
        self.app.press("Done")
        self.app.gone("list", "Icon")

        self.app.press_row("Alert", details)
        picker = self.app.wait_find("spin button", "Alert")
        self.assertTreeSound("the date picker")
        do_action(picker, "Increase")
        wait_for("the alert stored", lambda: "Alert" in self.app.store()[0])
        # A button's Press clicks it a moment later: its effect is waited for.
        self.app.press("Done")
        self.app.wait_find("push button", "Export")

        self.app.press_row("Notes", details)
        text = self.app.wait_find("text", "Notes")
        text.queryEditableText().setTextContents("Milk, bread")
        self.app.press("Done")
        wait_for("the text stored", lambda: self.app.store()[0].get("Info") == "Milk, bread")

        self.app.press("\u2039 Back")
        self.app.wait_find("list", "Notes")
        self.app.row("Groceries")


class DeleteTest(ScreenReaderTest):
    def test_one_note_and_then_all_are_deleted(self):
        for _ in range(3):
            self.record()
        self.app.press("Edit")
        first = self.app.row("Note 3")
        # Each delete control says which note it deletes.
        controls = wait_for("the row's delete control", lambda: [
            o for o in walk(first) if o is not None and role(o) == "push button" and name(o) == "Delete Note 3"])
        do_action(controls[0], "Press")
        confirm = wait_for("the row's confirmation", lambda: [
            o for o in walk(first) if o is not None and role(o) == "push button" and name(o) == "Delete Note 3"
            and o not in controls])
        do_action(confirm[0], "Press")
        wait_for("one note gone", lambda: len(self.app.store()) == 2)
        self.assertEqual([n["Title"] for n in self.app.store()], ["Note 2", "Note 1"])

        do_action(self.app.wait_find("push button", "Delete all notes"), "Press")
        self.app.press("OK")
        wait_for("every note gone", lambda: self.app.store() == [])
        self.app.wait_find("label", "No notes yet")


class PreferencesTest(ScreenReaderTest):
    def test_every_setting_is_changed_and_about_read(self):
        self.app.press("Preferences")
        table = self.app.wait_find("list", "Preferences")
        wait_for("the preferences to have the keyboard", lambda: "focused" in states(table))
        self.assertTreeSound("preferences")

        for switch, key in (("Record on start-up", "AutoRecording"), ("Quiet playback", "UseReceiver")):
            box = self.app.wait_find("check box", switch)
            self.assertNotIn("checked", states(box))
            do_action(box, "Toggle")
            wait_for("%s on" % switch, lambda box=box: "checked" in states(box))
            wait_for("%s stored" % key, lambda key=key: "%s=true" % key in self.app.settings())

        for choice in ("Medium", "High", "10 minutes", "Unlimited"):
            row = self.app.row(choice, table)
            do_action(row, "Press")
            wait_for("%s ticked" % choice, lambda row=row: "checked" in states(row))
        self.assertNotIn("checked", states(self.app.row("Low", table)))
        self.assertNotIn("checked", states(self.app.row("5 minutes", table)))
        wait_for("the sample rate stored", lambda: "SampleRate=44100" in self.app.settings())

        scroll = self.app.wait_find("scroll bar", "Scroll")
        scroll.queryValue().currentValue = scroll.queryValue().maximumValue
        self.app.press_row("About", table)
        self.assertTreeSound("about")
        self.app.press("OK")
        self.app.gone("push button", "OK")
        self.app.press("Done")
        self.app.wait_find("list", "Notes")
        # The maximum length is stored when the application ends.
        self.app.quit()
        self.assertIn("Maximum%20Time=1000", self.app.settings())


class FtpServer:
    """A pyftpdlib server on a free loopback port, in this process."""

    def __init__(self, root):
        from pyftpdlib.authorizers import DummyAuthorizer
        from pyftpdlib.handlers import FTPHandler
        from pyftpdlib.servers import FTPServer

        authorizer = DummyAuthorizer()
        authorizer.add_user("lee", "secret", root, perm="elradfmw")
        handler = type("Handler", (FTPHandler,), {"authorizer": authorizer})
        self.server = FTPServer(("127.0.0.1", 0), handler)
        self.port = self.server.socket.getsockname()[1]
        self.thread = threading.Thread(target=self.server.serve_forever, kwargs={"timeout": 0.1}, daemon=True)
        self.thread.start()

    def stop(self):
        self.server.close_all()


class ExportTest(ScreenReaderTest):
    def test_the_form_is_filled_sent_and_cancelled(self):
        received = os.path.join(self.app.home, "received")
        os.makedirs(received)
        server = FtpServer(received)
        self.addCleanup(server.stop)
        self.record()
        self.open_details()
        self.app.press("Export")
        form = self.app.wait_find("list", "Export")
        wait_for("the details covered", lambda: self.app.find("list", "Details") is None)
        self.app.press_row("Show FTP info", form)
        # Read in the order they are seen, top to bottom. While the rows
        # slide in, the row they replace is still there: wait for the end.
        def settled_fields():
            found = [o for o in walk(form) if o is not None and role(o) in ("text", "password text")]
            return found if [role(f) for f in found] == ["text", "text", "password text"] else None
        fields = wait_for("the form's address, user and password fields", settled_fields)
        self.assertTreeSound("the export form")
        for field, text in zip(fields, ["127.0.0.1:%d" % server.port, "lee", "secret"]):
            field.queryEditableText().setTextContents(text)
        self.app.press_row("Send", form)
        audio = os.path.basename(self.app.store()[0]["Path"])
        wait_for("the file on the server", lambda: os.path.exists(os.path.join(received, audio)))
        self.app.press("Cancel")
        self.app.wait_find("list", "Details")


if __name__ == "__main__":
    unittest.main()
