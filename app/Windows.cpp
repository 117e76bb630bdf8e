#include "app/Windows.h"

#include "app/PageControl.h"
#include "app/ResultsPage.h"
#include "app/ResultsPageField.h"
#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

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
    w->FieldMap = std::make_unique<FieldMapWindow>();
    for (QWidget *window : std::initializer_list<QWidget *>{
             w->Form2.get(), w->Form3.get(), w->Form4.get(), w->Form5.get(), w->Form6.get(),
             w->Form7.get(), w->Form9.get(), w->Form10.get(), w->Drawing.get(), w->TitleBlock.get(),
             w->Form13.get(), w->FieldMap.get()})
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
