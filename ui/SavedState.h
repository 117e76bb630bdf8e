#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;

// A window's state read back from a design file and checked whole, waiting to be put in
// place: nothing is applied from a file with a problem anywhere in it.
struct PendingState {
    QString problem = {};        // empty when the state can be put in place
    QStringList ignored = {};    // what a newer program wrote that this one does not know
    std::function<void()> apply; // puts the state in place; null with a problem
};

// A window whose state a design file keeps: each reads and writes its own part.
class SavedWindow {
public:
    virtual ~SavedWindow() = default;
    virtual QJsonObject saveState() const = 0;
    // Checks `state` whole; `where` names it in the messages ("view.electrodeUtilizationInRow").
    virtual PendingState restoreState(const QJsonObject &state, const QString &where) = 0;
    // Back as the window was made: nothing picked.
    virtual void clearState() = 0;
};

// Reads the parts of a saved state, checking each. The first problem counts; a key no
// reading asks for is listed as ignored. A part that is absent is nothing, and a problem
// unless it may be left out.
class StateReader {
public:
    enum class Presence { required, optional };

    StateReader(const QJsonObject &state, QString where) : state_(state), where_(std::move(where))
    {
    }

    // A list's text and chosen item, as ListState writes them.
    std::optional<QJsonObject> list(const QString &key, const QComboBox *list,
                                    Presence presence = Presence::required);
    std::optional<double> number(const QString &key, double low, double high, bool whole);
    std::optional<QString> text(const QString &key, int longest);
    std::optional<QJsonObject> object(const QString &key);
    // A yes or no; false when left out.
    bool flag(const QString &key);
    std::optional<QJsonArray> numbers(const QString &key, int count, double low, double high);

    // Marks a key as read by someone else.
    void pass(const QString &key) { read_ << key; }

    // The place of a key, for the reader of a part within it.
    QString where(const QString &key) const { return where_ + QLatin1Char('.') + key; }
    // Takes in what the reader of a part found.
    void take(const PendingState &part);

    // What was read: the problem, or `apply` with the keys nobody read.
    PendingState finish(std::function<void()> apply);

private:
    bool fail(const QString &key, const QString &what);
    std::optional<QJsonValue> value(const QString &key);

    QJsonObject state_;
    QString where_;
    QStringList read_;
    QString problem_;
    QStringList ignored_;
};

// What follows a value on a tile that the calculation raises by a factor: "4×k", and once the
// factor is known "4×1,61".
inline constexpr QChar kAllowanceMark = QChar(0x00D7);

// A list's state: its text and its chosen item.
QJsonObject ListState(const QComboBox *list);
void RestoreList(QComboBox *list, const QJsonObject &state);
