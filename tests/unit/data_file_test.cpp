#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "data/norvane_file.h"
#include "tests/unit/data_fixture.h"

namespace {

// Every member of a file object as one text, for whole-object comparison.
struct Dump {
    std::wostringstream out;
    template <class T>
    void operator()(const wchar_t* name, const T& v) {
        out << name << L'=';
        if constexpr (std::is_same_v<T, double>) {
            wchar_t buffer[64];
            std::swprintf(buffer, 64, L"%.17g", v);
            out << buffer;
        } else {
            out << v;
        }
        out << L';';
    }
};

std::wstring DumpFile(const CNorvaneFile4& f) {
    Dump d;
    d.out << L"version=" << f.version << L';';
    VisitMembers(f.passport, d);
    for (const ColumnInfo& c : f.passport.columns) VisitMembers(c, d);
    for (const FileChannel& ch : f.channels) {
        d.out << L"\nchannel " << ch.number << L' ' << ch.samples.size() << L' ';
        d(L"s1", ch.signal1);
        d(L"s2", ch.signal2);
        for (int32_t s : ch.samples) d.out << s << L',';
        for (const PeakItem& p : ch.peaks) VisitMembers(p, d);
    }
    return d.out.str();
}

std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string Le64(uint64_t v) {
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// A file made by hand: the header, one block header with the given count and
// the given sample bytes, then the XML text.
std::string Handmade(uint64_t xmlOffset, uint64_t count, const std::string& samples, const std::string& xml) {
    std::string s = "STG";
    s += '\1';
    s += std::string(4, '\0') + Le64(xmlOffset);
    s += std::string(1, '\2') + std::string(23, '\0') + Le64(count) + samples;
    return s + xml;
}

// A file of empty channel blocks with the given numbers (the XML offset right
// after them unless given), then the XML text.
std::string Blocks(const std::vector<uint8_t>& numbers, const std::string& xml, uint64_t xmlOffset = 0) {
    if (!xmlOffset) xmlOffset = 16 + 32 * uint64_t{numbers.size()};
    std::string s = "STG\1" + std::string(4, '\0') + Le64(xmlOffset);
    s.reserve(s.size() + 32 * numbers.size() + xml.size());
    for (uint8_t number : numbers) s += static_cast<char>(number) + std::string(31, '\0');
    return s + xml;
}

std::string ChannelsXml(const std::string& channels) {
    return "<root><passport><airtemp value=\"20\"/></passport><channels>" + channels + "</channels></root>";
}

std::string Repeat(const std::string& text, size_t times) {
    std::string s;
    s.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) s += text;
    return s;
}

void FillFull(CNorvaneFile4& f) {
    Passport& p = f.passport;
    p.assayid = L"7d3f0a62-1b9c-4c55-9e21-0d6a9b1c2e44";
    p.sample = L"ГСО-ПГС №3, анализ 2";
    p.operator_ = L"Оператор <\"&'>";
    p.numinseria = 2;
    p.vial = -3;
    p.volume = 0.1 + 0.2;
    p.norm = 1.0 / 3.0;
    p.liquidflag = -1e-300;
    p.date = -1;
    p.andate = 1710237600123LL;
    p.atmpressure = 101.32500000000002;
    p.airtemp = 21.7;
    p.defect = true;
    ColumnInfo c;
    c.channel = 1;
    c.name = L"HP-PLOT Al2O3";
    c.length = 50.0;
    c.unit = 3;
    c.fraction1 = 2.5e-7;
    p.columns = {c, ColumnInfo{}};
    for (int number : {0, 1}) {
        FileChannel& ch = f.channels.emplace_back();
        ch.number = number;
        ch.signal1 = 0.05 * (number + 1);
        ch.signal2 = 1e-3;
        ch.samples = {0, -1, 2147483647, -2147483647 - 1, 17 + number};
        PeakItem item;
        item.time = 2.3456789012345678;
        item.area = 123456.78901234567;
        item.name = L"Метан";
        item.reference = true;
        item.left = -4;
        item.flags = 0xFFFFFFF0u;
        item.index = 0.5;
        ch.peaks = {item, PeakItem{}};
    }
}

class FileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(FileTest, EveryMemberSurvivesSaveAndLoadWithSeventeenDigits) {
    CNorvaneFile4 saved;
    FillFull(saved);
    const std::wstring path = dir.Wide("full.chr");
    ASSERT_EQ(saved.SaveToFile(path), 0);
    EXPECT_EQ(saved.path, path);
    CNorvaneFile4 loaded;
    ASSERT_EQ(loaded.LoadFromFile(path), 0);
    EXPECT_EQ(loaded.path, path);
    EXPECT_EQ(DumpFile(loaded), DumpFile(saved));

