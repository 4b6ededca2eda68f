#include "ui/model/results_table.h"

#include "calc/linearity_calc.h"
#include "base/cell_text.h"
#include "base/text.h"

namespace {

constexpr double kRNormShown = 0.999;
constexpr int32_t kRNormDigits = 3;

TableRow EmptyRow(size_t columns) {
    TableRow row;
    row.cells.assign(columns, std::wstring());
    return row;
}

TableRow SeparatorRow(size_t columns) {
    TableRow row = EmptyRow(columns);
    row.separator = true;
    row.cells[1] = kSeparatorCell;
    return row;
}

}  // namespace

std::vector<TableColumn> ResultsColumns() {
    return {{L"№", 40},      {L"Пик", 220},      {L"Канал", 60},
            {L"Коэфф. B", 95}, {L"Коэфф. b", 95}, {L"Соотв. b", 65},
            {L"Коэфф. корреляции R", 135}, {L"Норматив", 75}, {L"Соотв. R", 65}};
}

std::vector<TableColumn> AssayInfoColumns() {
    return {{L"№", 40}, {L"Пик", 350}, {L"Канал", 100}, {L"Площадь", 180}, {L"Время выхода, мин", 180}};
}

std::vector<TableColumn> MixtureInfoColumns() {
    return {{L"№", 40}, {L"Компонент", 350}, {L"Концентрация, моль%", 200}, {L"Неопределенность, %отн", 200}};
}

TableModel BuildResultsTable(const LinearityCalc& calc, int32_t digits) {
    TableModel table;
    table.columns = ResultsColumns();
    const size_t width = table.columns.size();
    int32_t previousChannel = 0;
    int32_t number = 0;
    for (const auto& component : calc.GetComponents()) {
        if (component->channel != previousChannel) {
            table.rows.push_back(SeparatorRow(width));
            previousChannel = component->channel;
        }
        TableRow row = EmptyRow(width);
        row.cells[0] = std::to_wstring(++number);
        // The two range parts of a component differ by their suffix.
        row.cells[1] = component->rangePart >= 0 ? component->nameId + RangePartSuffix(component->rangePart)
                                                 : component->nameId;
        row.cells[2] = ChannelLabel(component->channel);
        row.cells[3] = NumberText(component->intercept, digits);
        row.cells[4] = NumberText(component->slope, digits);
        row.cells[6] = NumberText(component->corrR, digits);
        row.cells[7] = NumberText(kRNormShown, kRNormDigits);
        bool noLine = component->slope == NoValue;
        row.cells[8] = VerdictText(!noLine, component->rOk);
        row.cells[5] = VerdictText(!noLine, component->bOk);
        table.rows.push_back(std::move(row));
    }
    return table;
}

TableModel BuildAssayInfoTable(const AssayRecord& assay, int32_t digits) {
    TableModel table;
    table.columns = AssayInfoColumns();
    const size_t width = table.columns.size();
    int32_t previousChannel = 0;
    int32_t number = 0;
    for (const PeakRecord& peak : assay.peaks) {
        if (peak.channel != previousChannel) {
            table.rows.push_back(SeparatorRow(width));
            previousChannel = peak.channel;
        }
        TableRow row = EmptyRow(width);
        row.cells[0] = std::to_wstring(++number);
        row.cells[1] = peak.name;
        row.cells[2] = ChannelLabel(peak.channel);
        row.cells[3] = NumberText(peak.area, digits);
        row.cells[4] = NumberText(peak.time, digits);
        table.rows.push_back(std::move(row));
    }
    return table;
}

TableModel BuildMixtureInfoTable(const MixtureRecord& mixture, int32_t digits) {
    TableModel table;
    table.columns = MixtureInfoColumns();
    const size_t width = table.columns.size();
    int32_t number = 0;
    for (const MixtureComponent& component : mixture.components) {
        TableRow row = EmptyRow(width);
        row.cells[0] = std::to_wstring(++number);
        row.cells[1] = component.name;
        row.cells[2] = NumberText(component.concentration, digits);
        row.cells[3] = NumberText(component.deviation, digits);
        table.rows.push_back(std::move(row));
    }
    return table;
}
