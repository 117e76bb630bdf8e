#include "app/DesignFile.h"

#include "app/InputBindings.h"
#include "app/ResultsPage.h"
#include "app/ResultsPageField.h"
#include "app/SavedFile.h"
#include "app/SurveyWindow.h"
#include "app/TitleBlockWindow.h"
#include "app/Unit1.h"
#include "app/VariantsWindow.h"
#include "app/Windows.h"
#include "design/InputFields.h"
#include "design/ObjectNorm.h"
#include "design/SurveyJson.h"
#include "dialogs/LookupDialog.h"
#include "ui/Locale.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The lookup windows' parts of the view, by what each looks up, and whether a window's pick
// is what the design's inputs hold: a pick that is not does not come back as the chosen
// one, the window starts empty and the tile shows the input.
using Agreement = bool (*)(const QJsonObject &state, const ScreenInputs &inputs);

bool Picks(const QJsonValue &picked, const ScreenInputs &inputs, std::string_view input)
{
    const InputField &field = *FindInput(input);
    return inputs.gives(field) && picked.toDouble() == NumberOf(field, inputs.record);
}

// Whether the utilization tiles take their values from the windows for a contour.
bool AlongContour(const ScreenInputs &inputs)
{
    return inputs.gives(*FindInput("arrangement")) &&
           inputs.record.arrangement == Arrangement::contour;
}

struct ViewPart {
    const char *key;
    LookupDialog *(*window)(const Windows &windows);
    Agreement agrees;
};
// clang-format off
const ViewPart viewTable[] = {
    {"electrodeUtilizationInRow", [](const Windows &w) -> LookupDialog * { return w.Form2.get(); },
     [](const QJsonObject &s, const ScreenInputs &in) {
         return AlongContour(in) || Picks(s.value("chosenValue"), in, "electrodeUtilization"); }},
    {"stripUtilizationInRow", [](const Windows &w) -> LookupDialog * { return w.Form3.get(); },
     [](const QJsonObject &s, const ScreenInputs &in) {
         return AlongContour(in) || Picks(s.value("chosenValue"), in, "stripUtilization"); }},
    {"electrodeUtilizationAlongContour", [](const Windows &w) -> LookupDialog * { return w.Form4.get(); },
     [](const QJsonObject &s, const ScreenInputs &in) {
         return !AlongContour(in) || Picks(s.value("chosenValue"), in, "electrodeUtilization"); }},
    {"stripUtilizationAlongContour", [](const Windows &w) -> LookupDialog * { return w.Form5.get(); },
     [](const QJsonObject &s, const ScreenInputs &in) {
         return !AlongContour(in) || Picks(s.value("chosenValue"), in, "stripUtilization"); }},
    {"normativeResistance", [](const Windows &w) -> LookupDialog * { return w.Form6.get(); },
     [](const QJsonObject &s, const ScreenInputs &in) {
         return Picks(s.value("chosenValue"), in, "normativeResistance") &&
                s.value("allowance").toBool() == in.record.normativeAllowance; }},
    {"climaticCoefficients", [](const Windows &w) -> LookupDialog * { return w.Form7.get(); },
     [](const QJsonObject &s, const ScreenInputs &in) {
         return Picks(s.value("chosenValue"), in, "verticalClimaticCoefficient") &&
                Picks(s.value("zoneCoefficients").toArray().at(2), in, "horizontalClimaticCoefficient"); }},
};
// clang-format on

constexpr int kLongestPageText = 64;
constexpr QLatin1String kSiteKey("site");

// The inputs as telmar-calc reads them: what the pages would commit now. A text that does
// not convert is left out, and telmar-calc names the field that is missing.
void PutInputs(QJsonObject &design, const ScreenInputs &on)
{
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
    // What the earthing serves, under telmar-calc's names; an input not stated is left out.
    if (!on.givesObject) return;
    const DesignInputs &r = on.record;
    QJsonArray purposes;
    for (const Purpose purpose : r.purposes)
        purposes.append(QString::fromLatin1(WordOf(purpose).data(), WordOf(purpose).size()));
    const auto name = [](std::size_t i) {
        return QString::fromLatin1(kObjectInputNames[i].data(), kObjectInputNames[i].size());
    };
    design[name(0)] = purposes;
    design[name(1)] = r.lineVoltage;
    const double numbers[] = {r.faultCurrent, r.naturalResistance, r.repeatedEarthingsResistance,
                              r.sourcePower};
    for (std::size_t i = 0; i < std::size(numbers); ++i)
        if (numbers[i] > 0) design[name(i + 2)] = numbers[i];
}