    const std::string bytes = ReadBytes(dir.Path() / "full.chr");
    EXPECT_EQ(bytes.compare(0, 4, std::string("STG\1", 4)), 0);
    EXPECT_EQ(bytes.substr(8, 8), Le64(16 + 2 * (32 + 4 * 5)));
    EXPECT_NE(bytes.find("<?xml version=\"1.0\" encoding=\"utf-8\"?>"), std::string::npos);
    EXPECT_NE(bytes.find("<atmpressure value=\"101.32500000000002\""), std::string::npos);
    EXPECT_NE(bytes.find("<defect value=\"true\""), std::string::npos);
    // The column list comes after "defect".
    EXPECT_LT(bytes.find("<defect"), bytes.find("<column>"));
}

// A signal far longer than the reader's piece of 64 Ki samples, between two
// short ones, reads back sample for sample from a file and from memory.
TEST_F(FileTest, ALongSignalReadsBackSampleForSample) {
    CNorvaneFile4 saved;
    for (size_t count : {size_t{3}, size_t{2} * 65536 + 7, size_t{1}}) {
        FileChannel& channel = saved.channels.emplace_back();
        channel.number = static_cast<int32_t>(saved.channels.size());
        for (size_t i = 0; i < count; ++i) channel.samples.push_back(static_cast<int32_t>(i * 2654435761u + count));
    }
    ASSERT_EQ(saved.SaveToFile(dir.Wide("long.chr")), 0);
    CNorvaneFile4 fromFile, fromMemory;
    ASSERT_EQ(fromFile.LoadFromFile(dir.Wide("long.chr")), 0);
    EXPECT_EQ(DumpFile(fromFile), DumpFile(saved));
    const std::string bytes = ReadBytes(dir.Path() / "long.chr");
    ASSERT_EQ(fromMemory.LoadFromMemory(bytes.data(), bytes.size()), 0);
    EXPECT_EQ(DumpFile(fromMemory), DumpFile(saved));
}

TEST_F(FileTest, ANewObjectHasNoChannelsAndLoadsBackAsSaved) {
    CNorvaneFile4 fresh;
    EXPECT_EQ(fresh.passport.assayid, L"00000000-0000-0000-0000-000000000000");
    const std::wstring path = dir.Wide("empty.chr");
    ASSERT_EQ(fresh.SaveToFile(path), 0);
    EXPECT_EQ(ReadBytes(dir.Path() / "empty.chr").substr(8, 8), Le64(16));
    CNorvaneFile4 loaded;
    FillFull(loaded);
    ASSERT_EQ(loaded.LoadFromFile(path), 0);
    EXPECT_TRUE(loaded.channels.empty());
    EXPECT_EQ(DumpFile(loaded), DumpFile(fresh));
}

TEST_F(FileTest, AChannelNumberAbove255KeepsItsLowBitsAndLosesItsPeakTable) {
    CNorvaneFile4 saved;
    FillFull(saved);
    saved.channels[1].number = 300;
    const std::wstring path = dir.Wide("c300.chr");
    ASSERT_EQ(saved.SaveToFile(path), 0);
    EXPECT_NE(ReadBytes(dir.Path() / "c300.chr").find("<number value=\"300\""), std::string::npos);
    CNorvaneFile4 loaded;
    ASSERT_EQ(loaded.LoadFromFile(path), 0);
    ASSERT_EQ(loaded.channels.size(), 2u);
    EXPECT_EQ(loaded.channels[1].number, 44);
    EXPECT_TRUE(loaded.channels[1].peaks.empty());
    EXPECT_EQ(loaded.channels[0].peaks.size(), 2u);
}

TEST_F(FileTest, ChannelsSharingANumberKeepTheirOwnPeakTables) {
    CNorvaneFile4 saved;
    FillFull(saved);
    saved.channels[1].number = 0;
    saved.channels[1].peaks.resize(1);
    const std::wstring path = dir.Wide("twins.chr");
    ASSERT_EQ(saved.SaveToFile(path), 0);
    CNorvaneFile4 loaded;
    ASSERT_EQ(loaded.LoadFromFile(path), 0);
    EXPECT_EQ(DumpFile(loaded), DumpFile(saved));
}

// Each "channel" entry goes to the next channel of its number not yet given a
// table; an entry beyond them replaces the table of the first channel of that
// number; negative numbers and numbers of no channel (300 keeps 44 in a block,
// but no block holds 300) are skipped.
TEST_F(FileTest, ChannelEntriesTakeTheChannelsOfTheirNumberInTurn) {
    const auto entry = [](const std::string& number, const std::string& peak) {
        std::string s = "<channel>";
        if (!number.empty()) s += "<number value=\"" + number + "\"/>";
        return s + "<table><item><name value=\"" + peak + "\"/></item></table></channel>";
    };
    const std::string xml = ChannelsXml(entry("3", "a") + entry("-3", "skipped") + entry("3", "b") +
                                        entry("7", "skipped") + entry("5", "c") + entry("", "skipped") +
                                        entry("3", "d") + entry("3", "e") + entry("300", "skipped") +
                                        entry("5", "f") + entry("3", "g"));
    WriteBytes(dir.Path() / "turns.chr", Blocks({3, 5, 3, 3, 44, 3}, xml));
    CNorvaneFile4 f;
    ASSERT_EQ(f.LoadFromFile(dir.Wide("turns.chr")), 0);
    const std::vector<std::vector<std::wstring>> expected = {{L"g"}, {L"f"}, {L"b"}, {L"d"}, {}, {L"e"}};
    ASSERT_EQ(f.channels.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        std::vector<std::wstring> names;
        for (const PeakItem& p : f.channels[i].peaks) names.push_back(p.name);
        EXPECT_EQ(names, expected[i]) << "channel " << i;
    }
}

// The number of channel blocks is bounded, whatever the XML offset claims; the
// channels read before the failure stay (80 000 blocks and as many entries
// once took seconds to match).
TEST_F(FileTest, AFileWithMoreChannelBlocksThanTheLimitIsUnreadable) {
    const size_t limit = CNorvaneFile4::kMaxChannels;
    struct Case {
        const char* what;
        size_t blocks;
        uint64_t xmlOffset;  // 0: right after the blocks
        int code;
        size_t channelsKept;
    };
    const Case cases[] = {
        {"the limit", limit, 0, 0, limit},
        {"one above", limit + 1, 0, -5, limit},
        {"80 000 blocks", 80000, 0, -5, limit},
        {"offset far beyond the end", 1000, uint64_t{1} << 62, -5, limit},
    };
    for (const Case& c : cases) {
        const std::string bytes =
            Blocks(std::vector<uint8_t>(c.blocks, 0), ChannelsXml(Repeat("<channel/>", c.blocks)), c.xmlOffset);
        WriteBytes(dir.Path() / "many.chr", bytes);
        CNorvaneFile4 full, passportOnly, memory;
        EXPECT_EQ(full.LoadFromFile(dir.Wide("many.chr")), c.code) << c.what;
        EXPECT_EQ(passportOnly.LoadPassport(dir.Wide("many.chr")), c.code) << c.what;
        EXPECT_EQ(memory.LoadFromMemory(bytes.data(), bytes.size(), false), c.code) << c.what;
        EXPECT_EQ(full.channels.size(), c.channelsKept) << c.what;
        EXPECT_EQ(passportOnly.channels.size(), c.channelsKept) << c.what;
        if (c.code == 0) EXPECT_EQ(full.passport.airtemp, 20.0) << c.what;
    }
}

// A well-formed XML part longer than the limit (as when a damaged header puts
// the XML offset at the start of a large file) is not read at all.
TEST_F(FileTest, AnXmlPartAboveTheLimitIsUnreadable) {
    const std::string head = "<root><passport><airtemp value=\"20\"/></passport>";
    const std::string tail = "</root>";
    for (uint64_t xmlBytes : {CNorvaneFile4::kMaxXmlBytes, CNorvaneFile4::kMaxXmlBytes + 1}) {
        const std::string xml = head + std::string(static_cast<size_t>(xmlBytes) - head.size() - tail.size(), ' ') + tail;
        WriteBytes(dir.Path() / "long.chr", Blocks({1}, xml));
        const int code = xmlBytes > CNorvaneFile4::kMaxXmlBytes ? -7 : 0;
        CNorvaneFile4 full, passportOnly;
        EXPECT_EQ(full.LoadFromFile(dir.Wide("long.chr")), code) << xmlBytes;
        EXPECT_EQ(passportOnly.LoadPassport(dir.Wide("long.chr")), code) << xmlBytes;
        if (code == 0) EXPECT_EQ(passportOnly.passport.airtemp, 20.0);
    }
}

// The passport read keeps what the assay loader needs: the passport, columns
// and the channels with their numbers and signal reals, no samples and no
// peak tables.
TEST_F(FileTest, ThePassportReadListsTheChannelsWithoutSamplesOrPeakTables) {
    CNorvaneFile4 saved;
    FillFull(saved);
    ASSERT_EQ(saved.SaveToFile(dir.Wide("full.chr")), 0);
    CNorvaneFile4 passportOnly;
    ASSERT_EQ(passportOnly.LoadPassport(dir.Wide("full.chr")), 0);
    for (FileChannel& channel : saved.channels) {
        channel.samples.clear();
        channel.peaks.clear();
    }
    EXPECT_EQ(DumpFile(passportOnly), DumpFile(saved));
}

#if defined(__SANITIZE_ADDRESS__)
#define TESSARO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSARO_ASAN 1
#endif
#endif

// Memory running out in a read gives the code of the part being read: the
// full read of a file with a 256 MB signal, in a child process that may take
// only 64 MB more than it has, fails with the samples code; the passport read,
// which needs no room for the signal, reads the same file.
TEST_F(FileTest, MemoryRunningOutWhileReadingSamplesGivesTheSamplesCode) {
#if !defined(__linux__) || defined(TESSARO_ASAN)
    GTEST_SKIP() << "needs Linux address-space limits, which AddressSanitizer's shadow memory does not allow";
#else
    const uint64_t count = uint64_t{64} << 20;
    const std::filesystem::path file = dir.Path() / "huge.chr";
    WriteBytes(file, Handmade(16 + 32 + 4 * count, count, "", ""));
    std::filesystem::resize_file(file, 16 + 32 + 4 * count);  // a hole, no disk
    std::ofstream(file, std::ios::binary | std::ios::app) << "<root><passport><airtemp value=\"20\"/></passport></root>";
    CNorvaneFile4 passportOnly;
    ASSERT_EQ(passportOnly.LoadPassport(dir.Wide("huge.chr")), 0);
    EXPECT_EQ(passportOnly.passport.airtemp, 20.0);

    // The child exits with the read's code negated (100: the limit was refused).
    const auto readWithLittleRoom = [path = dir.Wide("huge.chr")] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t room = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64 << 20);
        rlimit limit;
        limit.rlim_cur = limit.rlim_max = room;
        if (setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(100);
        CNorvaneFile4 full;
        std::_Exit(-full.LoadFromFile(path));
    };
    EXPECT_EXIT(readWithLittleRoom(), ::testing::ExitedWithCode(-CNorvaneFile4::kSamplesFailed), "");
#endif
}

