#include "app/Windows.h"

#include "design/NumberFormat.h"
#include "design/ObjectNorm.h"
#include "ui/Locale.h"
#include "ui/Look.h"
#include "ui/SavedState.h"
#include "ui/Windowing.h"

#include <QLabel>
#include <QPushButton>

#include <cmath>

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
    w->Purpose = std::make_unique<PurposeDialog>();
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
    for (QWidget *window : std::initializer_list<QWidget *>{
             w->Form2.get(), w->Form3.get(), w->Form4.get(), w->Form5.get(), w->Form6.get(),
             w->Form7.get(), w->Form9.get(), w->Form10.get(), w->Drawing.get(), w->TitleBlock.get(),
             w->Form13.get(), w->Purpose.get()})
        window->setWindowIcon(ProgramIcon());
    main.setWindows(*w);
}

std::unique_ptr<Windows> CreateWindows()
{
    auto w = CreateMainWindow();
    CreateSecondaryWindows(*w);
    return w;
}
