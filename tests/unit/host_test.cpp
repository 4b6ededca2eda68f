// Host integration: entry points, the plug-in description, settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "data/database_connection.h"
#include "plugin/plugin.h"
#include "host/program_settings.h"
#include "host/services.h"
#include "host/settings.h"
#include "host/version_info.h"
#include "tests/unit/fake_host.h"

namespace {

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPluginSettingsState(); }
    void TearDown() override { ResetPluginSettingsState(); }
    FakeHost host;
};

// ---------------------------------------------------------------- settings

TEST_F(HostTest, KeyPathHasThePrefixOnlyAfterItIsSet) {
    EXPECT_EQ(SettingKeyPath(L"ProgramSettings", L"qtySymInProg"), L"ProgramSettings/qtySymInProg");
    SetProfilePrefix(kProfilePrefix);
    EXPECT_EQ(SettingKeyPath(L"ProgramSettings", L"qtySymInProg"), L"plugins\\Tessaro\\ProgramSettings/qtySymInProg");
    EXPECT_EQ(SettingKeyPath(L"TablesSettings\\CalcInfo", L"0_width"),
              L"plugins\\Tessaro\\TablesSettings\\CalcInfo/0_width");
}

TEST_F(HostTest, WithoutProfileServicesReadsGiveDefaultsAndWritesFail) {
    host.WithdrawProfile();
    EXPECT_EQ(ReadSettingInt(L"S", L"k", 7), 7);
    EXPECT_EQ(ReadSettingText(L"S", L"t", L"dflt"), L"dflt");
    EXPECT_FALSE(WriteSettingInt(L"S", L"k", 5));
    EXPECT_FALSE(WriteSettingText(L"S", L"t", L"x"));
    // Nothing but the availability questions reached the host.
    for (const auto& call : host.calls) EXPECT_EQ(call.rfind("IsServiceAvailable ", 0), 0u) << call;
}

TEST_F(HostTest, IntegersRoundTripAndAStoredZeroReadsAsTheDefault) {
    EXPECT_TRUE(WriteSettingInt(L"S", L"k", -42));
    EXPECT_EQ(ReadSettingInt(L"S", L"k", 3), -42);
    EXPECT_TRUE(WriteSettingInt(L"S", L"k", 0));
    EXPECT_EQ(host.ints[L"S/k"], 0);
    EXPECT_EQ(ReadSettingInt(L"S", L"k", 3), 3);
    EXPECT_EQ(ReadSettingInt(L"S", L"missing", 20), 20);
}

TEST_F(HostTest, TextsAreCutTo127AndAnEmptyStoredTextIsNotTheDefault) {
    host.texts[L"S/long"] = std::wstring(200, L'ж');
    EXPECT_EQ(ReadSettingText(L"S", L"long", L""), std::wstring(127, L'ж'));
    host.texts[L"S/empty"] = L"";
    EXPECT_EQ(ReadSettingText(L"S", L"empty", L"default"), L"");
    EXPECT_EQ(ReadSettingText(L"S", L"absent", L"default"), L"default");
    EXPECT_TRUE(WriteSettingText(L"S", L"t", L"Оператор Иванов"));
    EXPECT_EQ(ReadSettingText(L"S", L"t", L""), L"Оператор Иванов");
}

TEST_F(HostTest, EveryCallAsksWhetherTheServiceIsOffered) {
    ReadSettingInt(L"S", L"k", 1);
    ReadSettingInt(L"S", L"k", 1);
    long asked = std::count(host.calls.begin(), host.calls.end(), "IsServiceAvailable Profile/GetInt");
    EXPECT_EQ(asked, 2);
}

TEST_F(HostTest, ProgramSettingsDefaultWithoutProfile) {
    host.WithdrawProfile();
    ProgramSettingsAccessor settings;
    EXPECT_EQ(settings.DigitsInProgram(), 3);
    EXPECT_EQ(settings.DigitsInReport(), 3);
    EXPECT_FALSE(settings.PressureCorrection());
    EXPECT_FALSE(settings.TemperatureCorrection());
}

