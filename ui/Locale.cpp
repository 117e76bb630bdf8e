#include "ui/Locale.h"

#include <QLocale>

std::string DecimalSeparator()
{
    return QLocale().decimalPoint().toStdString();
}
