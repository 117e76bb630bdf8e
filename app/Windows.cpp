#include "app/Windows.h"

#include "app/PageControl.h"
#include "app/ResultsPage.h"
#include "app/ResultsPageField.h"
#include "design/CoefficientMethod.h"
#include "design/InputFields.h"
#include "design/NumberFormat.h"
#include "design/ObjectNorm.h"
#include "ui/Locale.h"
#include "ui/Look.h"
#include "ui/SavedState.h"
#include "ui/Windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <stdexcept>

std::unique_ptr<Windows> CreateMainWindow()
{
    auto w = std::make_unique<Windows>();
    w->Form1 = std::make_unique<TForm1>();
    w->Form1->setWindowIcon(ProgramIcon());
    return w;
}

void CreateSecondaryWindows(Windows &windows)
{
    Windows *w = &windows;
    TForm1 &main = *w->Form1;
    w->Form2 = std::make_unique<TForm2>();
    w->Form3 = std::make_unique<TForm3>();
    w->Form4 = std::make_unique<TForm4>();
    w->Form5 = std::make_unique<TForm5>();
    w->Form6 = std::make_unique<TForm6>();
    w->Form7 = std::make_unique<TForm7>();
    // Each lookup window's pick goes on its tile: the row and contour windows of one
    // coefficient share it.
    const auto pickOnto = [](TwoListDialog *dialog, QLabel *tile) {
        QObject::connect(dialog, &TwoListDialog::valuePicked, tile, &QLabel::setText);
    };
    pickOnto(w->Form2.get(), main.Label16);
    pickOnto(w->Form3.get(), main.Label26);
    pickOnto(w->Form4.get(), main.Label16);
    pickOnto(w->Form5.get(), main.Label26);
    pickOnto(w->Form6.get(), main.Label27);
    QObject::connect(w->Form7.get(), &TForm7::coefficientsPicked, &main,
                     [&main](const QString &vertical, const QString &horizontal) {
                         main.Label29->setText(vertical);
                         main.Label28->setText(horizontal);
                     });
    // The tile says which zone its ψв follows the electrode's length from.
    QObject::connect(w->Form7.get(), &TForm7::zoneChanged, main.Label29, [&main](int zone) {
        static const char *const kZones[] = {"I", "II", "III", "IV"};
        main.Label29->setToolTip(
            zone > 0 ? QStringLiteral("Климатическая зона %1: ψв по длине электродов")
                           .arg(QLatin1String(kZones[zone - 1]))
                     : QString());
    });
    w->Form9 = std::make_unique<TForm9>();
    w->Form10 = std::make_unique<TForm10>();
    w->Drawing = std::make_unique<DrawingWindow>(main.record);
    w->TitleBlock = std::make_unique<TitleBlockWindow>();
    w->Form13 = std::make_unique<VariantsWindow>();
    // The site is the design's: set with Площадка…, it marks the design changed.
    QObject::connect(w->Form13.get(), &VariantsWindow::siteChanged, &main,
                     [&main] { main.noteChange(); });
    w->Purpose = std::make_unique<PurposeDialog>();
    w->FieldMap = std::make_unique<FieldMapWindow>();
    PurposeDialog *purpose = w->Purpose.get();
    QObject::connect(main.PurposeButton, &QPushButton::clicked, purpose, [purpose, &main] {
        ShowSecondaryWindow(purpose, &main, Placement::centredFirstTime);
    });
    // The object's norm governs: the normative tile shows it, keeping the allowance mark of
    // the normative window's pick, so that the page says the norm it is sized by.
    QObject::connect(purpose, &PurposeDialog::objectApplied, &main, [purpose, &main] {
        const std::vector<ConsideredNorm> norms = ObjectNorms(purpose->object(), 1);
        if (const ConsideredNorm *governing = GoverningNorm(norms)) {
            const QString shown = main.Label27->text();
            const qsizetype mark = shown.indexOf(kAllowanceMark);
            main.Label27->setText(
                QString::fromStdString(FormatGeneral(std::round(governing->artificial * 100) / 100,
                                                     DecimalSeparator())) +
                (mark >= 0 ? shown.mid(mark) : QString()));
        }
        main.noteChange();
    });
    w->Survey = std::make_unique<SurveyWindow>();
    SurveyWindow *survey = w->Survey.get();
    QObject::connect(main.Button16, &QPushButton::clicked, survey, [survey, &main] {
        ShowSecondaryWindow(survey, &main, Placement::centredFirstTime);
    });
    QObject::connect(survey, &SurveyWindow::soilApplied, &main,
                     [survey, &main](const SurveyFit &fit) {
                         const QString put = ApplySurveyToPages(main, fit);
                         survey->Label1->setText(survey->Label1->text() + '\n' + put);
                         main.noteChange();
                     });
    QObject::connect(survey, &SurveyWindow::surveyChanged, &main, &TForm1::noteChange);
    for (QWidget *window : std::initializer_list<QWidget *>{
             w->Form2.get(), w->Form3.get(), w->Form4.get(), w->Form5.get(), w->Form6.get(),
             w->Form7.get(), w->Form9.get(), w->Form10.get(), w->Drawing.get(), w->TitleBlock.get(),
             w->Form13.get(), w->Purpose.get(), w->FieldMap.get(), w->Survey.get()})
        window->setWindowIcon(ProgramIcon());
    ConnectFieldComputation(*w);
    main.setWindows(*w);
}

