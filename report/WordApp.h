#pragma once

#include <QString>

class WordProcessor;

// The word-processor layer: one reference for the whole process, `WordApp`, and five
// operations on it. None of them throws: every failure inside becomes false.

// Which word processor CreateWord makes; the choice is made here and nowhere else.
enum class WordBackend {
    preferred, // an office suite's word processor where one answers, else the built-in one
    builtIn,   // the program's own RTF engine
    office,    // only an office suite's word processor
};
void SetWordBackend(WordBackend backend);

// Creates a word processor and makes it WordApp, replacing the previous one.
bool CreateWord();
bool SetWordVisible(bool visible);
// Opens a new document made from `path`. Where an office's word processor cannot, and the
// choice is the preferred one, the built-in engine takes over WordApp and opens it.
bool OpenDocument(const QString &path);
bool SelectionToStart();
bool ReplacePlaceholder(const QString &placeholder, const QString &value);

// The current reference, or null; for the report's tests.
WordProcessor *WordApp();

// Releases the reference at program exit. The documents shown stay with the user.
void ReleaseWordApp();
