#pragma once

struct AppState;
struct ReceivedFields;
class FusenForm;

// A new note from a received message, or nothing (nullptr) when its signature or
// command is not that of a note. The note keeps the sender's size as far as a
// screen of this computer can show it.
FusenForm* CreateReceivedNote(AppState& state, const ReceivedFields& fields);
