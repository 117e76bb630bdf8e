#include "app/DesignFile.h"

#include "app/Unit1.h"
#include "design/Conversion.h"
#include "design/DesignFields.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit7.h"
#include "dialogs/UtilizationDialog.h"
#include "ui/Locale.h"
#include "ui/Windowing.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSaveFile>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

namespace {

// The controls a design file holds, by their names in the file (and in the windows).
constexpr const char *kLists[] = {"ComboBox3", "ComboBox4", "ComboBox2", "ComboBox1"};
constexpr const char *kFields[] = {"Edit5", "Edit6", "Edit8", "Edit9", "Edit10", "Edit11"};
constexpr const char *kTiles[] = {"Label29", "Label28", "Label27", "Label26", "Label16"};

QJsonObject ListState(const QComboBox *list)
{
    return {{"text", list->currentText()}, {"item", ChosenItem(list)}};
}

// The inputs as telmar-calc reads them: what the pages would commit now. A text that does
// not convert is left out, and telmar-calc names the field that is missing.
void PutInputs(QJsonObject &design, const TForm1 &f)
{
    const std::string sep = DecimalSeparator();
    const auto real = [&](const char *name, const QString &text) {
        try {
            design[QLatin1String(name)] = StrToFloat(text.toStdString(), sep);
        } catch (const ConversionError &) {
        }
    };
    const auto whole = [&](const char *name, const QString &text) {
        try {
            design[QLatin1String(name)] = StrToInt(text.toStdString());
        } catch (const ConversionError &) {
        }
    };
    const auto soil = [&](const char *resistivity, const char *soilName, const QComboBox *list) {
        const int item = list->findText(list->currentText(), Qt::MatchExactly);
        if (item >= 0) {
            design[QLatin1String(resistivity)] = kSoils[static_cast<std::size_t>(item)].resistivity;
            design[QLatin1String(soilName)] = list->currentText();
        } else {
            real(resistivity, list->currentText());
        }
    };
    if (const int item = ChosenItem(f.ComboBox2); item >= 0)
        design["arrangement"] = item == 1 ? "row" : "contour";
    const bool rod = ChosenItem(f.ComboBox1) == 1;
    design["electrodeMaterial"] = rod ? "roundRod" : "angle";
    soil("upperResistivity", "upperSoil", f.ComboBox3);
    soil("lowerResistivity", "lowerSoil", f.ComboBox4);
    real("verticalClimaticCoefficient", f.Label29->text());
    real("horizontalClimaticCoefficient", f.Label28->text());
    real("upperLayerThickness", f.Edit5->text());
    real("stripDepth", f.Edit6->text());
    whole("normativeResistance", f.Label27->text());
    whole(rod ? "rodDiameter" : "angleWidth", f.Edit8->text());
    real("electrodeLength", f.Edit9->text());
    whole("stripWidth", f.Edit10->text());
    real("electrodeSpacing", f.Edit11->text());
    real("stripUtilization", f.Label26->text());
    real("electrodeUtilization", f.Label16->text());
}

QJsonObject DialogState(const QWidget *dialog)
{
    if (const auto *d = qobject_cast<const UtilizationDialog *>(dialog))
        return {{"ratio", ListState(d->ComboBox1)},
                {"count", ListState(d->ComboBox2)},
                {"chosenRow", d->chosenRow},
                {"chosenValue", d->chosenValue}};
    if (const auto *d = qobject_cast<const TForm6 *>(dialog))
        return {{"kind", ListState(d->ComboBox1)},
                {"voltage", ListState(d->ComboBox2)},
                {"chosenRow", d->chosenRow},
                {"chosenValue", d->chosenValue}};
    if (const auto *d = qobject_cast<const TForm7 *>(dialog)) {
        int zone = -1;
        for (int i = 0; i < 4; ++i)
            if (d->RadioButtons[static_cast<std::size_t>(i)]->isChecked()) zone = i;
        const ClimaticRow &c = d->zoneCoefficients;
        return {{"zone", zone},
                {"type", ListState(d->ComboBox1)},
                {"chosenValue", d->chosenValue},
                {"zoneCoefficients", QJsonArray{c.verticalShort, c.verticalLong, c.horizontal}}};
    }
    return {};
}

// Checks of a file's parts; each returns the problem, or nothing.
using Problem = std::optional<QString>;

Problem Wrong(const QString &where, const QString &what)
{
    return where + QStringLiteral(": ") + what;
}

Problem CheckList(const QJsonValue &value, const QString &where, int items)
{
    if (!value.isObject())
        return Wrong(where, QStringLiteral("ожидается объект с полями text и item"));
    const QJsonObject list = value.toObject();
    if (!list.value("text").isString())
        return Wrong(where + ".text", QStringLiteral("ожидается строка"));
    const QJsonValue item = list.value("item");
    if (!item.isDouble() || item.toDouble() != std::trunc(item.toDouble()) ||
        item.toDouble() < -1 || item.toDouble() >= items)
        return Wrong(where + ".item",
                     QStringLiteral("ожидается номер пункта от -1 до %1").arg(items - 1));
    return std::nullopt;
}

Problem CheckNumber(const QJsonValue &value, const QString &where, double low, double high,
                    bool whole)
{
    if (!value.isDouble()) return Wrong(where, QStringLiteral("ожидается число"));
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < low || number > high ||
        (whole && number != std::trunc(number)))
        return Wrong(where, QStringLiteral("число вне допустимых пределов"));
    return std::nullopt;
}