// The object's inputs a file gives, checked as telmar-calc checks them; the problem, in
// Russian and naming the field, otherwise.
QString ReadObjectInputs(const QJsonObject &design, ScreenInputs &in)
{
    const auto value = [&design](std::size_t i) {
        return design.value(
            QString::fromLatin1(kObjectInputNames[i].data(), kObjectInputNames[i].size()));
    };
    if (value(0).isUndefined()) return {};
    DesignInputs &r = in.record;
    if (!value(0).isArray()) return QStringLiteral("purposes: ожидается список назначений");
    for (const QJsonValue &word : value(0).toArray()) {
        const std::optional<Purpose> purpose = PurposeNamed(word.toString().toStdString());
        if (!word.isString() || !purpose)
            return QStringLiteral("purposes: программе неизвестно назначение «%1»")
                .arg(word.toString());
        r.purposes.push_back(*purpose);
    }
    double DesignInputs::*const members[] = {nullptr,
                                             nullptr,
                                             &DesignInputs::faultCurrent,
                                             &DesignInputs::naturalResistance,
                                             &DesignInputs::repeatedEarthingsResistance,
                                             &DesignInputs::sourcePower};
    for (std::size_t i = 1; i < std::size(kObjectInputNames); ++i) {
        const QJsonValue given = value(i);
        if (given.isUndefined()) continue;
        const QString name =
            QString::fromLatin1(kObjectInputNames[i].data(), kObjectInputNames[i].size());
        if (!given.isDouble() || !std::isfinite(given.toDouble()) || !(given.toDouble() > 0))
            return name + QStringLiteral(": ожидается число больше нуля");
        if (i == 1)
            r.lineVoltage = static_cast<std::int32_t>(given.toDouble());
        else
            r.*members[i] = given.toDouble();
    }
    if (const auto problem = ObjectNormProblem(r)) return QString::fromStdString(*problem);
    in.givesObject = true;
    return {};
}

// The site under telmar-calc's names, {"length", "width", "building": {"length", "width",
// "distance"}}, each part only where given: a saved design runs in telmar-calc alike.
QJsonObject SiteObject(const Site &site)
{
    QJsonObject object;
    if (site.hasSpace()) {
        object["length"] = site.length;
        object["width"] = site.width;
    }
    if (site.hasBuilding() || site.buildingDistance > 0)
        object["building"] = QJsonObject{{"length", site.buildingLength},
                                         {"width", site.buildingWidth},
                                         {"distance", site.buildingDistance}};
    return object;
}

// The members of `given` into their places, each a number above zero; the problem, naming
// the field as `path.name`, otherwise. The building's object is handed back unread.
QString ReadSiteMembers(const QJsonValue &given, const QString &path,
                        std::initializer_list<std::pair<QLatin1String, double *>> members,
                        QJsonValue *building = nullptr)
{
    if (!given.isObject()) return QStringLiteral("Поле '%1' должно быть объектом.").arg(path);
    const QJsonObject object = given.toObject();
    for (auto member = object.begin(); member != object.end(); ++member) {
        const QString where = path + '.' + member.key();
        if (building && member.key() == QLatin1String("building")) {
            *building = member.value();
            continue;
        }
        const auto known = std::ranges::find_if(
            members, [&member](const auto &place) { return member.key() == place.first; });
        if (known == members.end())
            return QStringLiteral("Поле '%1' программе неизвестно.").arg(where);
        const double value = member.value().toDouble();
        if (!member.value().isDouble() || !std::isfinite(value) || !(value > 0))
            return QStringLiteral("Поле '%1' должно быть числом больше нуля.").arg(where);
        *known->second = value;
    }
    return {};
}