void ConnectFieldComputation(Windows &windows)
{
    TForm1 &main = *windows.Form1;
    ResultsPageField *field = main.ResultsPage1->field();
    FieldMapWindow *map = windows.FieldMap.get();
    // What decides is an input of the design: the choice marks it changed and computes the
    // field again for the decision.
    QObject::connect(field, &ResultsPageField::decideByChosen, &main, [&main, field](DecideBy by) {
        main.record.decideBy = by;
        main.noteChange();
        field->compute(main.record);
    });
    QObject::connect(field, &ResultsPageField::mapWanted, &main, [&main, field, map] {
        if (!field->reading()) return;
        map->showMapOf(DecidedCheck(*field->reading()));
        ShowSecondaryWindow(map, &main, Placement::centredFirstTime);
    });
    // A change to the inputs makes the computation at work stale.
    for (QLineEdit *edit :
         {main.Edit5, main.Edit6, main.Edit8, main.Edit9, main.Edit10, main.Edit11})
        QObject::connect(edit, &QLineEdit::textEdited, field, &ResultsPageField::cancel);
    for (QComboBox *list : {main.ComboBox1, main.ComboBox2, main.ComboBox3, main.ComboBox4})
        QObject::connect(list, &QComboBox::activated, field, &ResultsPageField::cancel);
}

std::unique_ptr<Windows> CreateWindows()
{
    auto w = CreateMainWindow();
    CreateSecondaryWindows(*w);
    return w;
}

namespace {

// The count the design decides with what the pages give now; where they do not give it
// whole, the last calculation's decided or estimated count; 0 for none.
double DesignCount(const TForm1 &form, const ScreenInputs &on)
{
    const bool whole = std::ranges::all_of(inputTable, [&on](const InputField &field) {
        const bool number = field.kind == InputKind::decimal || field.kind == InputKind::whole;
        return !number || field.optional || !Needed(field, on.record.electrodeMaterial) ||
               on.gives(field);
    });
    if (whole) {
        try {
            const DesignRecord decided = Calculate(on.record).record;
            if (decided.installationMeetsNorm && decided.refinedCount >= 1)
                return decided.refinedCount;
            return decided.estimatedCount;
        } catch (const std::exception &) {
            // The pages' fault is Next's to tell; the window opens on the last calculation.
        }
    }
    const DesignRecord &last = form.record;
    return last.refinedCount >= 1 ? last.refinedCount : last.estimatedCount;
}

} // namespace

void ShowUtilizationWindow(const TForm1 &form, UtilizationOf which)
{
    const Windows *w = form.windows();
    if (!w) return;
    // The row's windows unless a contour is chosen, as the tiles have always shown them.
    const int item = ChosenItem(form.ComboBox2);
    const bool contour = item >= 0 && TForm1::kArrangementItems[item] == Arrangement::contour;
    UtilizationDialog *dialog = nullptr;
    if (which == UtilizationOf::electrodes)
        dialog = contour ? static_cast<UtilizationDialog *>(w->Form4.get()) : w->Form2.get();
    else
        dialog = contour ? static_cast<UtilizationDialog *>(w->Form5.get()) : w->Form3.get();
    if (!dialog) return;
    // A window already open keeps what the user is picking in it.
    if (!dialog->isVisible()) {
        const ScreenInputs on = form.inputsOnScreen();
        const DesignRecord &r = on.record;
        const bool ratioGiven = on.gives(*FindInput("electrodeSpacing")) &&
                                on.gives(*FindInput("electrodeLength")) && r.electrodeLength > 0;
        dialog->pickNearest(ratioGiven ? r.electrodeSpacing / r.electrodeLength : 0,
                            DesignCount(form, on));
    }
    ShowSecondaryWindow(dialog, &form, Placement::centredFirstTime);
}
