#pragma once

// What the notes browser asks of the screen it sits in, which it knows only
// through this: the recording screen and the preferences are that
// screen's.
class BrowserOwner {
public:
    virtual ~BrowserOwner() = default;

    virtual void startRecording() = 0;
    virtual bool isRecording() const = 0;
    // Brings the notes list forward unless a recording is on; whether it shows.
    virtual bool showNotesList() = 0;
    // Turns the preferences up in place of the list, or back.
    virtual void toggleView() = 0;
};