// Walks the windows' part of a file along with the windows themselves; with `apply` set,
// puts each checked value in place.
struct Walker {
    const TForm1 &form;
    QStringList &ignored;
    bool apply;

    template <typename Control> Control *control(const char *name) const
    {
        return const_cast<TForm1 &>(form).findChild<Control *>(QLatin1String(name));
    }

    static void SetList(QComboBox *list, const QJsonObject &state)
    {
        list->setCurrentIndex(state.value("item").toInt());
        list->setEditText(state.value("text").toString());
    }

    Problem known(const QJsonObject &object, const QStringList &names, const QString &where)
    {
        for (const QString &key : object.keys())
            if (!names.contains(key)) ignored << (where.isEmpty() ? key : where + "." + key);
        return std::nullopt;
    }

    Problem walk(const QJsonObject &windows)
    {
        known(windows, {"decimalSeparator", "lists", "fields", "tiles", "dialogs"}, "windows");
        const QJsonValue separator = windows.value("decimalSeparator");
        if (!separator.isUndefined() && (!separator.isString() || separator.toString().size() != 1))
            return Wrong("windows.decimalSeparator", QStringLiteral("ожидается один знак"));
        // Numbers written with another locale's separator are read in this one's.
        const QString from = separator.toString();
        const QString to = QString::fromStdString(DecimalSeparator());
        const auto localized = [&](QString text) {
            if (!from.isEmpty() && from != to) text.replace(from, to);
            return text;
        };
        const auto section = [&](const char *name) -> std::optional<QJsonObject> {
            const QJsonValue value = windows.value(QLatin1String(name));
            if (value.isUndefined()) return QJsonObject();
            if (!value.isObject()) return std::nullopt;
            return value.toObject();
        };
        const auto lists = section("lists");
        if (!lists) return Wrong("windows.lists", QStringLiteral("ожидается объект"));
        QStringList names;
        for (const char *name : kLists) {
            names << QLatin1String(name);
            const QJsonValue state = lists->value(QLatin1String(name));
            if (state.isUndefined()) continue;
            auto *list = control<QComboBox>(name);
            if (auto problem =
                    CheckList(state, QStringLiteral("windows.lists.") + name, list->count()))
                return problem;
            if (apply) SetList(list, state.toObject());
        }
        known(*lists, names, "windows.lists");

        for (const auto &[sectionName, controls] :
             {std::pair{"fields",
                        std::vector<const char *>(std::begin(kFields), std::end(kFields))},
              std::pair{"tiles",
                        std::vector<const char *>(std::begin(kTiles), std::end(kTiles))}}) {
            const auto texts = section(sectionName);
            if (!texts)
                return Wrong(QStringLiteral("windows.") + sectionName,
                             QStringLiteral("ожидается объект"));
            names.clear();
            for (const char *name : controls) {
                names << QLatin1String(name);
                const QJsonValue text = texts->value(QLatin1String(name));
                if (text.isUndefined()) continue;
                if (!text.isString() || text.toString().size() > 64)
                    return Wrong(QStringLiteral("windows.%1.%2").arg(sectionName, name),
                                 QStringLiteral("ожидается строка до 64 знаков"));
                if (!apply) continue;
                if (auto *edit = control<QLineEdit>(name))
                    edit->setText(localized(text.toString()));
                else if (auto *tile = control<QLabel>(name))
                    tile->setText(localized(text.toString()));
            }
            known(*texts, names, QStringLiteral("windows.") + sectionName);
        }

        const auto dialogs = section("dialogs");
        if (!dialogs) return Wrong("windows.dialogs", QStringLiteral("ожидается объект"));
        names.clear();
        const TForm1::SecondaryWindows &w = form.secondaryWindows();
        const std::pair<const char *, QWidget *> forms[] = {{"Form2", w.form2}, {"Form3", w.form3},
                                                            {"Form4", w.form4}, {"Form5", w.form5},
                                                            {"Form6", w.form6}, {"Form7", w.form7}};
        for (const auto &[name, dialog] : forms) {
            names << QLatin1String(name);
            const QJsonValue state = dialogs->value(QLatin1String(name));
            if (state.isUndefined() || !dialog) continue;
            if (auto problem =
                    this->dialog(dialog, state, QStringLiteral("windows.dialogs.") + name))
                return problem;
        }
        known(*dialogs, names, "windows.dialogs");
        return std::nullopt;
    }