// The site a file gives, checked as telmar-calc checks it, into `site`; the problem, in
// Russian and naming the field, otherwise. A file without one leaves none.
QString ReadSite(const QJsonValue &given, Site &site)
{
    if (given.isUndefined()) return {};
    Site read;
    QJsonValue building(QJsonValue::Undefined);
    if (QString problem = ReadSiteMembers(
            given, QStringLiteral("site"),
            {{QLatin1String("length"), &read.length}, {QLatin1String("width"), &read.width}},
            &building);
        !problem.isEmpty())
        return problem;
    if (!building.isUndefined())
        if (QString problem =
                ReadSiteMembers(building, QStringLiteral("site.building"),
                                {{QLatin1String("length"), &read.buildingLength},
                                 {QLatin1String("width"), &read.buildingWidth},
                                 {QLatin1String("distance"), &read.buildingDistance}});
            !problem.isEmpty())
            return problem;
    if (const auto problem = SiteProblem(read)) return QString::fromStdString(*problem);
    site = read;
    return {};
}

// Whether the soil on the pages is the one the survey's fit puts there: then the survey
// goes with the inputs and gives the soil; else it is only kept, under the view.
bool SoilFromSurvey(const ScreenInputs &on, const std::optional<SurveyFit> &fit)
{
    if (!fit) return false;
    const AppliedSoil soil = SoilToApply(*fit);
    const auto holds = [&on](std::string_view input, double value) {
        const InputField &field = *FindInput(input);
        return on.gives(field) && NumberOf(field, on.record) == value;
    };
    return holds("upperResistivity", soil.upperResistivity) &&
           holds("lowerResistivity", soil.lowerResistivity) &&
           (!soil.upperLayerThickness || holds("upperLayerThickness", *soil.upperLayerThickness));
}

// A survey of a file, `where` naming its place for the message.
struct FileSurvey {
    std::optional<Survey> survey;
    QString problem;
};

FileSurvey ReadSurvey(const QJsonValue &value, const QString &where)
{
    if (value.isUndefined()) return {};
    if (!value.isObject()) return {std::nullopt, where + QStringLiteral(": ожидается объект")};
    const SurveyRead read = ReadSurveyJson(
        QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact).toStdString());
    if (!read.survey) return {std::nullopt, where + ": " + QString::fromStdString(read.problem)};
    return {read.survey, {}};
}

// The soil a survey of the inputs gives, as telmar-calc takes it, in place of the file's.
QString TakeSoilOfSurvey(const Survey &survey, ScreenInputs &in)
{
    const SurveyOutcome outcome = FitSurvey(survey);
    if (!outcome.fit) return QStringLiteral("survey: ") + QString::fromStdString(outcome.fault);
    const AppliedSoil soil = SoilToApply(*outcome.fit);
    std::erase_if(in.given, [](const InputField *field) {
        return field->name == "upperSoil" || field->name == "lowerSoil";
    });
    const auto give = [&in](std::string_view input, double value) {
        const InputField &field = *FindInput(input);
        SetNumber(field, in.record, value);
        if (!in.gives(field)) in.given.push_back(&field);
    };
    give("upperResistivity", soil.upperResistivity);
    give("lowerResistivity", soil.lowerResistivity);
    if (soil.upperLayerThickness) give("upperLayerThickness", *soil.upperLayerThickness);
    in.record.upperSoil.clear();
    in.record.lowerSoil.clear();
    return {};
}

PendingState Refused(const QString &problem)
{
    return {.problem = problem, .ignored = {}, .apply = {}};
}

// The inputs a file gives, each checked as telmar-calc checks it, or the problem with the
// first that is not. What the calculation derives is passed over.
struct FileInputs {
    ScreenInputs inputs;
    QString problem;
};

