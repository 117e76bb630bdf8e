#pragma once

#include "design/FieldSizing.h"

#include <optional>
#include <string>
#include <string_view>

// The report's section «Проверка расчётом поля»: the field computation beside the
// coefficient method, where the designer asks for it.

// Whether the report shows the section: the design decides by the field, or `asked`.
bool FieldSectionAsked(const DesignRecord &record, bool asked);

// The design's field computation for the report where the section is shown; none otherwise.
std::optional<FieldReading> ReportedField(const DesignRecord &record, bool asked);

// The section's heading, its text (paragraphs a line each) and the map's caption.
std::string FieldSectionHeading();
std::string FieldSectionText(const DesignRecord &record, const FieldReading &reading,
                             std::string_view separator);
std::string FieldMapCaption(const FieldReading &reading);