TEST_F(HostTest, ProgramSettingsLoadOncePerProcess) {
    SetProfilePrefix(kProfilePrefix);
    host.ints[L"plugins\\Tessaro\\ProgramSettings/qtySymInProg"] = 5;
    host.ints[L"plugins\\Tessaro\\ProgramSettings/enPressCorrect"] = 1;
    {
        ProgramSettingsAccessor first;
        EXPECT_EQ(first.DigitsInProgram(), 5);
        EXPECT_TRUE(first.PressureCorrection());
    }
    std::vector<std::wstring> expected = {L"plugins\\Tessaro\\ProgramSettings/qtySymInProg",
                                          L"plugins\\Tessaro\\ProgramSettings/qtySymInReport",
                                          L"plugins\\Tessaro\\ProgramSettings/enPressCorrect",
                                          L"plugins\\Tessaro\\ProgramSettings/enTempCorrect"};
    EXPECT_EQ(host.keysRead, expected);
    host.ints[L"plugins\\Tessaro\\ProgramSettings/qtySymInProg"] = 1;  // behind the plug-in's back
    ProgramSettingsAccessor second;
    EXPECT_EQ(second.DigitsInProgram(), 5);
    EXPECT_EQ(host.keysRead.size(), 4u);
}

TEST_F(HostTest, StoringProgramSettingsWritesTheFourKeys) {
    SetProfilePrefix(kProfilePrefix);
    ProgramSettingsAccessor settings;
    settings.Store(4, 2, false, true);
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ProgramSettings/qtySymInProg"], 4);
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ProgramSettings/qtySymInReport"], 2);
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ProgramSettings/enPressCorrect"], 0);
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ProgramSettings/enTempCorrect"], 1);
    EXPECT_EQ(ProgramSettingsAccessor().DigitsInReport(), 2);
}

// ---------------------------------------------------------------- description

TEST(VersionPacking, EachPartKeepsItsLowEightBits) {
    struct Case { uint32_t high, low, packed; } cases[] = {
        {0x00000000u | 14u, 0x00000000u, 0x000E0000u},   // 0.14.0.0
        {0x00010002u, 0x00030004u, 0x01020304u},         // 1.2.3.4
        {0x01010002u, 0x00030104u, 0x01020304u},         // 257.2.3.260
    };
    for (const Case& c : cases) EXPECT_EQ(PackVersion(c.high, c.low), c.packed) << std::hex << c.high << ' ' << c.low;
}

class FakeVersionSource : public VersionSource {
public:
    std::vector<std::pair<uint16_t, uint16_t>> translations{{0x0409, 0x04B0}, {0x0419, 0x04B0}};
    std::map<std::wstring, std::wstring> strings;
    bool Open() override { return true; }
    bool ProductVersion(uint32_t& high, uint32_t& low) override {
        high = 0x0000000E;
        low = 0;
        return true;
    }
    std::vector<std::pair<uint16_t, uint16_t>> Translations() override { return translations; }
    bool QueryString(const std::wstring& path, std::wstring& value) override {
        auto it = strings.find(path);
        if (it == strings.end()) return false;
        value = it->second;
        return true;
    }
};

class DescriptionTest : public ::testing::Test {
protected:
    static FakeVersionSource Russian() {
        FakeVersionSource s;
        s.strings[L"\\StringFileInfo\\041904b0\\ProductName"] = L"Tessaro";
        s.strings[L"\\StringFileInfo\\041904b0\\FileDescription"] = L"Проверка линейности";
        s.strings[L"\\StringFileInfo\\041904b0\\ProductVersion"] = L"0.14.0.0";
        s.strings[L"\\StringFileInfo\\040904b0\\ProductName"] = L"English";
        return s;
    }
    void Use(FakeVersionSource source) {
        SetVersionSourceFactoryForTest([source] { return std::make_unique<FakeVersionSource>(source); });
    }
    void TearDown() override { SetVersionSourceFactoryForTest(nullptr); }
};

