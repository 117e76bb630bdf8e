#pragma once

#include <QValidator>

// What a number field takes, typed or pasted: digits and, for a decimal, one separator. A
// comma and a full stop are both the separator whatever the locale, and the field shows
// the locale's own; anything else is refused whole, so that "1,5x" never lands.
class NumberValidator : public QValidator {
    Q_OBJECT

public:
    enum class Kind { decimal, whole };
    explicit NumberValidator(Kind kind, QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;

private:
    Kind kind_;
};

// `typed` with either separator written as the locale's, for the conversions.
QString InLocaleNotation(QString typed);
