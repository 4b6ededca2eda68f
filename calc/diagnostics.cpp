#include "calc/diagnostics.h"

#include <algorithm>
#include <unordered_map>

#include "calc/fold.h"
#include "calc/linearity_calc.h"
#include "calc/message_log.h"
#include "base/text.h"

namespace {

constexpr int32_t kRequiredMixtures = 5;
constexpr int32_t kRequiredAnalyses = 5;

std::vector<DiagMessage> BuildTable() {
    struct Row {
        bool listComps, listFiles;
        const wchar_t* text;
    };
    const Row rows[] = {
        {false, false,
         L"Колличество смесй не соответствует ГОСТ 31371.7-2020, приложение Б, пункт Б.1 - требуется 5 смесей."},
        {false, false,
         L"Колличесвто хроматограмм не соответствует ГОСТ 31371.7-2020, приложение Б, пункты Б.1, Б.4 - тремуется не "
         L"менее 5 анализов 5 смесей."},
        {false, true,
         L"Коррекция по давлению проведена не полностью! В следующих хроматограмах не заданно давление:"},
        {false, true,
         L"Коррекция по температуре проведена не полностью! В следующих хроматограмах не заданна температура:"},
        {true, false, L"Следующие компоненты не найдены в списке копмонентов программы:"},
        {true, false, L"Следующие компоненты не найдены в смесях:"},
        {true, false, L"Следующие компоненты найдены не во всех смесях:"},
        {true, false, L"Следующие компоненты не найдены в указанных хроматограммах:"},
        {true, false,
         L"Концентрация следующих компонентов не попадает в допустимый диапазон ГОСТ 31371.7-2020, таблица 1 (метод В):"},
        {true, false,
         L"Концентрация следующих компонентов не попадает в допустимый диапазон ГОСТ 31371.7-2020, таблица 4:"},
    };
    std::vector<DiagMessage> table;
    int32_t code = 0;
    for (const Row& row : rows) {
        DiagMessage message;
        message.code = code++;
        message.kind = 0;
        message.listComps = row.listComps;
        message.listFiles = row.listFiles;
        message.text = row.text;
        table.push_back(std::move(message));
    }
    return table;
}

DiagMessage* FindMessage(int32_t code) {
    for (DiagMessage& message : GetDiagTable())
        if (message.code == code) return &message;
    return nullptr;
}

// Adds the item unless an equal one is there; activates the message.
void AddItem(DiagMessage& message, std::wstring_view name, std::wstring_view detail) {
    std::wstring key = FoldLatin(name);
    key += L'\0';
    key += FoldLatin(detail);
    if (message.itemKeys.insert(std::move(key)).second) message.items.push_back({std::wstring(name), std::wstring(detail)});
    message.active = true;
}

}  // namespace

std::vector<DiagMessage>& GetDiagTable() {
    static std::vector<DiagMessage> table = BuildTable();
    return table;
}

void ResetDiags() {
    for (DiagMessage& message : GetDiagTable()) {
        message.active = false;
        message.items.clear();
        message.itemKeys.clear();
    }
}

void ActivateDiag(int32_t code) {
    if (DiagMessage* message = FindMessage(code)) message->active = true;
}

bool RaiseDiag(int32_t code, std::wstring_view name, std::wstring_view detail) {
    DiagMessage* message = FindMessage(code);
    if (!message || !message->listComps || name.empty()) return false;
    AddItem(*message, name, detail);
    return true;
}

bool RaiseFileDiag(int32_t code, std::wstring_view detail) {
    DiagMessage* message = FindMessage(code);
    if (!message || !message->listFiles || detail.empty()) return false;
    AddItem(*message, L"", detail);
    return true;
}

std::wstring FileTail(std::wstring_view filename) {
#ifdef _WIN32
    size_t separator = filename.find_last_of(L'\\');
#else
    size_t separator = filename.find_last_of(L"\\/");
#endif
    std::wstring tail = L"...";
    tail += separator == std::wstring_view::npos ? filename : filename.substr(separator);
    return tail;
}

