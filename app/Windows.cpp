#include "app/Windows.h"

#include "ui/Look.h"

std::unique_ptr<Windows> CreateWindows()
{
    auto w = std::make_unique<Windows>();
    w->Form1 = std::make_unique<TForm1>();
    TForm1 &main = *w->Form1;
    w->Form2 = std::make_unique<TForm2>(main.Label16);
    w->Form3 = std::make_unique<TForm3>(main.Label26);
    w->Form4 = std::make_unique<TForm4>(main.Label16);
    w->Form5 = std::make_unique<TForm5>(main.Label26);
    w->Form6 = std::make_unique<TForm6>(main.Label27);
    w->Form7 = std::make_unique<TForm7>(main.Label29, main.Label28);
    w->Form9 = std::make_unique<TForm9>();
    w->Form10 = std::make_unique<TForm10>();
    w->Form11 = std::make_unique<TForm11>(main.record);
    for (QWidget *window : std::initializer_list<QWidget *>{
             w->Form1.get(), w->Form2.get(), w->Form3.get(), w->Form4.get(), w->Form5.get(),
             w->Form6.get(), w->Form7.get(), w->Form9.get(), w->Form10.get(), w->Form11.get()})
        window->setWindowIcon(ProgramIcon());
    main.setSecondaryWindows({w->Form2.get(), w->Form3.get(), w->Form4.get(), w->Form5.get(),
                              w->Form6.get(), w->Form7.get(), w->Form9.get(), w->Form10.get(),
                              w->Form11.get()});
    return w;
}
