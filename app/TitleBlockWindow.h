#pragma once

#include "design/DesignRecord.h"
#include <QDialog>

class QLineEdit;
class QPushButton;

// "Сведения для отчёта": what the report's title block and signature lines carry. The
// object belongs to the design and goes into its file; the organisation and the names are
// the user's own and are remembered between runs. OK keeps what was typed, Отмена and
// Escape bring back what was kept; a field left empty stays a line to sign by hand.
// The longest text of a field: a long object's name, not a document.
inline constexpr int kLongestTitleText = 300;

class TitleBlockWindow : public QDialog {
    Q_OBJECT

public:
    TitleBlockWindow();

    QLineEdit *Edit1 = nullptr;     // object
    QLineEdit *Edit2 = nullptr;     // organisation
    QLineEdit *Edit3 = nullptr;     // designed by
    QLineEdit *Edit4 = nullptr;     // checked by
    QLineEdit *Edit5 = nullptr;     // normative inspection by
    QPushButton *BitBtn1 = nullptr; // OK
    QPushButton *BitBtn2 = nullptr; // Отмена

    // The kept texts, put into the record's title block.
    void putInto(DesignRecord &record) const;
    // The object as kept, and kept anew from a design file; empty when none is given.
    QString object() const { return kept_.at(0); }
    void setObject(const QString &object);

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void keep();
    void showKept();
    QList<QLineEdit *> fields() const;

    QStringList kept_;
};
