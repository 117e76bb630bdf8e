#pragma once

#include "design/Survey.h"

#include <optional>
#include <string>
#include <string_view>

// The report's section «Результаты изысканий»: the survey the design's soil was fitted to,
// where it has one. Few paragraphs, for a design without a survey takes them out; the
// readings are a line each, their columns parted by tabs, for a paragraph whose tab stops
// make them a table.

// The fit of the survey the record keeps, fitted again as a design file's is; none where
// the design has no survey or its readings cannot be fitted.
std::optional<SurveyFit> ReportedSurveyFit(const std::optional<Survey> &survey);

// The section's heading; its body, one paragraph: what was surveyed (method, date, place,
// probe depth), the readings with the column heads first, and what the fit gave; and the
// plot's caption.
std::string SurveySectionHeading();
std::string SurveySectionBody(const Survey &survey, const std::optional<SurveyFit> &fit,
                              std::string_view separator);
std::string SurveyPlotCaption(const Survey &survey);
