#pragma once

#include "cli/Options.h"
#include "cli/Status.h"
#include "design/DesignRecord.h"
#include "design/FieldSizing.h"

#include <cstddef>
#include <optional>
#include <string>

// The calculation as the electrode page's Next runs it: the record takes the whole result, or
// stays as it was on a fault, whose message is returned.
std::optional<std::string> CalculateAnswer(DesignRecord &record);

// The sentences of the results page, a line each.
void AppendSentences(std::string &out, const DesignRecord &record);

// A calculated design's answer in a batch: its sentences (`text`) or its JSON, or its
// fault in their place.
void AppendCalculation(std::string &out, const DesignRecord &record,
                       const std::optional<std::string> &fault, bool text, bool pretty);

// The variants of a design: a line each and a count of those left out, or JSON.
void AppendVariants(std::string &out, const DesignRecord &record, bool text, bool pretty,
                    bool field);

// --field: as AppendCalculation, the answer with the field computation's section after the
// coefficient method's; in text its result lines after the page's sentences.
void AppendFieldCalculation(std::string &out, const DesignRecord &record,
                            const std::optional<std::string> &fault, bool text, bool pretty);

class Output;

// --survey: the fit of the readings in the file the options name, as JSON or sentences; a
// fault in the readings ends the run with the reason.
Status RunSurvey(const Options &options, Output &out);

// An entry of the drawing module, libtelmar-drawing.so, loaded with it on first use; none
// where it cannot be loaded. The module is loaded for a picture or a report alone, so that
// a plain calculation never loads Qt.
void *DrawingEntry(const char *entry);
// What an entry hands its bytes to: they replace the std::string at `context`.
void KeepDrawn(void *context, const char *data, std::size_t size);

// The map of a computed installation as PNG, drawn by the drawing module; empty where it
// cannot be drawn.
std::string FieldMapPng(const FieldCheck &check, int width, int height);

// Writes the map of the surface potential of `record`'s installation to the PNG file the
// options name; the run ends with the reason where it cannot.
void WriteFieldMap(const DesignRecord &record, const Options &options);

// --dxf: writes the plan and section of the calculated `record` to the file the options
// name; the run ends with the reason where it cannot.
void WriteDxf(const DesignRecord &record, const Options &options);

// Writes the report of `record` to the file the options name; the run ends with the reason
// where it cannot.
void WriteReport(const DesignRecord &record, const Options &options);