TEST_F(DescriptionTest, ReadsTheRussianStringTableOncePerLiveCycle) {
    Use(Russian());
    int readsBefore = VersionInfoReader::ReadCount();
    {
        VersionInfoReader pluginReader;
        const PluginInfoBlock& block = GetPluginInfoBlock();
        EXPECT_STREQ(block.info.name, L"Tessaro");
        EXPECT_STREQ(block.info.description, L"Проверка линейности");
        EXPECT_STREQ(block.info.company, L"");  // a key the table lacks
        EXPECT_STREQ(block.productVersion, L"0.14.0.0");
        EXPECT_EQ(block.info.version, 0x000E0000u);
        EXPECT_EQ(block.info.size, static_cast<int32_t>(sizeof(PluginInfo)));
        {
            VersionInfoReader aboutBox;  // opened and closed while the first reader lives
        }
        EXPECT_STREQ(GetPluginInfoBlock().info.description, L"Проверка линейности");
        EXPECT_EQ(VersionInfoReader::ReadCount(), readsBefore + 1);
    }
    EXPECT_EQ(VersionInfoReader::LiveCount(), 0);
    EXPECT_STREQ(GetPluginInfoBlock().info.name, L"");  // freed, never dangling
}

TEST_F(DescriptionTest, WithoutARussianTranslationEveryTextIsEmpty) {
    FakeVersionSource source = Russian();
    source.translations = {{0x0409, 0x04B0}};
    Use(source);
    VersionInfoReader reader;
    EXPECT_STREQ(GetPluginInfoBlock().info.name, L"");
    EXPECT_EQ(VersionInfoReader::Value(VersionInfoReader::ProductName), L"");
}

TEST_F(DescriptionTest, NeutralRussianLanguageIsAcceptedToo) {
    FakeVersionSource source;
    source.translations = {{0x0019, 0x04E3}};
    source.strings[L"\\StringFileInfo\\001904e3\\ProductName"] = L"Tessaro";
    Use(source);
    VersionInfoReader reader;
    EXPECT_STREQ(GetPluginInfoBlock().info.name, L"Tessaro");
}

// ---------------------------------------------------------------- lifecycle

int g_opened = 0;
intptr_t g_openedWith = 0;
void CountingOpener(intptr_t hostWindow) {
    ++g_opened;
    g_openedWith = hostWindow;
}
void ThrowingOpener(intptr_t) { throw std::runtime_error("no window"); }

