#include "calc/diagnostics.h"

#include <algorithm>
#include <unordered_map>

#include "calc/fold.h"
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

// Adds the item unless an equal one is there; activates the message.
void AddItem(DiagMessage& message, std::wstring_view name, std::wstring_view detail) {
    std::wstring key = FoldLatin(name);
    key += L'\0';
    key += FoldLatin(detail);
    if (message.itemKeys.insert(std::move(key)).second) message.items.push_back({std::wstring(name), std::wstring(detail)});
    message.active = true;
}

}  // namespace

Diagnostics::Diagnostics() : table_(BuildTable()) {}

const DiagMessage& Diagnostics::Message(int32_t code) const { return table_.at(static_cast<size_t>(code)); }

DiagMessage* Diagnostics::Find(int32_t code) {
    for (DiagMessage& message : table_)
        if (message.code == code) return &message;
    return nullptr;
}

void Diagnostics::Reset() {
    for (DiagMessage& message : table_) {
        message.active = false;
        message.items.clear();
        message.itemKeys.clear();
    }
}

void Diagnostics::Activate(int32_t code) {
    if (DiagMessage* message = Find(code)) message->active = true;
}

bool Diagnostics::Raise(int32_t code, std::wstring_view name, std::wstring_view detail) {
    DiagMessage* message = Find(code);
    if (!message || !message->listComps || name.empty()) return false;
    AddItem(*message, name, detail);
    return true;
}

bool Diagnostics::RaiseFile(int32_t code, std::wstring_view detail) {
    DiagMessage* message = Find(code);
    if (!message || !message->listFiles || detail.empty()) return false;
    AddItem(*message, L"", detail);
    return true;
}

Diagnostics& GetDiagnostics() {
    static Diagnostics diagnostics;
    return diagnostics;
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

namespace {

int32_t MixtureCount(const MixtureRecords& mixtures) {
    int32_t count = 0;
    for (const auto& mixture : mixtures)
        if (mixture) ++count;
    return count;
}

// Code 7 for every chromatogram of the level's mixture that gave the level no sample.
void ListMissingChromatograms(const AssayRecords& assays, std::wstring_view name, std::wstring_view channelText,
                              const CalcLevel& level, Diagnostics& diagnostics) {
    if (!level.mixture) return;
    for (const AssayRecord& assay : assays) {
        if (assay.mixtureRecord != level.mixture) continue;
        bool sampled = std::any_of(level.samples.begin(), level.samples.end(),
                                   [&](const CalcSample& s) { return s.assay == &assay; });
        if (sampled) continue;
        std::wstring detail(channelText);
        detail += L", ";
        detail += ChromatogramText(assay);
        diagnostics.Raise(DiagCode::kMissingInChromatograms, name, detail);
    }
}

// Codes 0 and 1. The largest sample count of every mixture over the
// components, by the level's mixture (levels of different components are
// ordered by their own concentrations, so a level's place says nothing of its
// mixture). Returns those counts.
std::unordered_map<const MixtureRecord*, int32_t> CheckCounts(const CalcComponents& components,
                                                              const MixtureRecords& mixtures,
                                                              Diagnostics& diagnostics) {
    std::unordered_map<const MixtureRecord*, int32_t> maxN;
    for (const auto& mixture : mixtures)
        if (mixture) maxN.emplace(mixture.get(), 0);
    if (MixtureCount(mixtures) == kRequiredMixtures) {
        for (const auto& component : components) {
            if (component->isRangePart) continue;
            for (const CalcLevel& level : component->levels) {
                auto it = maxN.find(level.mixture);
                if (it != maxN.end()) it->second = std::max(it->second, level.n);
            }
        }
        for (const auto& entry : maxN)
            if (entry.second < kRequiredAnalyses) diagnostics.Activate(DiagCode::kAnalysisCount);
    } else {
        diagnostics.Activate(DiagCode::kMixtureCount);
        diagnostics.Activate(DiagCode::kAnalysisCount);
    }
    return maxN;
}

}  // namespace

void Diagnose(const CalcComponents& components, const MixtureRecords& mixtures, const AssayRecords& assays,
              Diagnostics& diagnostics) {
    const std::unordered_map<const MixtureRecord*, int32_t> maxN = CheckCounts(components, mixtures, diagnostics);
    for (const auto& component : components) {
        if (component->isRangePart) continue;
        std::wstring channelText = L"канал: " + ChannelLabel(component->channel);
        if (!component->catalogueEntry) diagnostics.Raise(DiagCode::kNotInCatalogue, component->name, channelText);
        bool incomplete = false;
        if (component->levelsUsed == 0) {
            diagnostics.Raise(DiagCode::kNotInMixtures, component->name, channelText);
            incomplete = true;
        } else if (static_cast<size_t>(component->levelsUsed) != component->levels.size()) {
            diagnostics.Raise(DiagCode::kNotInAllMixtures, component->name, channelText);
            incomplete = true;
        }
        if (incomplete) continue;
        for (const CalcLevel& level : component->levels) {
            if (!level.mixture) continue;
            auto it = maxN.find(level.mixture);
            int32_t expected = it == maxN.end() ? 0 : it->second;
            if (level.n != expected) ListMissingChromatograms(assays, component->name, channelText, level, diagnostics);
        }
    }
}

void Diagnostics::Publish(MessageLog& log) const {
    for (const DiagMessage& message : table_) {
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
