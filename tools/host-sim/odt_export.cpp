#include "tools/host-sim/odt_export.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "tools/host-sim/odt_fill.h"
#include "tools/host-sim/odt_package.h"
#include "tools/host-sim/sim_text.h"

namespace {

constexpr const char kTextMediaType[] = "application/vnd.oasis.opendocument.text";

struct ExportSetup {
    std::wstring templatesDir, reportDir, tempDir;
    bool test = false;
    bool forced = false;   // --export-result N: the service answers N without exporting
    int32_t forcedResult = 0;
    std::wstring testDocument, testTemplate, testOutput;
};
ExportSetup g_setup;

std::wstring ExeDir() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n < MAX_PATH ? n : 0);
    size_t slash = p.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash);
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAbsolute(const std::wstring& p) { return (p.size() >= 2 && p[1] == L':') || (!p.empty() && IsSeparator(p[0])); }

std::wstring Join(const std::wstring& dir, const std::wstring& name) {
    if (dir.empty()) return name;
    return IsSeparator(dir.back()) ? dir + name : dir + L"\\" + name;
}

std::wstring ParentOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsFile(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates the folder with every missing parent.
bool MakeFolders(std::wstring dir) {
    while (!dir.empty() && IsSeparator(dir.back())) dir.pop_back();
    if (dir.empty() || (dir.size() == 2 && dir[1] == L':') || IsFolder(dir)) return true;
    std::wstring parent = ParentOf(dir);
    if (!parent.empty() && !MakeFolders(parent)) return false;
    return CreateDirectoryW(dir.c_str(), nullptr) || (GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(dir));
}

// A new report file name in the folder; empty when every candidate is taken.
std::wstring NewReportFile(const std::wstring& dir) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t stem[64];
    std::swprintf(stem, 64, L"Отчет %04u-%02u-%02u %02u-%02u-%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    for (int n = 1; n < 100; ++n) {
        std::wstring name = stem;
        if (n > 1) name += L" (" + std::to_wstring(n) + L")";
        std::wstring path = Join(dir, name + L".odt");
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND)
            return path;
    }
    return std::wstring();
}

// The temporary file of one export, removed unless it became the report.
struct TempFile {
    std::wstring path;
    bool moved = false;
    ~TempFile() {
        if (!path.empty() && !moved) DeleteFileW(path.c_str());
    }
};

bool LoadXml(const PackageEntry& entry, pugi::xml_document& document) {
    // Blanks between inline elements of a paragraph are text: keep them.
    return document.load_buffer(entry.data.data(), entry.data.size(),
                                pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration,
                                pugi::encoding_utf8);
}

std::string SaveXml(const pugi::xml_document& document) {
    struct Writer : pugi::xml_writer {
        std::string text;
        void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    } writer;
    document.save(writer, L"", pugi::format_raw, pugi::encoding_utf8);
    return writer.text;
}

bool HasLocalName(pugi::xml_node node, const wchar_t* prefix, const wchar_t* local) {
    return node && (std::wstring(prefix) + local) == node.name();
}