FileInputs ReadInputs(const QJsonObject &design)
{
    FileInputs read;
    ScreenInputs &in = read.inputs;
    for (const InputField &field : inputTable) {
        const QString name = QString::fromLatin1(field.name.data(), field.name.size());
        const QJsonValue value = design.value(name);
        if (value.isUndefined() || field.kind == InputKind::derived) continue;
        const auto refuse = [&read, &name](const QString &what) {
            read.problem = name + QStringLiteral(": ") + what;
            return read;
        };
        switch (field.kind) {
        case InputKind::choice: {
            QStringList words;
            for (const ChoiceWord &word : field.words)
                words << QString::fromLatin1(word.word.data(), word.word.size());
            if (!value.isString() || !SetWord(field, in.record, value.toString().toStdString()))
                return refuse(QStringLiteral("ожидается одно из слов: ") + words.join(", "));
            break;
        }
        case InputKind::text:
            if (!value.isString() || value.toString().size() > kLongestTitleText)
                return refuse(
                    QStringLiteral("ожидается строка до %1 знаков").arg(kLongestTitleText));
            TextOf(field, in.record) = value.toString().toStdString();
            break;
        case InputKind::flag:
            if (!value.isBool()) return refuse(QStringLiteral("ожидается true или false"));
            SetFlag(field, in.record, value.toBool());
            break;
        case InputKind::decimal:
        case InputKind::whole: {
            if (!value.isDouble()) return refuse(QStringLiteral("ожидается число"));
            const double number = value.toDouble();
            const bool whole = field.kind == InputKind::whole;
            if (!std::isfinite(number) ||
                (whole && (number != std::trunc(number) ||
                           std::abs(number) > std::numeric_limits<std::int32_t>::max())))
                return refuse(QStringLiteral("число вне допустимых пределов"));
            if (&field == FindInput("climaticZone") && !(number >= 0 && number <= 4))
                return refuse(QStringLiteral("ожидается 1, 2, 3 или 4 (0 — зона не задана)"));
            SetNumber(field, in.record, number);
            break;
        }
        case InputKind::derived:
            break;
        }
        in.given.push_back(&field);
    }
    return read;
}

// The view of a file, and where each part of it stood there, for the messages: a file of
// the first version kept the parts elsewhere.
struct ViewOfFile {
    QJsonObject view;
    std::map<QString, QString> places;
    PendingState checked = {.problem = {}, .ignored = {}, .apply = {}};
};

// A file of the first version kept under "windows" each list's text and item, each field's
// and tile's text, by the control's name, and each lookup window's picks by the window's
// name: the one place those names are read.
ViewOfFile ViewOfVersion1(const QJsonObject &windows, const TForm1 &form)
{
    // clang-format off
    const std::pair<const char *, QComboBox *TForm1::*> lists[] = {
        {"ComboBox3", &TForm1::ComboBox3}, {"ComboBox4", &TForm1::ComboBox4},
        {"ComboBox2", &TForm1::ComboBox2}, {"ComboBox1", &TForm1::ComboBox1},
    };
    const std::pair<const char *, const char *> inputOf[] = {
        {"ComboBox3", "upperSoil"}, {"ComboBox4", "lowerSoil"},
        {"ComboBox2", "arrangement"}, {"ComboBox1", "electrodeMaterial"},
        {"Edit5", "upperLayerThickness"}, {"Edit6", "stripDepth"}, {"Edit8", "angleWidth"},
        {"Edit9", "electrodeLength"}, {"Edit10", "stripWidth"}, {"Edit11", "electrodeSpacing"},
        {"Label29", "verticalClimaticCoefficient"}, {"Label28", "horizontalClimaticCoefficient"},
        {"Label27", "normativeResistance"}, {"Label26", "stripUtilization"},
        {"Label16", "electrodeUtilization"},
    };
    const std::pair<const char *, const char *> dialogs[] = {
        {"Form2", "electrodeUtilizationInRow"}, {"Form3", "stripUtilizationInRow"},
        {"Form4", "electrodeUtilizationAlongContour"}, {"Form5", "stripUtilizationAlongContour"},
        {"Form6", "normativeResistance"}, {"Form7", "climaticCoefficients"},
    };
    // clang-format on
    ViewOfFile file;
    StateReader read(windows, QStringLiteral("windows"));
    const auto listStates = read.object("lists");
    const auto fields = read.object("fields");
    const auto tiles = read.object("tiles");
    const auto dialogStates = read.object("dialogs");
    read.pass("decimalSeparator");
    if (windows.contains("decimalSeparator")) {
        file.view["decimalSeparator"] = windows.value("decimalSeparator");
        file.places[QStringLiteral("decimalSeparator")] = read.where("decimalSeparator");
    }
    if (!listStates || !fields || !tiles || !dialogStates) {
        file.checked = read.finish({});
        return file;
    }
    QJsonObject texts;
    StateReader listReader(*listStates, read.where("lists"));
    for (const auto &[name, list] : lists)
        if (const auto state =
                listReader.list(QLatin1String(name), form.*list, StateReader::Presence::optional))
            texts[QLatin1String(name)] = state->value("text");
    read.take(listReader.finish({}));
    for (const auto &[part, key] : {std::pair{&*fields, "fields"}, std::pair{&*tiles, "tiles"}}) {
        StateReader textReader(*part, read.where(QLatin1String(key)));
        for (const auto &[name, input] : inputOf)
            if (const auto text = textReader.text(QLatin1String(name), kLongestPageText))
                texts[QLatin1String(name)] = *text;
        read.take(textReader.finish({}));
    }
    QJsonObject pageTexts;
    for (const auto &[name, input] : inputOf)
        if (texts.contains(QLatin1String(name)))
            pageTexts[QLatin1String(input)] = texts.value(QLatin1String(name));
    if (!pageTexts.isEmpty()) file.view["pageTexts"] = pageTexts;

    StateReader dialogReader(*dialogStates, read.where("dialogs"));
    for (const auto &[name, key] : dialogs) {
        dialogReader.pass(QLatin1String(name));
        if (!dialogStates->contains(QLatin1String(name))) continue;
        file.view[QLatin1String(key)] = dialogStates->value(QLatin1String(name));
        file.places[QLatin1String(key)] = dialogReader.where(QLatin1String(name));
    }
    read.take(dialogReader.finish({}));
    file.checked = read.finish({});
    return file;
}