std::wstring ChromatogramText(const AssayRecord& assay) {
    return L"файл: " + FileTail(assay.filename) + L", проба: " + assay.sample + L", дата: " +
           assay.date.Format(DateFormats::kDateTime);
}

void ListMissingChromatograms(const LinearityCalc& calc, std::wstring_view name, std::wstring_view channelText,
                              const CalcLevel& level) {
    if (!calc.GetAssays() || !level.mixture) return;
    for (const AssayRecord& assay : *calc.GetAssays()) {
        if (assay.mixtureRecord != level.mixture) continue;
        bool sampled = std::any_of(level.samples.begin(), level.samples.end(),
                                   [&](const CalcSample& s) { return s.assay == &assay; });
        if (sampled) continue;
        std::wstring detail(channelText);
        detail += L", ";
        detail += ChromatogramText(assay);
        RaiseDiag(DiagCode::kMissingInChromatograms, name, detail);
    }
}

void Diagnose(const LinearityCalc& calc) {
    // The largest sample count of every mixture over the components, by the
    // level's mixture (levels of different components are ordered by their
    // own concentrations, so a level's place says nothing of its mixture).
    std::unordered_map<const MixtureRecord*, int32_t> maxN;
    if (calc.GetMixtures())
        for (const auto& mixture : *calc.GetMixtures())
            if (mixture) maxN.emplace(mixture.get(), 0);
    const int32_t mixtureCount = calc.MixtureCount();
    if (mixtureCount == kRequiredMixtures) {
        for (const auto& component : calc.GetComponents()) {
            if (component->isRangePart) continue;
            for (const CalcLevel& level : component->levels) {
                auto it = maxN.find(level.mixture);
                if (it != maxN.end()) it->second = std::max(it->second, level.n);
            }
        }
        for (const auto& entry : maxN)
            if (entry.second < kRequiredAnalyses) ActivateDiag(DiagCode::kAnalysisCount);
    } else {
        ActivateDiag(DiagCode::kMixtureCount);
        ActivateDiag(DiagCode::kAnalysisCount);
    }

    for (const auto& component : calc.GetComponents()) {
        if (component->isRangePart) continue;
        std::wstring channelText = L"канал: " + ChannelLabel(component->channel);
        if (!component->catalogueEntry) RaiseDiag(DiagCode::kNotInCatalogue, component->name, channelText);
        bool incomplete = false;
        if (component->levelsUsed == 0) {
            RaiseDiag(DiagCode::kNotInMixtures, component->name, channelText);
            incomplete = true;
        } else if (static_cast<size_t>(component->levelsUsed) != component->levels.size()) {
            RaiseDiag(DiagCode::kNotInAllMixtures, component->name, channelText);
            incomplete = true;
        }
        if (incomplete) continue;
        for (const CalcLevel& level : component->levels) {
            if (!level.mixture) continue;
            auto it = maxN.find(level.mixture);
            int32_t expected = it == maxN.end() ? 0 : it->second;
            if (level.n != expected) ListMissingChromatograms(calc, component->name, channelText, level);
        }
    }
    PublishDiags(calc.Log());
}

void PublishDiags(MessageLog& log) {
    for (const DiagMessage& message : GetDiagTable()) {
        if (!message.active) continue;
        std::wstring text = message.text;
        if (message.listComps) {
            for (const DiagItem& item : message.items) {
                if (item.name.empty()) continue;
                text += L"\r\n\t- " + item.name;
                if (!item.detail.empty()) text += L", " + item.detail;
            }
        } else if (message.listFiles) {
            for (const DiagItem& item : message.items)
                if (!item.detail.empty()) text += L"\r\n\t- " + item.detail;
        }
        switch (message.kind) {
            case 0: log.AppendError(text); break;
            case 1: log.AppendWarning(text); break;
            case 2: log.AppendInfo(text); break;
            default: break;
        }
    }
}