// Recognises a picture by its first bytes; PNG also gives its size.
const char* PictureMediaType(const std::string& bytes, unsigned& width, unsigned& height) {
    width = height = 0;
    auto byteAt = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
    if (bytes.size() >= 24 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n", 8) == 0 && bytes.compare(12, 4, "IHDR") == 0) {
        width = byteAt(16) << 24 | byteAt(17) << 16 | byteAt(18) << 8 | byteAt(19);
        height = byteAt(20) << 24 | byteAt(21) << 16 | byteAt(22) << 8 | byteAt(23);
        return "image/png";
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xFF\xD8\xFF", 3) == 0) return "image/jpeg";
    return nullptr;
}

// The pictures of one export: each file is placed once, under a name of its own.
class PicturePlacer {
public:
    PicturePlacer(std::vector<PackageEntry>& entries, pugi::xml_node manifest, std::wstring manifestPrefix)
        : entries_(entries), manifest_(manifest), prefix_(std::move(manifestPrefix)) {}

    bool Place(const std::wstring& file, EmbeddedPicture& picture) {
        auto known = placed_.find(file);
        if (known != placed_.end()) {
            picture = known->second;
            return true;
        }
        std::string bytes;
        if (file.empty() || !ReadWholeFile(file, bytes)) return false;
        const char* mediaType = PictureMediaType(bytes, picture.width, picture.height);
        if (!mediaType) return false;
        std::string path = FreeName(file);
        pugi::xml_node entry = manifest_.append_child((prefix_ + L"file-entry").c_str());
        entry.append_attribute((prefix_ + L"full-path").c_str()).set_value(WideFromUtf8Sim(path).c_str());
        entry.append_attribute((prefix_ + L"media-type").c_str()).set_value(WideFromUtf8Sim(mediaType).c_str());
        entries_.push_back({path, std::move(bytes)});
        picture.packagePath = WideFromUtf8Sim(path);
        placed_[file] = picture;
        return true;
    }

private:
    // "Pictures/" and the file's own name, reduced to safe characters, made unique.
    std::string FreeName(const std::wstring& file) {
        std::wstring base = file.substr(file.find_last_of(L"\\/") + 1);
        std::string safe;
        for (wchar_t c : base) {
            bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                         c == L'.' || c == L'-' || c == L'_';
            safe += plain ? static_cast<char>(c) : '_';
        }
        if (safe.empty() || safe[0] == '.') safe = "picture" + safe;
        size_t dot = safe.rfind('.');
        std::string stem = dot == std::string::npos ? safe : safe.substr(0, dot);
        std::string ext = dot == std::string::npos ? std::string() : safe.substr(dot);
        std::string name = "Pictures/" + safe;
        for (int n = 2; FindEntry(entries_, name); ++n) name = "Pictures/" + stem + "-" + std::to_string(n) + ext;
        return name;
    }

    std::vector<PackageEntry>& entries_;
    pugi::xml_node manifest_;
    std::wstring prefix_;
    std::map<std::wstring, EmbeddedPicture> placed_;
};

// The package's media type is that of a text document, whatever the template's was.
void MarkAsTextDocument(std::vector<PackageEntry>& entries, pugi::xml_node manifest, const std::wstring& prefix) {
    PackageEntry* mimetype = FindEntry(entries, "mimetype");
    if (mimetype)
        mimetype->data = kTextMediaType;
    else
        entries.insert(entries.begin(), {"mimetype", kTextMediaType});
    for (pugi::xml_node entry : manifest.children((prefix + L"file-entry").c_str()))
        if (std::wcscmp(entry.attribute((prefix + L"full-path").c_str()).value(), L"/") == 0)
            entry.attribute((prefix + L"media-type").c_str()).set_value(WideFromUtf8Sim(kTextMediaType).c_str());
}

std::string JsonOrNull(const std::wstring& text, bool present) { return present ? JsonWide(text.c_str()) : "null"; }

}  // namespace