// Reads the view of a file against the inputs it gives; what puts the design in place. A
// part left out of a file of the first version leaves its window as it is; in a newer one
// it empties it.
PendingState ReadView(const ViewOfFile &file, const ScreenInputs &inputs, TForm1 &form,
                      bool keepAbsent)
{
    const auto place = [&file](const QString &key) {
        const auto found = file.places.find(key);
        return found != file.places.end() ? found->second : QStringLiteral("view.") + key;
    };
    StateReader read(file.view, QStringLiteral("view"));
    read.take(file.checked);
    read.pass("decimalSeparator");
    read.pass("page");   // the design's, read with it
    read.pass("survey"); // read with the inputs' own
    const QJsonValue separator = file.view.value("decimalSeparator");
    // Any other character would be taken out of the numbers themselves ("40" read as "4.").
    if (!separator.isUndefined() && separator.toString() != QStringLiteral(",") &&
        separator.toString() != QStringLiteral("."))
        return Refused(place(QStringLiteral("decimalSeparator")) +
                       QStringLiteral(": ожидается «,» или «.»"));
    // Numbers written with another locale's separator are read in this one's.
    const QString here = QString::fromStdString(DecimalSeparator());
    const QString there = separator.toString();

    PageTexts texts;
    if (const auto pageTexts = read.object("pageTexts")) {
        StateReader textReader(*pageTexts, read.where("pageTexts"));
        for (const QString &input : pageTexts->keys()) {
            if (!HeldOnPages(input.toStdString())) continue;
            if (auto text = textReader.text(input, kLongestPageText)) {
                if (!there.isEmpty() && there != here) text->replace(there, here);
                texts[input.toStdString()] = *text;
            }
        }
        read.take(textReader.finish({}));
    }

    std::vector<std::function<void()>> windows;
    for (const ViewPart &part : viewTable) {
        LookupDialog *dialog = form.windows() ? part.window(*form.windows()) : nullptr;
        if (!dialog) continue;
        const QString key = QLatin1String(part.key);
        read.pass(key);
        const QJsonValue state = file.view.value(key);
        const auto clear = [dialog] { dialog->clearState(); };
        if (state.isUndefined()) {
            if (!keepAbsent) windows.push_back(clear);
            continue;
        }
        if (!state.isObject()) return Refused(place(key) + QStringLiteral(": ожидается объект"));
        const PendingState restored = dialog->restoreState(state.toObject(), place(key));
        read.take(restored);
        windows.push_back(part.agrees(state.toObject(), inputs) ? restored.apply : clear);
    }
    return read.finish([&form, inputs, texts, windows, keepAbsent] {
        ShowInputs(form, inputs, texts, keepAbsent);
        for (const std::function<void()> &apply : windows)
            if (apply) apply();
        // What the earthing serves goes to its window; a design that states none clears it.
        if (const Windows *all = form.windows(); all && all->Purpose)
            all->Purpose->setObject(inputs.record);
        // The climatic window shows the design's zone, whatever its picks were.
        if (const Windows *all = form.windows(); all && all->Form7)
            all->Form7->showZone(inputs.gives(*FindInput("climaticZone"))
                                     ? static_cast<int>(inputs.record.climaticZone)
                                     : 0);
        // A file without an object leaves none.
        if (const Windows *all = form.windows(); all && all->TitleBlock)
            all->TitleBlock->setObject(QString::fromStdString(inputs.record.objectName));
        // The site goes to Подбор's window, which keeps it; a file without one leaves none.
        if (const Windows *all = form.windows(); all && all->Form13)
            all->Form13->setSite(inputs.record.site);
        form.record.site = inputs.record.site;
        // What decides stands on no page: the record keeps it for the results page.
        if (!keepAbsent || inputs.gives(*FindInput("decideBy"))) {
            form.record.decideBy = inputs.record.decideBy;
            form.ResultsPage1->field()->showDecideBy(form.record.decideBy);
        }
    });
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
    const ScreenInputs on = InputsOnPages(form);
    PutInputs(design, on);
    if (on.record.site.given()) design[kSiteKey] = SiteObject(on.record.site);
    // Only a design that decides otherwise than by the coefficients says so.
    if (const InputField &decideBy = *FindInput("decideBy");
        form.record.decideBy != DecideBy::coefficients) {
        const std::string_view word = WordOf(decideBy, form.record);
        design[QLatin1String(decideBy.name.data(), qsizetype(decideBy.name.size()))] =
            QString::fromLatin1(word.data(), qsizetype(word.size()));
    }
    QJsonObject view;
    if (const SurveyWindow *window = form.windows() ? form.windows()->Survey.get() : nullptr) {
        const Survey survey = window->survey();
        if (!survey.readings.empty() || !survey.date.empty() || !survey.place.empty()) {
            const QJsonObject kept =
                QJsonDocument::fromJson(
                    QByteArray::fromStdString(SurveyJsonText(survey, window->fit())))
                    .object();
            (SoilFromSurvey(on, window->fit()) ? design : view)["survey"] = kept;
        }
    }
    for (const ViewPart &part : viewTable)
        if (const LookupDialog *dialog = form.windows() ? part.window(*form.windows()) : nullptr)
            view[QLatin1String(part.key)] = dialog->saveState();
    if (const PageTexts texts = TextsGivingNoInput(form); !texts.empty()) {
        QJsonObject pageTexts;
        for (const auto &[input, text] : texts)
            pageTexts[QString::fromStdString(input)] = text;
        view["pageTexts"] = pageTexts;
        // The texts are in the user's notation; the separator goes along, for another locale.
        view["decimalSeparator"] = QString::fromStdString(DecimalSeparator());
    }
    design["view"] = view;
    return design;
}