    // A dialog of two lists that remembers a row and a value: the utilization dialogs (a
    // fraction) and the normative one (whole ohms).
    template <typename Dialog>
    Problem twoLists(Dialog &d, const QJsonObject &state, const QString &where, const char *first,
                     const char *second, bool wholeValue)
    {
        const QString a = QLatin1String(first), b = QLatin1String(second);
        known(state, {a, b, "chosenRow", "chosenValue"}, where);
        if (auto p = CheckList(state.value(a), where + "." + a, d.ComboBox1->count())) return p;
        if (auto p = CheckList(state.value(b), where + "." + b, d.ComboBox2->count())) return p;
        if (auto p = CheckNumber(state.value("chosenRow"), where + ".chosenRow", 0, 3, true))
            return p;
        if (auto p =
                CheckNumber(state.value("chosenValue"), where + ".chosenValue", 0, 1e6, wholeValue))
            return p;
        if (apply) {
            SetList(d.ComboBox1, state.value(a).toObject());
            SetList(d.ComboBox2, state.value(b).toObject());
            d.chosenRow = state.value("chosenRow").toInt();
            d.chosenValue =
                static_cast<decltype(d.chosenValue)>(state.value("chosenValue").toDouble());
        }
        return std::nullopt;
    }

    Problem dialog(QWidget *window, const QJsonValue &value, const QString &where)
    {
        if (!value.isObject()) return Wrong(where, QStringLiteral("ожидается объект"));
        const QJsonObject state = value.toObject();
        if (auto *d = qobject_cast<UtilizationDialog *>(window)) {
            if (auto p = twoLists(*d, state, where, "ratio", "count", false)) return p;
        } else if (auto *d6 = qobject_cast<TForm6 *>(window)) {
            if (auto p = twoLists(*d6, state, where, "kind", "voltage", true)) return p;
        } else if (auto *d7 = qobject_cast<TForm7 *>(window)) {
            known(state, {"zone", "type", "chosenValue", "zoneCoefficients"}, where);
            if (auto p = CheckNumber(state.value("zone"), where + ".zone", -1, 3, true)) return p;
            if (auto p = CheckList(state.value("type"), where + ".type", d7->ComboBox1->count()))
                return p;
            if (auto p =
                    CheckNumber(state.value("chosenValue"), where + ".chosenValue", 0, 1e6, false))
                return p;
            const QJsonArray coefficients = state.value("zoneCoefficients").toArray();
            if (coefficients.size() != 3)
                return Wrong(where + ".zoneCoefficients", QStringLiteral("ожидаются три числа"));
            for (const QJsonValue &c : coefficients)
                if (auto p = CheckNumber(c, where + ".zoneCoefficients", 0, 1e6, false)) return p;
            if (apply) {
                const int zone = state.value("zone").toInt();
                for (int i = 0; i < 4; ++i)
                    d7->RadioButtons[static_cast<std::size_t>(i)]->setChecked(i == zone);
                SetList(d7->ComboBox1, state.value("type").toObject());
                d7->chosenValue = state.value("chosenValue").toDouble();
                d7->zoneCoefficients = {coefficients[0].toDouble(), coefficients[1].toDouble(),
                                        coefficients[2].toDouble()};
            }
        }
        return std::nullopt;
    }
};

} // namespace

