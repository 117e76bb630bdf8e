#include "ui/SavedState.h"

#include "ui/Windowing.h"

#include <QComboBox>

#include <cmath>

bool StateReader::fail(const QString &key, const QString &what)
{
    if (problem_.isEmpty()) problem_ = where(key) + QStringLiteral(": ") + what;
    return false;
}

std::optional<QJsonValue> StateReader::value(const QString &key)
{
    read_ << key;
    const QJsonValue value = state_.value(key);
    if (value.isUndefined()) return std::nullopt;
    return value;
}

std::optional<QJsonObject> StateReader::list(const QString &key, const QComboBox *list,
                                             Presence presence)
{
    const auto state = value(key);
    if (!state && presence == Presence::optional) return std::nullopt;
    if (!state || !state->isObject()) {
        fail(key, QStringLiteral("ожидается объект с полями text и item"));
        return std::nullopt;
    }
    const QJsonObject object = state->toObject();
    if (!object.value("text").isString()) {
        fail(key + QStringLiteral(".text"), QStringLiteral("ожидается строка"));
        return std::nullopt;
    }
    const QJsonValue item = object.value("item");
    const int items = list->count();
    if (!item.isDouble() || item.toDouble() != std::trunc(item.toDouble()) ||
        item.toDouble() < -1 || item.toDouble() >= items) {
        fail(key + QStringLiteral(".item"),
             QStringLiteral("ожидается номер пункта от -1 до %1").arg(items - 1));
        return std::nullopt;
    }
    return object;
}

std::optional<double> StateReader::number(const QString &key, double low, double high, bool whole)
{
    const auto given = value(key);
    if (!given || !given->isDouble()) {
        fail(key, QStringLiteral("ожидается число"));
        return std::nullopt;
    }
    const double number = given->toDouble();
    if (!std::isfinite(number) || number < low || number > high ||
        (whole && number != std::trunc(number))) {
        fail(key, QStringLiteral("число вне допустимых пределов"));
        return std::nullopt;
    }
    return number;
}

std::optional<QString> StateReader::text(const QString &key, int longest)
{
    const auto given = value(key);
    if (!given) return std::nullopt; // a text left out stays as it is
    if (!given->isString() || given->toString().size() > longest) {
        fail(key, QStringLiteral("ожидается строка до %1 знаков").arg(longest));
        return std::nullopt;
    }
    return given->toString();
}

std::optional<QJsonObject> StateReader::object(const QString &key)
{
    const auto given = value(key);
    if (!given) return QJsonObject(); // a part left out changes nothing
    if (!given->isObject()) {
        fail(key, QStringLiteral("ожидается объект"));
        return std::nullopt;
    }
    return given->toObject();
}

bool StateReader::flag(const QString &key)
{
    const auto given = value(key);
    if (!given) return false;
    if (!given->isBool()) fail(key, QStringLiteral("ожидается true или false"));
    return given->toBool();
}

std::optional<QJsonArray> StateReader::numbers(const QString &key, int count, double low,
                                               double high)
{
    const auto given = value(key);
    const QJsonArray array = given ? given->toArray() : QJsonArray();
    if (array.size() != count) {
        fail(key, QStringLiteral("ожидаются числа, %1").arg(count));
        return std::nullopt;
    }
    for (const QJsonValue &number : array) {
        if (!number.isDouble() || !std::isfinite(number.toDouble()) || number.toDouble() < low ||
            number.toDouble() > high) {
            fail(key, QStringLiteral("число вне допустимых пределов"));
            return std::nullopt;
        }
    }
    return array;
}

void StateReader::take(const PendingState &part)
{
    if (problem_.isEmpty()) problem_ = part.problem;
    ignored_ += part.ignored;
}

PendingState StateReader::finish(std::function<void()> apply)
{
    for (const QString &key : state_.keys())
        if (!read_.contains(key)) ignored_ << where(key);
    if (!problem_.isEmpty()) return {.problem = problem_, .ignored = ignored_, .apply = {}};
    return {.problem = {}, .ignored = ignored_, .apply = std::move(apply)};
}

QJsonObject ListState(const QComboBox *list)
{
    return {{"text", list->currentText()}, {"item", ChosenItem(list)}};
}

void RestoreList(QComboBox *list, const QJsonObject &state)
{
    list->setCurrentIndex(state.value("item").toInt());
    list->setEditText(state.value("text").toString());
}
