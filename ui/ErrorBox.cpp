#include "ui/ErrorBox.h"

#include "ui/Look.h"

#include <QMessageBox>

#include <exception>

namespace {

// The error's message with a full stop added when its last character sorts above "." in
// the character code.
QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

// The one error box of the program: caption "Тельмар", the critical icon, a single OK.
void ShowErrorBox(QWidget *parent, const QString &message, const QString &detail = {})
{
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, QString(), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // the texts come from fields and files
    box.setText(ErrorBoxText(message));
    if (!detail.isEmpty()) box.setDetailedText(detail);
    box.exec();
}

} // namespace

void ShowWarningBox(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Warning, kApplicationTitle, QString(), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // the texts name files and what they hold
    box.setText(message);
    box.exec();
}

void RunHandler(QWidget *owner, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const InputError &error) {
        ShowErrorBox(owner, QString::fromUtf8(error.what()), error.detail);
    } catch (const std::exception &error) {
        ShowErrorBox(owner, QString::fromUtf8(error.what()));
    }
}