QJsonObject CaptureDesign(const TForm1 &f)
{
    QJsonObject design{{"format", kDesignFormat}, {"version", kDesignVersion}};
    PutInputs(design, f);
    QJsonObject lists, fields, tiles, dialogs;
    for (const char *name : kLists)
        lists[QLatin1String(name)] = ListState(f.findChild<QComboBox *>(QLatin1String(name)));
    for (const char *name : kFields)
        fields[QLatin1String(name)] = f.findChild<QLineEdit *>(QLatin1String(name))->text();
    for (const char *name : kTiles)
        tiles[QLatin1String(name)] = f.findChild<QLabel *>(QLatin1String(name))->text();
    const TForm1::SecondaryWindows &w = f.secondaryWindows();
    const std::pair<const char *, QWidget *> forms[] = {{"Form2", w.form2}, {"Form3", w.form3},
                                                        {"Form4", w.form4}, {"Form5", w.form5},
                                                        {"Form6", w.form6}, {"Form7", w.form7}};
    for (const auto &[name, dialog] : forms)
        if (dialog) dialogs[QLatin1String(name)] = DialogState(dialog);
    // The texts are in the user's notation; the separator goes along, for another locale.
    design["windows"] =
        QJsonObject{{"decimalSeparator", QString::fromStdString(DecimalSeparator())},
                    {"lists", lists},
                    {"fields", fields},
                    {"tiles", tiles},
                    {"dialogs", dialogs}};
    return design;
}

DesignFile ReadDesignFile(const QString &path, const TForm1 &form)
{
    DesignFile file;
    const QFileInfo info(path);
    if (!info.exists()) return {{}, {}, QStringLiteral("файл не найден")};
    if (!info.isFile()) return {{}, {}, QStringLiteral("это не обычный файл")};
    if (info.size() > kLargestDesignFile)
        return {{},
                {},
                QStringLiteral("файл больше %1 КБ — это не проект Тельмара")
                    .arg(kLargestDesignFile >> 10)};
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) return {{}, {}, input.errorString()};
    const QByteArray bytes = input.read(kLargestDesignFile + 1);
    if (bytes.size() > kLargestDesignFile) return {{}, {}, QStringLiteral("файл слишком велик")};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return {{},
                {},
                QStringLiteral("это не JSON (%1, позиция %2)")
                    .arg(error.errorString())
                    .arg(error.offset)};
    if (!document.isObject()) return {{}, {}, QStringLiteral("ожидается объект JSON")};
    const QJsonObject design = document.object();
    if (design.value("format").toString() != kDesignFormat)
        return {
            {},
            {},
            QStringLiteral("это не проект Тельмара (нет поля format = \"%1\")").arg(kDesignFormat)};
    if (auto p = CheckNumber(design.value("version"), "version", 1, 1e9, true)) return {{}, {}, *p};
    if (!design.value("windows").isObject())
        return {{}, {}, QStringLiteral("windows: ожидается объект с состоянием окон")};
    file.windows = design.value("windows").toObject();
    if (design.value("version").toInt() > kDesignVersion)
        file.ignored << QStringLiteral("version %1 (эта программа знает версию %2)")
                            .arg(design.value("version").toInt())
                            .arg(kDesignVersion);
    // The inputs are telmar-calc's and are recomputed from the windows' texts.
    static const QStringList kKnown = [] {
        QStringList known;
        for (const std::string_view name : kDesignFields)
            known << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        return known;
    }();
    for (const QString &key : design.keys())
        if (!kKnown.contains(key)) file.ignored << key;
    if (auto problem = Walker{form, file.ignored, false}.walk(file.windows))
        return {{}, {}, *problem};
    return file;
}

void ApplyDesign(TForm1 &form, const QJsonObject &windows)
{
    QStringList ignored;
    Walker{form, ignored, true}.walk(windows);
}

QString WriteDesignFile(const QString &path, const QJsonObject &design)
{
    QSaveFile file(path);
    // Unbuffered, and every write checked here: QSaveFile commits a file cut short by a
    // full disk when the error came in a buffered write.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    const QByteArray bytes = QJsonDocument(design).toJson(QJsonDocument::Indented);
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int error = errno;
        file.cancelWriting();
        return error ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
    }
    if (!file.commit()) return file.errorString();
    return {};
}
