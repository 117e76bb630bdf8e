#include "ui/NumberValidator.h"

#include <QLocale>

NumberValidator::NumberValidator(Kind kind, QObject *parent) : QValidator(parent), kind_(kind) {}

QValidator::State NumberValidator::validate(QString &input, int &) const
{
    // Rewritten only where needed: a text the validator leaves alone keeps its undo steps.
    if (const QString local = InLocaleNotation(input); local != input) input = local;
    const QString separator = QLocale().decimalPoint();
    int separators = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (input[i].isDigit() && input[i].unicode() < 128) continue;
        if (kind_ == Kind::decimal && input.mid(i, separator.size()) == separator) {
            if (++separators > 1) return Invalid;
            i += separator.size() - 1;
            continue;
        }
        return Invalid;
    }
    return input.isEmpty() || input.endsWith(separator) ? Intermediate : Acceptable;
}

QString InLocaleNotation(QString typed)
{
    const QString separator = QLocale().decimalPoint();
    typed.replace(QLatin1Char(','), separator);
    typed.replace(QLatin1Char('.'), separator);
    return typed;
}
