#include "data/norvane_file.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "base/text.h"

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the samples are copied as they lie in the file, which is little-endian"
#endif

namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kBlockHeaderSize = 32;

uint64_t GetLE64(const unsigned char* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

void PutLE64(unsigned char* p, uint64_t v) {
    for (int i = 0; i < 8; ++i, v >>= 8) p[i] = static_cast<unsigned char>(v & 0xFF);
}

double GetReal(const unsigned char* p) {
    uint64_t bits = GetLE64(p);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void PutReal(unsigned char* p, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutLE64(p, bits);
}

// Readies a large array for being filled: the system is asked to back its
// whole 2 MB pages with huge pages and to map all its pages at once. Filling
// the samples of a long run (tens of MB) costs otherwise mostly the page
// faults of the new memory, one per 4 KB. Both are hints; a system without
// them fills the array as it would have.
void PrepareLargeArray(const void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    auto within = [](uintptr_t begin, uintptr_t end, uintptr_t unit) {
        return std::make_pair((begin + unit - 1) & ~(unit - 1), end & ~(unit - 1));
    };
    const uintptr_t start = reinterpret_cast<uintptr_t>(data);
    const auto huge = within(start, start + bytes, uintptr_t{2} << 20);
    if (huge.second > huge.first)
        madvise(reinterpret_cast<void*>(huge.first), huge.second - huge.first, MADV_HUGEPAGE);
#if defined(MADV_POPULATE_WRITE)
    const auto pages = within(start, start + bytes, uintptr_t{4096});
    if (pages.second > pages.first)
        madvise(reinterpret_cast<void*>(pages.first), pages.second - pages.first, MADV_POPULATE_WRITE);
#endif
#else
    (void)data;
    (void)bytes;
#endif
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

FILE* OpenFile(const std::wstring& path, bool write) {
#ifdef _WIN32
    return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
    return std::fopen(Utf8FromWide(path).c_str(), write ? "wb" : "rb");
#endif
}

bool SeekFile(FILE* f, int64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(f, offset, origin) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), origin) == 0;
#endif
}

int64_t TellFile(FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return static_cast<int64_t>(ftello(f));
#endif
}

// Where the reader takes its bytes from: an open file or a buffer in memory.
class Source {
public:
    virtual ~Source() = default;
    virtual bool Read(void* out, size_t size) = 0;  // exactly size bytes, or false
    virtual bool Skip(uint64_t size) = 0;
    virtual uint64_t Remaining() const = 0;
};

class FileSource : public Source {
public:
    FileSource(FILE* f, uint64_t size) : f_(f), size_(size) {}
    bool Read(void* out, size_t size) override {
        size_t got = std::fread(out, 1, size, f_);
        pos_ += got;
        return got == size;
    }
    bool Skip(uint64_t size) override {
        if (size > Remaining() || !SeekFile(f_, static_cast<int64_t>(pos_ + size), SEEK_SET)) return false;
        pos_ += size;
        return true;
    }
    uint64_t Remaining() const override { return pos_ < size_ ? size_ - pos_ : 0; }

private:
    FILE* f_;
    uint64_t size_;
    uint64_t pos_ = 0;
};

class MemorySource : public Source {
public:
    MemorySource(const void* data, size_t size) : data_(static_cast<const unsigned char*>(data)), size_(size) {}
    bool Read(void* out, size_t size) override {
        size_t got = size < size_ - pos_ ? size : size_ - pos_;
        if (got) std::memcpy(out, data_ + pos_, got);
        pos_ += got;
        return got == size;
    }
    bool Skip(uint64_t size) override {
        if (size > Remaining()) return false;
        pos_ += static_cast<size_t>(size);
        return true;
    }
    uint64_t Remaining() const override { return size_ - pos_; }

private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Reads members from the "value" attribute of the first child of their name;
// what is missing reads as empty, 0, 0.0 or false.
struct XmlMemberReader {
    pugi::xml_node parent;
    pugi::xml_attribute Value(const wchar_t* name) const { return parent.child(name).attribute(L"value"); }
    void operator()(const wchar_t* name, std::wstring& v) const { v = Value(name).as_string(); }
    void operator()(const wchar_t* name, int32_t& v) const { v = Value(name).as_int(); }
    void operator()(const wchar_t* name, uint32_t& v) const { v = Value(name).as_uint(); }
    void operator()(const wchar_t* name, int64_t& v) const { v = Value(name).as_llong(); }
    void operator()(const wchar_t* name, double& v) const { v = Value(name).as_double(); }
    // True exactly when the text begins with 1, T, t, Y or y.
    void operator()(const wchar_t* name, bool& v) const { v = Value(name).as_bool(); }
};

struct XmlMemberWriter {
    mutable pugi::xml_node parent;
    pugi::xml_attribute Value(const wchar_t* name) const {
        return parent.append_child(name).append_attribute(L"value");
    }
    void operator()(const wchar_t* name, const std::wstring& v) const { Value(name).set_value(v.c_str()); }
    void operator()(const wchar_t* name, int32_t v) const { Value(name).set_value(v); }
    void operator()(const wchar_t* name, uint32_t v) const { Value(name).set_value(v); }
    void operator()(const wchar_t* name, int64_t v) const { Value(name).set_value(static_cast<long long>(v)); }
    void operator()(const wchar_t* name, double v) const { Value(name).set_value(v, 17); }  // "%.*g", 17
    void operator()(const wchar_t* name, bool v) const { Value(name).set_value(v); }
};

pugi::xml_node AppendVersioned(pugi::xml_node parent, const wchar_t* name) {
    pugi::xml_node node = parent.append_child(name);
    node.append_attribute(L"version").set_value(1);
    return node;
}

class FileWriter : public pugi::xml_writer {
public:
    explicit FileWriter(FILE* f) : f_(f) {}
    void write(const void* data, size_t size) override { std::fwrite(data, 1, size, f_); }

private:
    FILE* f_;
};

// The binary part and the XML part of one file, read into a file object.
class Reader {
public:
    Reader(CNorvaneFile4& file, Source& source, bool withSamples)
        : file_(file), source_(source), withSamples_(withSamples) {}

    // Memory running out makes the file unreadable with the code of the part
    // being read, like any other failure there.
    int Run() {
        try {
            return Read();
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
        }
        return part_;
    }

private:
    int Read() {
        unsigned char header[kHeaderSize];
        if (!source_.Read(header, sizeof header)) return CNorvaneFile4::kHeaderFailed;
        if (std::memcmp(header, "STG", 3) != 0) return CNorvaneFile4::kBadSignature;
        if (header[3] > 1) return CNorvaneFile4::kBadVersion;
        file_.version = header[3];
        const uint64_t xmlOffset = GetLE64(header + 8);

        file_.channels.clear();
        uint64_t position = kHeaderSize;
        while (position < xmlOffset) {
            // Only the blocks up to the limit are read, whatever the offset claims.
            if (file_.channels.size() >= CNorvaneFile4::kMaxChannels) return CNorvaneFile4::kBlockFailed;
            int rc = ReadBlock(position);
            if (rc != 0) return rc;
        }
        return ReadXml();
    }

    int ReadBlock(uint64_t& position) {
        part_ = CNorvaneFile4::kBlockFailed;
        unsigned char block[kBlockHeaderSize];
        if (!source_.Read(block, sizeof block)) return CNorvaneFile4::kBlockFailed;
        position += kBlockHeaderSize;
        FileChannel& channel = file_.channels.emplace_back();
        channel.number = block[0];
        std::lock_guard<std::mutex> lock(channel.signalLock);
        channel.signal1 = GetReal(block + 8);
        channel.signal2 = GetReal(block + 16);
        const uint64_t count = GetLE64(block + 24);
        // A count is checked against what the file still holds before anything
        // is allocated for it.
        if (count > std::numeric_limits<uint32_t>::max()) return CNorvaneFile4::kSamplesFailed;
        const uint64_t bytes = count * 4;
        if (bytes > source_.Remaining()) return CNorvaneFile4::kSamplesFailed;
        if (withSamples_) {
            part_ = CNorvaneFile4::kSamplesFailed;
            if (!ReadSamples(channel.samples, static_cast<size_t>(count))) return CNorvaneFile4::kSamplesFailed;
        } else if (!source_.Skip(bytes)) {
            return CNorvaneFile4::kSamplesFailed;
        }
        position += bytes;
        return 0;
    }

    // Appends the samples to the empty array piece by piece through a small
    // buffer that stays in the cache, so that the array is not filled with
    // zeros first and each of its pages is written once.
    bool ReadSamples(std::vector<int32_t>& samples, size_t count) {
        constexpr size_t kPiece = 64 * 1024;  // samples, 256 KB
        samples.reserve(count);
        PrepareLargeArray(samples.data(), count * sizeof(int32_t));
        while (samples.size() < count) {
            if (!piece_) piece_.reset(new int32_t[kPiece]);
            const size_t n = std::min(kPiece, count - samples.size());
            if (!source_.Read(piece_.get(), n * sizeof(int32_t))) return false;
            samples.insert(samples.end(), piece_.get(), piece_.get() + n);
        }
        return true;
    }

    int ReadXml() {
        part_ = CNorvaneFile4::kXmlFailed;
        const uint64_t rest = source_.Remaining();
        if (rest > CNorvaneFile4::kMaxXmlBytes) return CNorvaneFile4::kXmlFailed;
        // The text goes into a buffer of the library's own, which it frees as
        // soon as it has converted the text to wide characters, before the
        // document is built.
        const size_t size = static_cast<size_t>(rest);
        void* text = pugi::get_memory_allocation_function()(size ? size : 1);
        if (!text) return CNorvaneFile4::kXmlFailed;
        if (!source_.Read(text, size)) {
            pugi::get_memory_deallocation_function()(text);
            return CNorvaneFile4::kXmlFailed;
        }
        // The whole part is parsed in either mode, so that the passport read
        // fails exactly where the full read does.
        pugi::xml_document document;
        if (!document.load_buffer_inplace_own(text, size, pugi::parse_default, pugi::encoding_utf8))
            return CNorvaneFile4::kXmlFailed;

        pugi::xml_node root = document.child(L"root");
        pugi::xml_node passportNode = root.child(L"passport");
        Passport& passport = file_.passport;
        VisitMembers(passport, XmlMemberReader{passportNode});
        passport.columns.clear();
        for (pugi::xml_node columnNode : passportNode.children(L"column"))
            VisitMembers(passport.columns.emplace_back(), XmlMemberReader{columnNode});
        if (!withSamples_) return CNorvaneFile4::kOk;  // the passport read takes no peak tables

        // Channels that share a number take the tables of that number in turn, so
        // that a file with such channels reads back as it was written; an entry
        // beyond them goes to the first channel of its number. The binary part
        // gives numbers 0-255, so an entry of any other number matches nothing.
        std::array<std::vector<FileChannel*>, 256> byNumber;
        for (FileChannel& channel : file_.channels) byNumber[static_cast<uint8_t>(channel.number)].push_back(&channel);
        std::array<size_t, 256> taken{};
        for (pugi::xml_node channelNode : root.child(L"channels").children(L"channel")) {
            const int number = channelNode.child(L"number").attribute(L"value").as_int();
            if (number < 0 || number > 255) continue;
            const std::vector<FileChannel*>& sharing = byNumber[static_cast<size_t>(number)];
            if (sharing.empty()) continue;
            size_t& next = taken[static_cast<size_t>(number)];
            FileChannel* channel = next < sharing.size() ? sharing[next++] : sharing.front();
            channel->peaks.clear();
            for (pugi::xml_node itemNode : channelNode.child(L"table").children(L"item"))
                VisitMembers(channel->peaks.emplace_back(), XmlMemberReader{itemNode});
        }
        return CNorvaneFile4::kOk;
    }

    CNorvaneFile4& file_;
    Source& source_;
    bool withSamples_;
    std::unique_ptr<int32_t[]> piece_;  // not filled with zeros either
    int part_ = CNorvaneFile4::kHeaderFailed;  // the code of a failure in the part being read
};

}  // namespace

int CNorvaneFile4::Load(const std::wstring& filePath, bool withSamples) {
    // The path is copied before anything is read, so that storing it cannot fail.
    std::wstring newPath;
    FilePtr f;
    try {
        newPath = filePath;
        f.reset(OpenFile(filePath, false));
    } catch (const std::bad_alloc&) {
        return kOpenFailed;
    } catch (const std::length_error&) {
        return kOpenFailed;
    }
    if (!f) return kOpenFailed;
    // The reads are large or few: the stream's own buffer would only add a copy.
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    int64_t size = -1;
    if (SeekFile(f.get(), 0, SEEK_END)) size = TellFile(f.get());
    if (size < 0 || !SeekFile(f.get(), 0, SEEK_SET)) return kOpenFailed;
    FileSource source(f.get(), static_cast<uint64_t>(size));
    int rc = Reader(*this, source, withSamples).Run();
    if (rc == kOk) path.swap(newPath);
    return rc;
}

int CNorvaneFile4::LoadFromFile(const std::wstring& filePath) {
    return Load(filePath, true);
}

int CNorvaneFile4::LoadPassport(const std::wstring& filePath) {
    return Load(filePath, false);
}

int CNorvaneFile4::LoadFromMemory(const void* data, size_t size, bool withSamples) {
    MemorySource source(data, size);
    return Reader(*this, source, withSamples).Run();
}

int CNorvaneFile4::SaveToFile(const std::wstring& filePath) {
    FilePtr f(OpenFile(filePath, true));
    if (!f) return kOpenFailed;
    {
        std::vector<std::unique_lock<std::mutex>> locks;
        uint64_t xmlOffset = kHeaderSize;
        for (FileChannel& channel : channels) {
            locks.emplace_back(channel.signalLock);
            xmlOffset += kBlockHeaderSize + 4 * uint64_t{channel.samples.size()};
        }
        unsigned char header[kHeaderSize] = {'S', 'T', 'G', version};
        PutLE64(header + 8, xmlOffset);
        if (std::fwrite(header, 1, sizeof header, f.get()) != sizeof header) return kHeaderFailed;
        for (FileChannel& channel : channels) {
            unsigned char block[kBlockHeaderSize] = {static_cast<unsigned char>(channel.number & 0xFF)};
            PutReal(block + 8, channel.signal1);
            PutReal(block + 16, channel.signal2);
            PutLE64(block + 24, static_cast<uint32_t>(channel.samples.size()));
            if (std::fwrite(block, 1, sizeof block, f.get()) != sizeof block) return kBlockFailed;
            const size_t n = channel.samples.size();
            if (n && std::fwrite(channel.samples.data(), 4, n, f.get()) != n) return kSamplesFailed;
        }
    }

    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute(L"version").set_value(L"1.0");
    declaration.append_attribute(L"encoding").set_value(L"utf-8");
    pugi::xml_node root = AppendVersioned(document, L"root");
    pugi::xml_node passportNode = AppendVersioned(root, L"passport");
    VisitMembers(passport, XmlMemberWriter{passportNode});
    for (const ColumnInfo& column : passport.columns)
        VisitMembers(column, XmlMemberWriter{passportNode.append_child(L"column")});
    pugi::xml_node channelsNode = AppendVersioned(root, L"channels");
    for (const FileChannel& channel : channels) {
        pugi::xml_node channelNode = channelsNode.append_child(L"channel");
        XmlMemberWriter{channelNode}(L"number", channel.number);
        pugi::xml_node table = channelNode.append_child(L"table");
        for (const PeakItem& item : channel.peaks) VisitMembers(item, XmlMemberWriter{table.append_child(L"item")});
    }
    path = filePath;
    FileWriter writer(f.get());
    document.save(writer, L"\t", pugi::format_default, pugi::encoding_utf8);
    bool failed = std::ferror(f.get()) != 0 || std::fflush(f.get()) != 0;
    if (std::fclose(f.release()) != 0) failed = true;
    return failed ? kXmlFailed : kOk;
}
