#pragma once

#include "design/DesignRecord.h"
#include "design/DesignResult.h"

#include <string>
#include <string_view>
#include <vector>

struct FieldReading;

// One replacement of the report: the placeholder of the template, the text that takes its
// place, and how far the progress bar moves after it.
struct ReportRow {
    ReportRow(std::string_view placeholder, std::string text, int advance)
        : placeholder(placeholder), text(std::move(text)), advance(advance)
    {
    }

    std::string_view placeholder;
    std::string text;
    int advance;
    bool picture = false; // the drawing goes here; the text is empty
    // The placeholder's paragraph belongs to a section the design may not have: with
    // neither text nor drawing, the paragraph goes rather than stay as a blank.
    bool paragraphOptional = false;
    // The drawing as PNG and its size on paper in twips, filled in by whoever draws it.
    std::string png;
    int widthTwips = 0;
    int heightTwips = 0;
};

// The report is a Russian document whatever the desktop's locale: the decimal comma.
inline constexpr std::string_view kReportDecimalSeparator = ",";

// The rows of the report for `record`, in the order of replacement, numbers written with
// kReportDecimalSeparator, dated `date`. The three rows that describe the electrode's
// cross-section follow the material, and are left out when no material has been chosen.
// `field`, where given, fills «Проверка расчётом поля»; without it the section's paragraphs
// go.
std::vector<ReportRow> ReportRows(const DesignRecord &record, std::string_view date = {},
                                  const FieldReading *field = nullptr);
// The same for a computed result: its record, and the results as its methods list them.
std::vector<ReportRow> ReportRows(const DesignResult &result, std::string_view date = {},
                                  const FieldReading *field = nullptr);

// The drawing on paper: the width of the text, 16 by 9, at print resolution.
inline constexpr int kDrawingWidthTwips = 9070; // 16 cm
inline constexpr int kDrawingHeightTwips = kDrawingWidthTwips * 9 / 16;
inline constexpr int kDrawingDotsPerInch = 300;
inline constexpr int kDrawingWidthPixels = kDrawingWidthTwips * kDrawingDotsPerInch / 1440;
inline constexpr int kDrawingHeightPixels = kDrawingHeightTwips * kDrawingDotsPerInch / 1440;

// Puts the drawing, a PNG of kDrawingWidthPixels by kDrawingHeightPixels, in the rows'
// place for it; an empty one leaves the place to its text.
void PlaceDrawing(std::vector<ReportRow> &rows, std::string png);

// The map of the field computation's section, the width of the text and 5 by 8 of it.
inline constexpr std::string_view kFieldMapPlaceholder = "##zfm&";
inline constexpr int kFieldMapHeightTwips = kDrawingWidthTwips * 5 / 8;
inline constexpr int kFieldMapWidthPixels = kDrawingWidthPixels;
inline constexpr int kFieldMapHeightPixels = kFieldMapHeightTwips * kDrawingDotsPerInch / 1440;

// Puts the map, a PNG of kFieldMapWidthPixels by kFieldMapHeightPixels, in its place.
void PlaceFieldMap(std::vector<ReportRow> &rows, std::string png);

// The plot of the survey's section, the width of the text and 5 by 8 of it.
inline constexpr std::string_view kSurveyPlotPlaceholder = "##zup&";
inline constexpr int kSurveyPlotHeightTwips = kDrawingWidthTwips * 5 / 8;
inline constexpr int kSurveyPlotWidthPixels = kDrawingWidthPixels;
inline constexpr int kSurveyPlotHeightPixels = kSurveyPlotHeightTwips * kDrawingDotsPerInch / 1440;

// Puts the plot, a PNG of kSurveyPlotWidthPixels by kSurveyPlotHeightPixels, in its place.
void PlaceSurveyPlot(std::vector<ReportRow> &rows, std::string png);

// Today as the report is dated, in Russian whatever the locale: "8 декабря 2026 г."
std::string TodayInWords();

// Every placeholder the template holds, whatever the material.
std::vector<std::string_view> AllPlaceholders();