TEST_F(FileTest, MissingMembersReadAsZeroAndBoolsByTheirFirstLetter) {
    struct Case {
        const char* defect;
        bool expected;
    };
    for (Case c : {Case{"yes", true}, {"no", false}, {"True", true}, {"1", true}, {"0", false}, {"", false},
                   {"false", false}, {"Y", true}}) {
        std::string xml = std::string("<root><passport><defect value=\"") + c.defect +
                          "\"/><sample value=\"x\"/><sample value=\"second\"/></passport></root>";
        WriteBytes(dir.Path() / "p.chr", "STG" + std::string(1, '\0') + std::string(4, '\0') + Le64(16) + xml);
        CNorvaneFile4 f;
        ASSERT_EQ(f.LoadFromFile(dir.Wide("p.chr")), 0) << c.defect;
        EXPECT_EQ(f.passport.defect, c.expected) << c.defect;
        EXPECT_EQ(f.version, 0);
        EXPECT_EQ(f.passport.sample, L"x");  // the first element of a name counts
        EXPECT_EQ(f.passport.atmpressure, 0.0);
        EXPECT_EQ(f.passport.assayid, L"");
        EXPECT_EQ(f.passport.vial, 0);
        EXPECT_EQ(f.passport.norm, 0.0);
    }
}

