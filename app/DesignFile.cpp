#include "app/DesignFile.h"

#include "app/SavedFile.h"
#include "app/Unit1.h"
#include "app/Unit12.h"
#include "design/InputFields.h"
#include "dialogs/LookupDialog.h"
#include "ui/Locale.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <nlohmann/json.hpp>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The windows a design file keeps besides the main window, by their names in the file.
std::vector<std::pair<QString, SavedWindow *>> SavedDialogs(const TForm1 &form)
{
    const TForm1::SecondaryWindows &w = form.secondaryWindows();
    std::vector<std::pair<QString, SavedWindow *>> dialogs;
    for (const auto &[name, dialog] :
         {std::pair{"Form2", w.form2}, std::pair{"Form3", w.form3}, std::pair{"Form4", w.form4},
          std::pair{"Form5", w.form5}, std::pair{"Form6", w.form6}, std::pair{"Form7", w.form7}})
        if (dialog) dialogs.emplace_back(QLatin1String(name), dialog);
    return dialogs;
}

// The inputs as telmar-calc reads them: what the pages would commit now. A text that does
// not convert is left out, and telmar-calc names the field that is missing.
void PutInputs(QJsonObject &design, const TForm1 &form)
{
    const TForm1::ScreenInputs on = form.inputsOnScreen();
    for (const InputField *field : on.given) {
        const QString name = QString::fromLatin1(field->name.data(), field->name.size());
        switch (field->kind) {
        case InputKind::choice: {
            const std::string_view word = WordOf(*field, on.record);
            design[name] = QString::fromLatin1(word.data(), word.size());
            break;
        }
        case InputKind::text:
            design[name] = QString::fromStdString(TextOf(*field, on.record));
            break;
        case InputKind::flag:
            design[name] = FlagOf(*field, on.record);
            break;
        case InputKind::decimal:
        case InputKind::whole:
        case InputKind::derived:
            design[name] = NumberOf(*field, on.record);
            break;
        }
    }
}

PendingState Refused(const QString &problem)
{
    return {.problem = problem, .ignored = {}, .apply = {}};
}

// Finds the first key an object of a JSON text gives twice, with the keys above it: a file
// telmar-calc would refuse is not opened either, and nothing of it is taken by chance.
class DuplicateFinder : public nlohmann::json_sax<nlohmann::json> {
public:
    QString duplicate; // "windows.tiles.Label27"; empty for none

    bool null() override { return value(); }
    bool boolean(bool) override { return value(); }
    bool number_integer(number_integer_t) override { return value(); }
    bool number_unsigned(number_unsigned_t) override { return value(); }
    bool number_float(number_float_t, const string_t &) override { return value(); }
    bool string(string_t &) override { return value(); }
    bool binary(binary_t &) override { return value(); }
    bool start_object(std::size_t) override
    {
        objects_.push_back({});
        return true;
    }
    bool key(string_t &key) override
    {
        if (!objects_.back().keys.insert(key).second) {
            for (const Object &object : objects_)
                if (!object.key.empty()) duplicate += QString::fromStdString(object.key) + '.';
            duplicate += QString::fromStdString(key);
            return false;
        }
        objects_.back().key = key;
        return true;
    }
    bool end_object() override
    {
        objects_.pop_back();
        return value();
    }
    bool start_array(std::size_t) override
    {
        objects_.push_back({.keys = {}, .key = {}, .array = true});
        return true;
    }
    bool end_array() override
    {
        objects_.pop_back();
        return value();
    }
    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &) override
    {
        return false;
    }

private:
    struct Object {
        std::set<std::string> keys;
        std::string key; // the one whose value is being read
        bool array = false;
    };
    // A value ends the key it belongs to.
    bool value()
    {
        if (!objects_.empty() && !objects_.back().array) objects_.back().key.clear();
        return true;
    }
    std::vector<Object> objects_;
};

} // namespace

QJsonObject CaptureDesign(const TForm1 &form)
{
    QJsonObject design{{"format", kDesignFormat}, {"version", kDesignVersion}};
    PutInputs(design, form);
    QJsonObject windows = form.saveState();
    QJsonObject dialogs;
    for (const auto &[name, dialog] : SavedDialogs(form))
        dialogs[name] = dialog->saveState();
    windows["dialogs"] = dialogs;
    // The texts are in the user's notation; the separator goes along, for another locale.
    windows["decimalSeparator"] = QString::fromStdString(DecimalSeparator());
    design["windows"] = windows;
    return design;
}