PendingDesign ReadDesignFile(const QString &path, TForm1 &form)
{
    const auto refused = [](const QString &problem) {
        return PendingDesign{.state = Refused(problem), .newDesign = false};
    };
    const QFileInfo info(path);
    if (!info.exists()) return refused(QStringLiteral("файл не найден"));
    if (!info.isFile()) return refused(QStringLiteral("это не обычный файл"));
    if (info.size() > kLargestDesignFile)
        return refused(QStringLiteral("файл больше %1 КБ — это не проект Тельмара")
                           .arg(kLargestDesignFile >> 10));
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) return refused(input.errorString());
    const QByteArray bytes = input.read(kLargestDesignFile + 1);
    if (bytes.size() > kLargestDesignFile) return refused(QStringLiteral("файл слишком велик"));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return refused(QStringLiteral("это не JSON (%1, позиция %2)")
                           .arg(error.errorString())
                           .arg(error.offset));
    if (!document.isObject()) return refused(QStringLiteral("ожидается объект JSON"));
    DuplicateFinder finder;
    nlohmann::json::sax_parse(bytes.constData(), bytes.constData() + bytes.size(), &finder);
    if (!finder.duplicate.isEmpty())
        return refused(finder.duplicate + QStringLiteral(": поле указано дважды"));
    return ReadDesign(document.object(), form);
}

