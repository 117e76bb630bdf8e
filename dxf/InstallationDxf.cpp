#include "dxf/InstallationDxf.h"

#include "design/InstallationGeometry.h"
#include "design/Materials.h"
#include "design/NumberFormat.h"

#include <dime/Model.h>
#include <dime/Output.h>
#include <dime/entities/Circle.h>
#include <dime/entities/Line.h>
#include <dime/entities/Text.h>
#include <dime/sections/EntitiesSection.h>
#include <dime/sections/HeaderSection.h>
#include <dime/sections/TablesSection.h>
#include <dime/tables/LayerTable.h>
#include <dime/tables/Table.h>

#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

namespace {

} // namespace

std::string DxfText(const std::string &utf8)
{
    std::string text = utf8;
    for (std::string::size_type at; (at = text.find("×")) != std::string::npos;)
        text.replace(at, std::string("×").size(), "x");
    iconv_t convert = iconv_open("CP1251//TRANSLIT", "UTF-8");
    if (convert == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out(text.size() * 2 + 8, '\0');
    char *in = text.data();
    std::size_t inLeft = text.size();
    char *to = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0 &&
           iconv(convert, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) {
        // An unconvertible character goes as "?".
        ++in;
        --inLeft;
        if (outLeft > 0) {
            *to++ = '?';
            --outLeft;
        }
    }
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    return out;
}

namespace {

std::string Cp1251(const std::string &utf8)
{
    return DxfText(utf8);
}

std::string Millimetres(double metres)
{
    return FormatGeneral(std::round(metres * 1000), ",");
}

struct Point {
    double x = 0;
    double y = 0;
};

// The drawing as it is built: entities go on the named layers of one model.
class Sheet {
public:
    Sheet() : model_(false)
    {
        model_.init();
        auto header = std::make_unique<dimeHeaderSection>(nullptr);
        const int stringCode[] = {1};
        dimeParam version, codePage;
        version.string_data = "AC1009"; // R12
        codePage.string_data = "ANSI_1251";
        header->setVariable("$ACADVER", stringCode, &version, 1);
        header->setVariable("$DWGCODEPAGE", stringCode, &codePage, 1);
        const int unitsCode[] = {70};
        dimeParam metric;
        metric.int16_data = 1;
        header->setVariable("$MEASUREMENT", unitsCode, &metric, 1);
        model_.insertSection(header.release());
        tables_ = new dimeTablesSection;
        model_.insertSection(tables_);
        layers_ = new dimeTable(nullptr);
        tables_->insertTable(layers_);
        entities_ = new dimeEntitiesSection;
        model_.insertSection(entities_);
    }

    void addLayer(const char *name, int colour)
    {
        const std::string coded = Cp1251(name);
        auto *entry = new dimeLayerTable;
        entry->setLayerName(coded.c_str(), nullptr);
        entry->setColorNumber(static_cast<int16>(colour));
        layers_->insertTableEntry(entry);
        entry->registerLayer(&model_);
    }

    void line(const char *layer, Point from, Point to)
    {
        auto *entity = new dimeLine;
        entity->setCoords(0, Vector(from));
        entity->setCoords(1, Vector(to));
        put(entity, layer);
    }

    void circle(const char *layer, Point centre, double radius)
    {
        auto *entity = new dimeCircle;
        entity->setCenter(Vector(centre));
        entity->setRadius(static_cast<dxfdouble>(radius));
        put(entity, layer);
    }

    // A text of `height` mm from `at`, or centred on it where `centred`, turned by `degrees`.
    // libdime never writes a text's alignment point, so a centred text is started half its
    // width back, the width reckoned at 0,6 of the height a letter.
    void text(const char *layer, Point at, double height, const std::string &words,
              bool centred = false, double degrees = 0)
    {
        auto *entity = new dimeText;
        const std::string coded = Cp1251(words);
        if (centred) {
            const double half = 0.3 * height * static_cast<double>(coded.size());
            const double turn = degrees * std::numbers::pi / 180;
            at = {at.x - half * std::cos(turn), at.y - half * std::sin(turn)};
        }
        entity->setTextString(coded.c_str());
        entity->setOrigin(Vector(at));
        entity->setHeight(static_cast<dxfdouble>(height));
        entity->setRotation(static_cast<dxfdouble>(degrees));
        put(entity, layer);
    }

    void rectangle(const char *layer, Point from, Point to)
    {
        line(layer, from, {to.x, from.y});
        line(layer, {to.x, from.y}, to);
        line(layer, to, {from.x, to.y});
        line(layer, {from.x, to.y}, from);
    }

    // The whole file, or an empty text where it could not be written.
    std::string bytes()
    {
        char *buffer = nullptr;
        std::size_t size = 0;
        FILE *memory = open_memstream(&buffer, &size);
        if (!memory) return {};
        bool written = false;
        {
            dimeOutput out;
            written = out.setFileHandle(memory) && model_.write(&out);
        }
        const bool closed = std::fclose(memory) == 0;
        std::string text = written && closed && buffer ? std::string(buffer, size) : std::string();
        std::free(buffer);
        return text;
    }

private:
    static dimeVec3f Vector(Point p)
    {
        return {static_cast<dxfdouble>(p.x), static_cast<dxfdouble>(p.y), 0};
    }

    void put(dimeEntity *entity, const char *layer)
    {
        entity->setLayer(model_.getLayer(Cp1251(layer).c_str()));
        entities_->insertEntity(entity);
    }

    dimeModel model_;
    dimeTablesSection *tables_ = nullptr;
    dimeTable *layers_ = nullptr;
    dimeEntitiesSection *entities_ = nullptr;
};

Point Mm(PlanPoint p)
{
    return {p.x * 1000, p.y * 1000};
}

// A dimension as a draughtsman draws it: extension lines from the points, the dimension
// line `offset` mm out on its side with ticks at its ends, the size in mm above it.
void DrawDimension(Sheet &sheet, const Dimension &d, double offset, double height)
{
    const Point from = Mm(d.from), to = Mm(d.to);
    const Point out = d.side == Side::below   ? Point{0, -1}
                      : d.side == Side::above ? Point{0, 1}
                      : d.side == Side::right ? Point{1, 0}
                                              : Point{-1, 0};
    const Point a{from.x + out.x * offset, from.y + out.y * offset};
    const Point b{to.x + out.x * offset, to.y + out.y * offset};
    const double reach = height / 2;
    sheet.line(kDimensionLayer, from, {a.x + out.x * reach, a.y + out.y * reach});
    sheet.line(kDimensionLayer, to, {b.x + out.x * reach, b.y + out.y * reach});
    sheet.line(kDimensionLayer, a, b);
    for (const Point end : {a, b})
        sheet.line(kDimensionLayer, {end.x - reach, end.y - reach}, {end.x + reach, end.y + reach});
    const std::string size = d.spans > 1 ? std::to_string(d.spans) + "×" + Millimetres(d.span) +
                                               "=" + Millimetres(d.value)
                                         : Millimetres(d.value);
    const bool vertical = std::abs(b.x - a.x) < std::abs(b.y - a.y);
    // The size stands above a horizontal line, left of a vertical one, reading upwards.
    const Point middle{(a.x + b.x) / 2 + (vertical ? -height * 0.4 : 0),
                       (a.y + b.y) / 2 + (vertical ? 0 : height * 0.4)};
    sheet.text(kDimensionLayer, {middle.x - (vertical ? height / 2 : 0), middle.y}, height, size,
               true, vertical ? 90 : 0);
}

} // namespace

DxfDrawing InstallationDxf(const DesignRecord &r)
{
    if (!(r.refinedCount >= 1) || !(r.electrodeLength > 0))
        return {.bytes = {}, .problem = "Заземлитель не рассчитан: чертить нечего."};
    const PlanGeometry plan = PlanOf(r);
    const SectionGeometry section = SectionOf(r);
    const std::vector<MaterialRow> steel = MaterialList(r);

    Sheet sheet;
    sheet.addLayer(kRodLayer, 1);       // red
    sheet.addLayer(kStripLayer, 5);     // blue
    sheet.addLayer(kDimensionLayer, 3); // green
    sheet.addLayer(kTextLayer, 7);      // black or white
    sheet.addLayer(kSiteLayer, 8);      // grey
    sheet.addLayer(kSoilLayer, 30);     // brown

    const double extent = std::max({plan.width, plan.height, section.depth, 1.0}) * 1000;
    const double height = std::clamp(extent / 60, 100.0, 600.0); // of the texts, mm
    const double step = 3 * height; // between a side and its dimension lines

    // The plan.
    for (std::size_t i = 0; i + 1 < plan.strip.size(); ++i)
        sheet.line(kStripLayer, Mm(plan.strip[i]), Mm(plan.strip[i + 1]));
    if (plan.closed && plan.strip.size() > 2)
        sheet.line(kStripLayer, Mm(plan.strip.back()), Mm(plan.strip.front()));
    for (const PlanPoint &rod : plan.electrodes)
        sheet.circle(kRodLayer, Mm(rod), kRodSymbolRadius);
    if (plan.building.size() == 4) {
        sheet.rectangle(kSiteLayer, Mm(plan.building[0]), Mm(plan.building[2]));
        sheet.text(kSiteLayer,
                   {(plan.building[0].x + plan.building[2].x) * 500,
                    (plan.building[0].y + plan.building[2].y) * 500},
                   height, "Здание", true);
    }
    for (const Dimension &d : plan.dimensions)
        DrawDimension(sheet, d, d.overall ? 2 * step : step, height);
    const double planTop = plan.height * 1000 + 3 * step;
    sheet.text(kTextLayer, {0, planTop}, height * 1.4, "План заземляющего устройства");

    // The legend, right of the plan.
    const double legendX = plan.width * 1000 + 3 * step;
    const double legendTop = plan.height * 1000;
    const std::string rodWords = "Заземлитель вертикальный" +
                                 (steel[0].profile.empty() ? "" : ", " + steel[0].profile) +
                                 ", L = " + Millimetres(r.electrodeLength) + " мм, " +
                                 FormatGeneral(r.refinedCount, ",") + " шт.";
    const std::string stripWords = "Заземлитель горизонтальный" +
                                   (steel[1].profile.empty() ? "" : ", " + steel[1].profile) +
                                   ", " + Millimetres(r.refinedStripLength) + " мм";
    sheet.circle(kTextLayer, {legendX + height, legendTop}, kRodSymbolRadius);
    sheet.text(kTextLayer, {legendX + 3 * height, legendTop - height / 2}, height, rodWords);
    sheet.line(kTextLayer, {legendX, legendTop - 2 * height},
               {legendX + 2 * height, legendTop - 2 * height});
    sheet.text(kTextLayer, {legendX + 3 * height, legendTop - 2.5 * height}, height, stripWords);

    // The section through one rod, below the plan: the ground at its top, depths downward.
    const double groundY = -(4 * step + 4 * height);
    const double x0 = 0, rodX = 2000, x1 = 4000;
    const auto depth = [&](double metres) { return groundY - metres * 1000; };
    sheet.text(kTextLayer, {x0, groundY + 2 * height}, height * 1.4, "Разрез");
    sheet.line(kSoilLayer, {x0, groundY}, {x1, groundY});
    sheet.line(kSoilLayer, {x0, depth(section.boundaryDepth)}, {x1, depth(section.boundaryDepth)});
    sheet.text(kSoilLayer, {x1 + height, depth(section.boundaryDepth) - height / 2}, height,
               "Граница слоёв грунта");
    sheet.line(kStripLayer, {x0, depth(section.stripDepth)}, {x1, depth(section.stripDepth)});
    const double half = 25; // half the rod's width, mm
    sheet.rectangle(kRodLayer, {rodX - half, depth(section.electrodeBottom)},
                    {rodX + half, depth(section.electrodeTop)});
    // Depths from the ground, left of the section.
    const auto depthDimension = [&](double from, double to, int column) {
        const Dimension d{.from = {-0.0, -(from * 1000 - groundY) / 1000},
                          .to = {-0.0, -(to * 1000 - groundY) / 1000},
                          .value = to - from,
                          .spans = 1,
                          .span = to - from,
                          .side = Side::left,
                          .overall = false};
        DrawDimension(sheet, d, step * column, height);
    };
    depthDimension(0, section.stripDepth, 1);
    depthDimension(section.stripDepth, section.electrodeBottom, 1);
    depthDimension(0, section.boundaryDepth, 2);

    std::string bytes = sheet.bytes();
    if (bytes.empty()) return {.bytes = {}, .problem = "Не удалось составить DXF."};
    return {.bytes = std::move(bytes), .problem = {}};
}
