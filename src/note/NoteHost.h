#pragma once

class NoteWindow;

// What a note asks of the parts of the program above it (the editor, the send
// window). The application fills it in; without one the requests do nothing.
class NoteHost {
public:
    virtual ~NoteHost() = default;
    virtual void editNote(NoteWindow& note) = 0;
    virtual void newNote() = 0;
    // Opens the window that sends AppState::NoteToSend to other computers.
    virtual void sendNote() = 0;
};