TEST_F(FileTest, EveryMalformedFileGivesItsCodeAndThePassportLoadAgrees) {
    const std::string goodXml = "<root><passport><airtemp value=\"20\"/></passport></root>";
    struct Case {
        const char* what;
        std::string bytes;
        int code;
    };
    const std::vector<Case> cases = {
        {"short header", "STG\1abc", -2},
        {"signature", "STX" + std::string(5, '\0') + Le64(16) + goodXml, -3},
        {"version 2", "STG\2" + std::string(4, '\0') + Le64(16) + goodXml, -4},
        {"cut block header", "STG\1" + std::string(4, '\0') + Le64(48) + std::string(20, '\0'), -5},
        {"offset past the end", Handmade(1000, 0, "", "<root/>"), -5},
        {"count above 32 bits", Handmade(52, 1ull << 32, "abcd", goodXml), -6},
        {"count past the end", Handmade(52, 0x7FFFFFFF, "abcd", goodXml), -6},
        {"samples cut", Handmade(56, 2, "abcd", ""), -6},
        {"no XML", Handmade(52, 1, "abcd", ""), -7},
        {"broken XML", Handmade(52, 1, "abcd", "<root><passport></root>"), -7},
        {"good", Handmade(52, 1, "abcd", goodXml), 0},
        {"offset below the header", "STG\1" + std::string(4, '\0') + Le64(3) + goodXml, 0},
    };
    for (const Case& c : cases) {
        WriteBytes(dir.Path() / "bad.chr", c.bytes);
        CNorvaneFile4 full, passportOnly;
        EXPECT_EQ(full.LoadFromFile(dir.Wide("bad.chr")), c.code) << c.what;
        EXPECT_EQ(passportOnly.LoadPassport(dir.Wide("bad.chr")), c.code) << c.what;
        for (const FileChannel& ch : passportOnly.channels) EXPECT_TRUE(ch.samples.empty()) << c.what;
        if (c.code == 0) {
            EXPECT_EQ(full.passport.airtemp, 20.0);
            EXPECT_EQ(passportOnly.passport.airtemp, 20.0);
        }
    }
}