PendingDesign ReadDesign(const QJsonObject &design, TForm1 &form)
{
    const auto refused = [](const QString &problem) {
        return PendingDesign{.state = Refused(problem), .newDesign = false};
    };

    // A design as telmar-calc reads it has no format of its own: it gives inputs only.
    const QStringList keys = design.keys();
    const bool newDesign = !design.contains("format") && !design.contains("version") &&
                           std::any_of(keys.begin(), keys.end(), [](const QString &key) {
                               return FindInput(key.toStdString()) != nullptr;
                           });
    int version = kDesignVersion;
    QStringList ignored;
    if (!newDesign) {
        if (design.value("format").toString() != kDesignFormat)
            return refused(QStringLiteral("это не проект Тельмара (нет поля format = \"%1\")")
                               .arg(kDesignFormat));
        const QJsonValue given = design.value("version");
        if (!given.isDouble() || given.toDouble() < 1 || given.toDouble() > 1e9 ||
            given.toDouble() != std::trunc(given.toDouble()))
            return refused(QStringLiteral("version: число вне допустимых пределов"));
        version = given.toInt();
        if (version > kDesignVersion)
            ignored << QStringLiteral("version %1 (эта программа знает версию %2)")
                           .arg(version)
                           .arg(kDesignVersion);
    }
    const QString viewKey = version == 1 ? QStringLiteral("windows") : QStringLiteral("view");
    ViewOfFile view;
    if (version == 1) {
        if (!design.value("windows").isObject())
            return refused(QStringLiteral("windows: ожидается объект с состоянием окон"));
        view = ViewOfVersion1(design.value("windows").toObject(), form);
    } else if (design.contains(viewKey)) {
        if (!design.value(viewKey).isObject())
            return refused(QStringLiteral("view: ожидается объект"));
        view.view = design.value(viewKey).toObject();
    }
    FileInputs inputs = ReadInputs(design);
    if (inputs.problem.isEmpty()) inputs.problem = ReadObjectInputs(design, inputs.inputs);
    if (inputs.problem.isEmpty())
        inputs.problem = ReadSite(design.value(kSiteKey), inputs.inputs.record.site);
    if (!inputs.problem.isEmpty()) return refused(inputs.problem);
    for (const QString &key : keys)
        if (!FindInput(key.toStdString()) && key != "format" && key != "version" &&
            key != viewKey && key != "survey" && key != kSiteKey &&
            std::ranges::find(kObjectInputNames, key.toStdString()) == std::end(kObjectInputNames))
            ignored << key;
    // A survey with the inputs gives the soil; one under the view is only kept.
    const FileSurvey given = ReadSurvey(design.value("survey"), QStringLiteral("survey"));
    const FileSurvey kept = ReadSurvey(view.view.value("survey"), QStringLiteral("view.survey"));
    for (const FileSurvey *survey : {&given, &kept})
        if (!survey->problem.isEmpty()) return refused(survey->problem);
    if (given.survey)
        if (const QString problem = TakeSoilOfSurvey(*given.survey, inputs.inputs);
            !problem.isEmpty())
            return refused(problem);

    PendingState file = ReadView(view, inputs.inputs, form, version == 1);
    file.ignored = ignored + file.ignored;
    if (file.apply) {
        const Survey survey = given.survey ? *given.survey : kept.survey.value_or(Survey{});
        file.apply = [apply = file.apply, survey, measured = given.survey.has_value(), &form] {
            apply();
            if (const Windows *windows = form.windows(); windows && windows->Survey)
                windows->Survey->setSurvey(survey);
            if (measured) MarkSoilsMeasured(form);
        };
    }
    // Only where the windows land: a page that is none of the three is page 1.
    const double page = view.view.value("page").toDouble();
    const bool onAPage = page == 2 || page == 3;
    return {.state = file, .newDesign = newDesign, .page = onAPage ? static_cast<int>(page) : 1};
}

QJsonObject WithPage(QJsonObject design, int page)
{
    if (page <= 1) return design; // where every design starts
    QJsonObject view = design.value("view").toObject();
    view["page"] = page;
    design["view"] = view;
    return design;
}

QString WriteDesignFile(const QString &path, const QJsonObject &design)
{
    return SaveWholeFile(path, QJsonDocument(design).toJson(QJsonDocument::Indented));
}