int32_t ExportReport(const pugi::xml_node* root, const std::wstring& templateFile, const std::wstring& tempDir,
                     const std::wstring& reportDir, const std::wstring& reportFile, std::wstring& written) {
    written.clear();
    if (templateFile.empty() || !IsFile(templateFile)) return kReportTemplateMissing;

    std::wstring tempFolder = tempDir;
    if (tempFolder.empty()) {
        wchar_t buffer[MAX_PATH + 1];
        DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
        if (n == 0 || n > MAX_PATH) return kReportTempFileFailed;
        tempFolder = buffer;
    }
    wchar_t tempName[MAX_PATH];
    if (!GetTempFileNameW(tempFolder.c_str(), L"odt", 0, tempName)) return kReportTempFileFailed;
    TempFile temp{tempName};

    std::vector<PackageEntry> entries;
    if (!ReadPackage(templateFile, entries)) return kReportTemplateNotZip;
    PackageEntry* content = FindEntry(entries, "content.xml");
    PackageEntry* manifestEntry = FindEntry(entries, "META-INF/manifest.xml");
    pugi::xml_document contentDoc, manifestDoc;
    if (!content || !manifestEntry || !LoadXml(*content, contentDoc) || !LoadXml(*manifestEntry, manifestDoc))
        return kReportTemplateInvalid;
    pugi::xml_node manifest = manifestDoc.document_element();
    const std::wstring manifestPrefix = NamespacePrefix(manifest, OdfNamespace::kManifest, L"manifest");
    const std::wstring officePrefix =
        NamespacePrefix(contentDoc.document_element(), L"urn:oasis:names:tc:opendocument:xmlns:office:1.0", L"office");
    if (!HasLocalName(manifest, manifestPrefix.c_str(), L"manifest") ||
        !HasLocalName(contentDoc.document_element(), officePrefix.c_str(), L"document-content"))
        return kReportTemplateInvalid;

    ReportData report;
    if (!root || !ReadReportData(*root, report))
        return kReportDataInvalid;
    std::vector<PackageEntry> pictures;
    PicturePlacer placer(pictures, manifest, manifestPrefix);
    if (!FillContent(contentDoc, report,
                     [&](const std::wstring& file, EmbeddedPicture& picture) { return placer.Place(file, picture); }))
        return kReportDataInvalid;
    // The pointers into entries stay valid: nothing was added to it yet.
    content->data = SaveXml(contentDoc);
    for (PackageEntry& picture : pictures) entries.push_back(std::move(picture));
    MarkAsTextDocument(entries, manifest, manifestPrefix);
    FindEntry(entries, "META-INF/manifest.xml")->data = SaveXml(manifestDoc);
    if (!WritePackage(temp.path, entries)) return kReportTempWriteFailed;

    std::wstring target = reportFile;
    if (target.empty()) {
        if (!MakeFolders(reportDir)) return kReportFolderFailed;
        target = NewReportFile(reportDir);
        if (target.empty()) return kReportNoFreeName;
    } else if (!MakeFolders(ParentOf(target))) {
        return kReportFolderFailed;
    }
    if (!MoveFileExW(temp.path.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return kReportMoveFailed;
    temp.moved = true;
    written = target;
    return kReportExported;
}

int TakeExportOption(int argc, wchar_t** argv, int& i, std::string& error) {
    std::wstring a = argv[i];
    std::vector<std::wstring*> targets;
    if (a == L"--templates") targets = {&g_setup.templatesDir};
    else if (a == L"--report-out") targets = {&g_setup.reportDir};
    else if (a == L"--temp") targets = {&g_setup.tempDir};
    else if (a == L"--export-test") targets = {&g_setup.testDocument, &g_setup.testTemplate, &g_setup.testOutput};
    else if (a == L"--export-result") {
        if (i + 1 >= argc) {
            error = "missing value after --export-result";
            return -1;
        }
        g_setup.forced = true;
        g_setup.forcedResult = static_cast<int32_t>(wcstol(argv[++i], nullptr, 10));
        return 1;
    } else return 0;
    if (i + static_cast<int>(targets.size()) >= argc) {
        error = "missing value after " + Utf8FromWideSim(a);
        return -1;
    }
    for (std::wstring* target : targets) *target = argv[++i];
    if (a == L"--export-test") g_setup.test = true;
    return 1;
}

intptr_t ExportToOdtService(intptr_t argument1, intptr_t argument2) {
    auto* root = reinterpret_cast<const pugi::xml_node*>(argument1);
    const wchar_t* templateText = reinterpret_cast<const wchar_t*>(argument2);
    std::wstring templatePath = templateText ? templateText : L"";
    std::wstring templateFile;
    if (!templatePath.empty())
        templateFile = IsAbsolute(templatePath)
                           ? templatePath
                           : Join(g_setup.templatesDir.empty() ? ExeDir() : g_setup.templatesDir, templatePath);
    std::wstring reportDir = g_setup.reportDir.empty() ? Join(ExeDir(), L"Reports") : g_setup.reportDir;
    std::wstring written;
    int32_t result = kReportUnexpected;
    try {
        if (g_setup.forced)
            result = g_setup.forcedResult;
        else
            result = ExportReport(root, templateFile, g_setup.tempDir, reportDir,
                                  g_setup.test ? g_setup.testOutput : L"", written);
    } catch (...) {  // out of memory inside the XML or ZIP work: the service fails, the host lives on
        result = kReportUnexpected;
    }
    WriteOut("{\"call\":\"CallService\",\"name\":\"Export/ExportToOdt\",\"template\":" + JsonWide(templateText) +
             ",\"templateFile\":" + JsonOrNull(templateFile, !templateFile.empty()) +
             ",\"result\":" + std::to_string(result) + ",\"report\":" + JsonOrNull(written, result >= 0) + "}\n");
    return result;
}

bool ExportTestRequested() { return g_setup.test; }

int RunExportTest() {
    std::string bytes;
    if (!ReadWholeFile(g_setup.testDocument, bytes)) {
        WriteErr("host-sim: cannot read " + Utf8FromWideSim(g_setup.testDocument) + "\n");
        return 2;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    // A document that does not parse is handed over as no element at all.
    pugi::xml_document document;
    std::wstring text = WideFromUtf8Sim(bytes);
    pugi::xml_node root = document.load_string(text.c_str()) ? document.child(L"root") : pugi::xml_node();
    intptr_t result = ExportToOdtService(root ? reinterpret_cast<intptr_t>(&root) : 0,
                                         reinterpret_cast<intptr_t>(g_setup.testTemplate.c_str()));
    return result >= 0 ? 0 : 1;
}