// A saved file cut at every length, and with every byte of it inverted in
// turn: each load gives 0 or a code of the table, and the passport-only load
// gives the same code, so a damaged file never passes for a whole one by one
// reader and fails by the other.
TEST_F(FileTest, EveryCutAndEveryInvertedByteGivesACodeBothReadersAgreeOn) {
    CNorvaneFile4 original;
    original.passport.atmpressure = 99.5;
    FileChannel& channel = original.channels.emplace_back();
    channel.number = 0;
    channel.samples = {1, 2, 3};
    channel.peaks.emplace_back().name = L"Метан";
    ASSERT_EQ(original.SaveToFile(dir.Wide("whole.chr")), 0);
    const std::string whole = ReadBytes(dir.Path() / "whole.chr");
    const auto check = [&](const std::string& bytes, const std::string& what) {
        WriteBytes(dir.Path() / "damaged.chr", bytes);
        CNorvaneFile4 full, passportOnly;
        const int code = full.LoadFromFile(dir.Wide("damaged.chr"));
        EXPECT_TRUE(code <= 0 && code >= -7) << what << ": " << code;
        EXPECT_EQ(passportOnly.LoadPassport(dir.Wide("damaged.chr")), code) << what;
        if (code == 0) EXPECT_EQ(full.passport.atmpressure, passportOnly.passport.atmpressure) << what;
        return code;
    };
    int cutsThatLoad = 0;
    for (size_t length = 0; length < whole.size(); ++length)
        if (check(whole.substr(0, length), "cut at " + std::to_string(length)) == 0) ++cutsThatLoad;
    // Only blanks follow the XML's last closing tag.
    EXPECT_LE(cutsThatLoad, 1);
    for (size_t i = 0; i < whole.size(); ++i) {
        std::string flipped = whole;
        flipped[i] = static_cast<char>(~flipped[i]);
        check(flipped, "byte " + std::to_string(i) + " inverted");
    }
}

TEST_F(FileTest, OpenAndWriteFailures) {
    CNorvaneFile4 f;
    FillFull(f);
    const std::wstring before = DumpFile(f);
    EXPECT_EQ(f.LoadFromFile(dir.Wide("absent.chr")), -1);
    EXPECT_EQ(f.LoadPassport(dir.Wide("absent.chr")), -1);
    EXPECT_EQ(DumpFile(f), before);
    EXPECT_TRUE(f.path.empty());
    EXPECT_EQ(f.SaveToFile(dir.Wide("no-folder/x.chr")), -1);
    EXPECT_EQ(f.SaveToFile(dir.Wide("")), -1);
#ifdef __linux__
    // A device that takes no data: the buffered writes fail when flushed.
    CNorvaneFile4 small;
    EXPECT_EQ(small.SaveToFile(L"/dev/full"), -7);
#endif
}

}  // namespace
