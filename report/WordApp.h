#pragma once

#include "report/ReportFiles.h"

#include <QString>

class GuardedWordProcessor;

// The word-processor layer: one reference for the whole process, `WordApp`, and five
// operations on it. None of them throws: every failure inside becomes false.

// Creates a word processor as the report settings choose and makes it WordApp, replacing
// the previous one. An office that failed within the settings' pause is not tried again.
bool CreateWord();
bool SetWordVisible(bool visible);
// Opens a new document made from the file at `path`.
bool OpenDocument(const QString &path);
bool SelectionToStart();
bool ReplacePlaceholder(const QString &placeholder, const QString &value);

// The current reference, or null.
GuardedWordProcessor *WordApp();
// Whether WordApp is an office suite's word processor rather than the built-in one.
bool WordAppIsOffice();
// The office let a report down: the program it started is ended, the reference dropped,
// and for the settings' pause reports go through the built-in engine.
void GiveUpOnOffice();
// Whether an office failed since the last call: the user is to be told once.
bool TakeOfficeFailure();
// What the built-in engine wrote when its document was last made visible.
WrittenReport LastWrittenReport();

// Releases the reference at program exit. The documents shown stay with the user.
void ReleaseWordApp();