PendingState ReadDesignFile(const QString &path, TForm1 &form)
{
    const QFileInfo info(path);
    if (!info.exists()) return Refused(QStringLiteral("файл не найден"));
    if (!info.isFile()) return Refused(QStringLiteral("это не обычный файл"));
    if (info.size() > kLargestDesignFile)
        return Refused(QStringLiteral("файл больше %1 КБ — это не проект Тельмара")
                           .arg(kLargestDesignFile >> 10));
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) return Refused(input.errorString());
    const QByteArray bytes = input.read(kLargestDesignFile + 1);
    if (bytes.size() > kLargestDesignFile) return Refused(QStringLiteral("файл слишком велик"));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return Refused(QStringLiteral("это не JSON (%1, позиция %2)")
                           .arg(error.errorString())
                           .arg(error.offset));
    if (!document.isObject()) return Refused(QStringLiteral("ожидается объект JSON"));
    DuplicateFinder finder;
    nlohmann::json::sax_parse(bytes.constData(), bytes.constData() + bytes.size(), &finder);
    if (!finder.duplicate.isEmpty())
        return Refused(finder.duplicate + QStringLiteral(": поле указано дважды"));
    const QJsonObject design = document.object();
    if (design.value("format").toString() != kDesignFormat)
        return Refused(
            QStringLiteral("это не проект Тельмара (нет поля format = \"%1\")").arg(kDesignFormat));
    const QJsonValue version = design.value("version");
    if (!version.isDouble() || version.toDouble() < 1 || version.toDouble() > 1e9 ||
        version.toDouble() != std::trunc(version.toDouble()))
        return Refused(QStringLiteral("version: число вне допустимых пределов"));
    if (!design.value("windows").isObject())
        return Refused(QStringLiteral("windows: ожидается объект с состоянием окон"));

    QStringList ignored;
    if (version.toInt() > kDesignVersion)
        ignored << QStringLiteral("version %1 (эта программа знает версию %2)")
                       .arg(version.toInt())
                       .arg(kDesignVersion);
    // The inputs are telmar-calc's and are computed again from the windows' texts, but for
    // the object of the title block: no other text of the windows holds it. A file without
    // one leaves none.
    const QJsonValue object = design.value("object");
    if (!object.isUndefined() &&
        (!object.isString() || object.toString().size() > kLongestTitleText))
        return Refused(
            QStringLiteral("object: ожидается строка до %1 знаков").arg(kLongestTitleText));
    for (const QString &key : design.keys()) {
        const std::string name = key.toStdString();
        if (!FindInput(name) && key != "format" && key != "version" && key != "windows")
            ignored << key;
    }

    const QJsonObject windows = design.value("windows").toObject();
    StateReader read(windows, QStringLiteral("windows"));
    const QJsonValue separator = windows.value("decimalSeparator");
    read.pass("decimalSeparator");
    if (!separator.isUndefined() && (!separator.isString() || separator.toString().size() != 1))
        return Refused(QStringLiteral("windows.decimalSeparator: ожидается один знак"));
    // The main window's parts stand beside the dialogs'.
    QJsonObject own;
    for (const QString &key : form.saveState().keys()) {
        read.pass(key);
        if (windows.contains(key)) own[key] = windows.value(key);
    }
    std::vector<PendingState> parts{
        form.restoreState(own, QStringLiteral("windows"), separator.toString())};
    if (const auto dialogs = read.object("dialogs")) {
        StateReader dialogRead(*dialogs, read.where("dialogs"));
        for (const auto &[name, dialog] : SavedDialogs(form)) {
            dialogRead.pass(name);
            const QJsonValue state = dialogs->value(name);
            if (state.isUndefined()) continue;
            parts.push_back(
                state.isObject()
                    ? dialog->restoreState(state.toObject(), dialogRead.where(name))
                    : Refused(dialogRead.where(name) + QStringLiteral(": ожидается объект")));
        }
        parts.push_back(dialogRead.finish({}));
    }
    for (const PendingState &part : parts)
        read.take(part);
    PendingState file = read.finish([parts, &form, object = object.toString()] {
        for (const PendingState &part : parts)
            if (part.apply) part.apply();
        if (TForm12 *titleBlock = form.secondaryWindows().form12) titleBlock->setObject(object);
    });
    file.ignored = ignored + file.ignored;
    return file;
}

QString WriteDesignFile(const QString &path, const QJsonObject &design)
{
    return SaveWholeFile(path, QJsonDocument(design).toJson(QJsonDocument::Indented));
}
