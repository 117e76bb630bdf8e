#include "app/Windows.h"

#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QLabel>
#include <QPushButton>

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
    w->Form9 = std::make_unique<TForm9>();
    w->Form10 = std::make_unique<TForm10>();
    w->Drawing = std::make_unique<DrawingWindow>(main.record);
    w->TitleBlock = std::make_unique<TitleBlockWindow>();
    w->Form13 = std::make_unique<VariantsWindow>();
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
             w->Form13.get(), w->Survey.get()})
        window->setWindowIcon(ProgramIcon());
    main.setWindows(*w);
}

std::unique_ptr<Windows> CreateWindows()
{
    auto w = CreateMainWindow();
    CreateSecondaryWindows(*w);
    return w;
}
