#include "calc/results_table.h"

#include <cmath>

#include "calc/linearity_calc.h"
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

const wchar_t* Verdict(bool ok) { return ok ? L"Да" : L"Нет"; }

}  // namespace

std::wstring NumberCellText(double value, int32_t digits) {
    if (value == NoValue) return L"---";
    if (std::isnan(value)) return L"nan";
    if (std::isinf(value)) return value > 0 ? L"inf" : L"-inf";
    return FormatFixed(value, digits);
}

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

OutputTable BuildResultsTable(const LinearityCalc& calc, int32_t digits) {
    OutputTable table;
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
        row.cells[1] = component->nameId;
        row.cells[2] = ChannelLabel(component->channel);
        row.cells[3] = NumberCellText(component->intercept, digits);
        row.cells[4] = NumberCellText(component->slope, digits);
        row.cells[6] = NumberCellText(component->corrR, digits);
        row.cells[7] = NumberCellText(kRNormShown, kRNormDigits);
        bool noLine = component->slope == NoValue;
        row.cells[8] = noLine ? L"---" : Verdict(component->rOk);
        row.cells[5] = noLine ? L"---" : Verdict(component->bOk);
        table.rows.push_back(std::move(row));
    }
    return table;
}

OutputTable BuildAssayInfoTable(const AssayRecord& assay, int32_t digits) {
    OutputTable table;
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
        row.cells[3] = NumberCellText(peak.area, digits);
        row.cells[4] = NumberCellText(peak.time, digits);
        table.rows.push_back(std::move(row));
    }
    return table;
}

OutputTable BuildMixtureInfoTable(const MixtureRecord& mixture, int32_t digits) {
    OutputTable table;
    table.columns = MixtureInfoColumns();
    const size_t width = table.columns.size();
    int32_t number = 0;
    for (const MixtureComponent& component : mixture.components) {
        TableRow row = EmptyRow(width);
        row.cells[0] = std::to_wstring(++number);
        row.cells[1] = component.name;
        row.cells[2] = NumberCellText(component.concentration, digits);
        row.cells[3] = NumberCellText(component.deviation, digits);
        table.rows.push_back(std::move(row));
    }
    return table;
}