TEST_F(HostTest, LifecycleRegistersTheCommandMenuAndUriThenUnloadsInOrder) {
    PluginInfo* info = GetPluginInfo();
    EXPECT_EQ(GetPluginInfo(), info);
    EXPECT_STREQ(info->supportEmail, kSupportEmail);

    EXPECT_EQ(Load(host.Table()), 0);
    ASSERT_EQ(host.subscriptions.size(), 1u);
    EXPECT_EQ(host.subscriptions.begin()->second.first, HostNames::kModulesLoaded);

    host.uri = L"C:\\Данные\\host.db";
    host.Raise(HostNames::kModulesLoaded);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands.begin()->second.first, HostNames::kMenuCommand);
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].size, static_cast<int32_t>(sizeof(MenuEntryInfo)));
    EXPECT_EQ(host.menuPaths[0], L"Данные/Расчёты/Tessaro");
    EXPECT_EQ(host.menus[0].reserved, 0);
    EXPECT_STREQ(host.menus[0].commandName, "Tessaro/MenuCommand");
    ASSERT_NE(DataBaseConnection::GetInstance().GetUri(), nullptr);
    EXPECT_STREQ(DataBaseConnection::GetInstance().GetUri(), L"C:\\Данные\\host.db");

    // Before the first menu command settings use the short key path.
    EXPECT_EQ(SettingKeyPath(L"S", L"k"), L"S/k");
    g_opened = 0;
    SetMainWindowOpener(&CountingOpener);
    EXPECT_TRUE(host.Fire(HostNames::kMenuCommand, 0x1234));
    EXPECT_TRUE(host.Fire(HostNames::kMenuCommand, 0x1234));
    EXPECT_EQ(g_opened, 2);
    EXPECT_EQ(g_openedWith, 0x1234);
    EXPECT_EQ(SettingKeyPath(L"S", L"k"), L"plugins\\Tessaro\\S/k");

    int32_t event = EventHandleForTest(), command = CommandHandleForTest();
    host.calls.clear();
    EXPECT_EQ(Unload(), 0);
    std::vector<std::string> expected = {"Unsubscribe " + std::to_string(event), "RemoveCommand " + std::to_string(command)};
    EXPECT_EQ(host.calls, expected);
    EXPECT_TRUE(host.subscriptions.empty());
    EXPECT_TRUE(host.commands.empty());
    SetMainWindowOpener(nullptr);
    SetHostServices(nullptr);
}

TEST_F(HostTest, NoExceptionLeavesAHostCallback) {
    Load(host.Table());
    host.Raise(HostNames::kModulesLoaded);
    SetMainWindowOpener(&ThrowingOpener);
    EXPECT_NO_THROW(EXPECT_EQ(OnMenuCommand(0), 0));
    SetMainWindowOpener(nullptr);
    Unload();
}

TEST_F(HostTest, AMissingUriLeavesTheHolderWithoutLocation) {
    host.uriIsNull = true;
    Load(host.Table());
    host.Raise(HostNames::kModulesLoaded);
    EXPECT_EQ(DataBaseConnection::GetInstance().GetUri(), nullptr);
    Unload();
}

}  // namespace

namespace {
// A main window that stores a setting as it goes, as the intermediate page's columns do.
void StoringCloser() { WriteSettingInt(L"TablesSettings\\CalcInfo", L"qtyCols", 14); }
}  // namespace

TEST_F(HostTest, UnloadClosesTheWindowWhileTheHostAnswersAndCallsNothingAfterwards) {
    Load(host.Table());
    host.Raise(HostNames::kModulesLoaded);
    SetMainWindowOpener(&CountingOpener);
    SetMainWindowCloser(&StoringCloser);
    host.Fire(HostNames::kMenuCommand, 1);
    host.calls.clear();
    EXPECT_EQ(Unload(), 0);
    SetMainWindowCloser(nullptr);
    SetMainWindowOpener(nullptr);
    // The window's setting reached the host before the service table was let go.
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\TablesSettings\\CalcInfo/qtyCols"], 14);

    // A host that frees its table after Unload is not called through it again.
    host.calls.clear();
    EXPECT_EQ(GetHostServices(), nullptr);
    EXPECT_EQ(ReadSettingInt(L"ProgramSettings", L"qtySymInProg", 3), 3);
    EXPECT_FALSE(WriteSettingInt(L"ProgramSettings", L"qtySymInProg", 5));
    EXPECT_EQ(HostCallService(HostNames::kGetConnectionUri, 0, 0), 0);
    EXPECT_TRUE(host.calls.empty()) << host.calls.front();
}

TEST_F(HostTest, ANewLoadCyclePreparesTheProfilePrefixAgain) {
    for (int cycle = 0; cycle < 2; ++cycle) {
        SetProfilePrefix(L"");
        Load(host.Table());
        host.Raise(HostNames::kModulesLoaded);
        OnMenuCommand(0);
        EXPECT_EQ(SettingKeyPath(L"S", L"k"), L"plugins\\Tessaro\\S/k") << "cycle " << cycle;
        Unload();
    }
}
