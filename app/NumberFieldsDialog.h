#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QLineEdit;

// A small window of numbers, a caption and a field each, for what Подбор reckons with: the
// rates of the work and the site. A field left empty gives no number (0). OK checks each
// field, and `check`, and names the first that is wrong; the window stays open on it.
class NumberFieldsDialog : public QDialog {
    Q_OBJECT

public:
    // The problem with the numbers read, or nothing.
    using Check = std::function<std::optional<QString>(const std::vector<double> &)>;

    NumberFieldsDialog(QWidget *parent, const QString &title, const QString &heading,
                       const std::vector<QString> &captions, Check check = {});

    void setValues(const std::vector<double> &values);
    // The numbers accepted by the last OK.
    const std::vector<double> &values() const { return values_; }
    QLineEdit *field(std::size_t i) const { return fields_[i]; }

    void accept() override;

private:
    std::vector<QLineEdit *> fields_;
    std::vector<QString> captions_;
    std::vector<double> values_;
    Check check_;
};
