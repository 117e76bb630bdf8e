#pragma once

#include "app/DrawingWindow.h"
#include "app/FieldMapWindow.h"
#include "app/SurveyWindow.h"
#include "app/TitleBlockWindow.h"
#include "app/Unit1.h"
#include "app/Unit10.h"
#include "app/Unit9.h"
#include "app/VariantsWindow.h"
#include "dialogs/PurposeDialog.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "dialogs/Unit5.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit7.h"

#include <memory>

// The windows of the program, one instance each for the whole run, in one list: the main
// window finds the others here. Members are destroyed in reverse order, so the dialogs go
// before the main window whose tiles they write. The help window is made when first asked
// for, by the main window.
struct Windows {
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm2> Form2;
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm4> Form4;
    std::unique_ptr<TForm5> Form5;
    std::unique_ptr<TForm6> Form6;
    std::unique_ptr<TForm7> Form7;
    std::unique_ptr<TForm9> Form9;
    std::unique_ptr<TForm10> Form10;
    std::unique_ptr<DrawingWindow> Drawing;
    std::unique_ptr<TitleBlockWindow> TitleBlock;
    std::unique_ptr<VariantsWindow> Form13;
    std::unique_ptr<PurposeDialog> Purpose; // what the earthing serves

    std::unique_ptr<FieldMapWindow> FieldMap;
    std::unique_ptr<SurveyWindow> Survey;
};

// Creates the windows hidden, the main window first, and wires the main window to
// the others.
std::unique_ptr<Windows> CreateWindows();

// The same in two steps, so that the main window is on screen before the others are made:
// the main window alone, then the others, wired to it. Until then its handlers find none.
std::unique_ptr<Windows> CreateMainWindow();
void CreateSecondaryWindows(Windows &windows);

// Which utilization coefficient a window gives.
enum class UtilizationOf { electrodes, strip };

// Shows the utilization window of the arrangement chosen on page 2 for the coefficient
// `which`, opened on the design's ratio a/L and count where the pages give them, so that
// its OK writes the coefficient of the design as it stands.
void ShowUtilizationWindow(const TForm1 &form, UtilizationOf which);

// The results page's field computation wired to the design: the choice of what decides,
// the map window, and the inputs whose change makes a computation at work stale.
void ConnectFieldComputation(Windows &windows);
