#include "tools/host-sim/window_probe.h"

#include <commctrl.h>
#include <objidl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
using std::max;
using std::min;
#include <gdiplus.h>

#include "tools/host-sim/host_window.h"
#include "tools/host-sim/sim_text.h"
#include "win/window_messages.h"

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::string RectJson(const RECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
}

// Rectangle of a window in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int ColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring SafeName(std::wstring name) {
    for (wchar_t& c : name)
        if (wcschr(L"\\/:*?\"<>|\t\r\n", c)) c = L'_';
    return name.empty() ? L"window" : name;
}

std::string ListViewTsv(HWND list) {
    int columns = ColumnCount(list);
    std::string out;
    for (int c = 0; c < columns; ++c) {
        wchar_t buffer[512] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = buffer;
        column.cchTextMax = 512;
        SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
        out += (c ? "\t" : "") + Utf8FromWideSim(buffer);
    }
    out += "\n";
    int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) out += (c ? "\t" : "") + Utf8FromWideSim(CellText(list, r, c));
        out += "\n";
    }
    return out;
}

bool SaveBitmapPng(HBITMAP bitmap, const std::wstring& file) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    bool saved = false;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        UINT count = 0, size = 0;
        Gdiplus::GetImageEncodersSize(&count, &size);
        std::vector<BYTE> buffer(size);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        if (size && Gdiplus::GetImageEncoders(count, size, encoders) == Gdiplus::Ok) {
            for (UINT i = 0; i < count; ++i) {
                if (std::wstring(encoders[i].MimeType) != L"image/png") continue;
                Gdiplus::Bitmap* image = Gdiplus::Bitmap::FromHBITMAP(bitmap, nullptr);
                saved = image && image->Save(file.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
                delete image;
                break;
            }
        }
        Gdiplus::GdiplusShutdown(token);
    }
    return saved;
}

}  // namespace

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::string Json(const std::wstring& text) { return JsonWide(text.c_str()); }

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> result;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) result.push_back(child);
    return result;
}

// A page of the main window, found by its caption.
HWND PageOf(HWND main, const std::wstring& caption) {
    if (!main) return nullptr;
    for (HWND window : Descendants(main))
        if (ClassOf(window) == L"#32770" && TextOf(window) == caption) return window;
    return nullptr;
}

HWND GraphPageWindow(HWND main) { return PageOf(main, L"\u0413\u0440\u0430\u0444\u0438\u043a"); }

LRESULT AskWindow(HWND window, const wchar_t* message) {
    return window ? SendMessageW(window, RegisterWindowMessageW(message), 0, 0) : -1;
}

int CountWindows() {
    int count = 0;
    for (HWND window : ThreadWindows()) count += 1 + static_cast<int>(Descendants(window).size());
    return count;
}

// The process's private bytes: PrivateUsage of its memory counters. A system
// that answers only the basic counters (wine 8 leaves PrivateUsage out and says
// so in cb) gives PagefileUsage instead, which is the same commit charge on
// Windows and the process's anonymous memory under wine. -1 when unknown.
long long PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters))
        return -1;
    if (counters.cb >= sizeof counters && counters.PrivateUsage) return static_cast<long long>(counters.PrivateUsage);
    return static_cast<long long>(counters.PagefileUsage);
}

std::string StateJson(HWND main) {
    if (!main) return "{\"host\":\"state\",\"window\":null}";
    RECT frame;
    GetWindowRect(main, &frame);
    std::string json = "{\"host\":\"state\",\"caption\":" + Json(TextOf(main)) +
                       ",\"visible\":" + (IsWindowVisible(main) ? "true" : "false") +
                       ",\"style\":" + std::to_string(static_cast<uint32_t>(GetWindowLongW(main, GWL_STYLE))) +
                       ",\"exStyle\":" + std::to_string(static_cast<uint32_t>(GetWindowLongW(main, GWL_EXSTYLE))) +
                       ",\"size\":[" + std::to_string(frame.right - frame.left) + "," +
                       std::to_string(frame.bottom - frame.top) + "],\"tabs\":[";
    bool firstStrip = true;
    for (HWND strip : Children(main)) {
        if (ClassOf(strip) != L"SysTabControl32") continue;
        RECT client;
        GetClientRect(strip, &client);
        json += std::string(firstStrip ? "" : ",") + "{\"id\":" + std::to_string(GetDlgCtrlID(strip)) +
                ",\"rect\":" + RectJson(RectInParent(strip)) + ",\"client\":" + RectJson(client) +
                ",\"selected\":" + std::to_string(SendMessageW(strip, TCM_GETCURSEL, 0, 0)) + ",\"captions\":[";
        firstStrip = false;
        int count = static_cast<int>(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t buffer[256] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = buffer;
            item.cchTextMax = 256;
            SendMessageW(strip, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            json += std::string(i ? "," : "") + Json(buffer);
        }
        json += "],\"pages\":[";
        bool firstPage = true;
        for (HWND page : Children(strip)) {
            if (ClassOf(page) != L"#32770") continue;
            json += std::string(firstPage ? "" : ",") + "{\"text\":" + Json(TextOf(page)) +
                    ",\"visible\":" + (IsWindowVisible(page) ? "true" : "false") +
                    ",\"rect\":" + RectJson(RectInParent(page)) + "}";
            firstPage = false;
        }
        json += "]}";
    }
    json += "],\"buttons\":[";
    bool firstButton = true;
    for (HWND child : Children(main)) {
        if (ClassOf(child) != L"Button") continue;
        json += std::string(firstButton ? "" : ",") + "{\"id\":" + std::to_string(GetDlgCtrlID(child)) +
                ",\"text\":" + Json(TextOf(child)) + ",\"enabled\":" + (IsWindowEnabled(child) ? "true" : "false") +
                ",\"rect\":" + RectJson(RectInParent(child)) + "}";
        firstButton = false;
    }
    LRESULT recalculations = SendMessageW(main, RegisterWindowMessageW(kRecalculationsMessage), 0, 0);
    return json + "],\"recalculations\":" + std::to_string(recalculations) + "}";
}

std::wstring CellText(HWND list, int item, int column) {
    std::vector<wchar_t> buffer(1024);
    LVITEMW text{};
    text.iSubItem = column;
    text.pszText = buffer.data();
    text.cchTextMax = static_cast<int>(buffer.size());
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text));
    return buffer.data();
}

std::string ListRowsJson(HWND list) {
    int columns = ColumnCount(list);
    int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::string json = "[";
    for (int r = 0; r < rows; ++r) {
        json += r ? ",[" : "[";
        for (int c = 0; c < columns; ++c) json += (c ? "," : "") + Json(CellText(list, r, c));
        json += "]";
    }
    return json + "]";
}

std::string WidthsJson(HWND list) {
    std::string json = "[";
    int columns = ColumnCount(list);
    for (int c = 0; c < columns; ++c)
        json += (c ? "," : "") + std::to_string(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
    return json + "]";
}

std::string DialogJson(HWND dialog) {
    std::string json = "{\"host\":\"modal\",\"caption\":" + Json(TextOf(dialog)) + ",\"controls\":[";
    bool first = true;
    for (HWND child : Descendants(dialog)) {
        std::wstring type = ClassOf(child);
        json += std::string(first ? "" : ",") + "{\"id\":" + std::to_string(GetDlgCtrlID(child)) +
                ",\"class\":" + Json(type) + ",\"text\":" + Json(TextOf(child)) +
                ",\"enabled\":" + (IsWindowEnabled(child) ? "true" : "false");
        if (type == L"Button") {
            LRESULT check = SendMessageW(child, BM_GETCHECK, 0, 0);
            json += ",\"checked\":" + std::to_string(check);
        }
        if (type == L"SysListView32") json += ",\"rows\":" + ListRowsJson(child);
        json += "}";
        first = false;
    }
    return json + "]}";
}

std::string ControlJson(HWND control) {
    std::string json = "{\"host\":\"text\",\"id\":" + std::to_string(GetDlgCtrlID(control)) +
                       ",\"text\":" + Json(TextOf(control));
    if (ClassOf(control) == L"Button")
        json += ",\"checked\":" + std::to_string(SendMessageW(control, BM_GETCHECK, 0, 0));
    return json + "}";
}

int DumpLists(const std::wstring& folder, HWND host, HWND main) {
    CreateDirectoryW(folder.c_str(), nullptr);
    int written = 0;
    for (HWND top : ThreadWindows()) {
        if (top == host) continue;
        for (HWND list : Descendants(top)) {
            if (ClassOf(list) != L"SysListView32") continue;
            HWND page = GetParent(list);
            while (page && ClassOf(page) != L"#32770") page = GetParent(page);
            std::wstring name = page == main || !page ? L"main" : SafeName(TextOf(page));
            std::wstring file = folder + L"\\" + name + L"-" + std::to_wstring(GetDlgCtrlID(list)) + L".tsv";
            if (WriteWholeFile(file, ListViewTsv(list))) ++written;
        }
    }
    return written;
}

namespace {

// The text on the opened clipboard, bounded by its memory block; false without one.
bool ClipboardText(std::wstring& text) {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!chars) return false;
    const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    text.assign(chars, std::find(chars, chars + capacity, L'\0'));
    GlobalUnlock(data);
    return true;
}

// Pixels of a 24-bit uncompressed picture that are not white; -1 for another
// kind or one whose rows do not fit in its bytes.
long long InkedPixels(const BITMAPINFOHEADER& header, size_t bytes) {
    if (header.biBitCount != 24 || header.biCompression != BI_RGB || header.biWidth <= 0) return -1;
    const size_t width = static_cast<size_t>(header.biWidth), height = static_cast<size_t>(std::abs(header.biHeight));
    const size_t stride = (width * 3 + 3) / 4 * 4;
    if (header.biSize + stride * height > bytes) return -1;
    const auto* pixels = reinterpret_cast<const uint8_t*>(&header) + header.biSize;
    long long inked = 0;
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 0; x < width; ++x) {
            const uint8_t* p = pixels + y * stride + 3 * x;
            if (p[0] != 0xFF || p[1] != 0xFF || p[2] != 0xFF) ++inked;
        }
    return inked;
}

// The picture's record, and the picture written as a bitmap file (a file header before the packed picture).
std::string DibJson(const std::wstring& file) {
    HANDLE data = GetClipboardData(CF_DIB);
    const auto* header = data ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(data)) : nullptr;
    if (!header) return "\"dib\":false";
    const size_t bytes = GlobalSize(data);
    std::string json = "\"dib\":true,\"dibBytes\":" + std::to_string(bytes);
    if (bytes >= sizeof *header) {
        json += ",\"dibWidth\":" + std::to_string(header->biWidth) + ",\"dibHeight\":" +
                std::to_string(header->biHeight) + ",\"dibBits\":" + std::to_string(header->biBitCount) +
                ",\"dibInked\":" + std::to_string(InkedPixels(*header, bytes));
        BITMAPFILEHEADER head{};
        head.bfType = 0x4D42;  // "BM"
        head.bfSize = static_cast<DWORD>(sizeof head + bytes);
        head.bfOffBits = static_cast<DWORD>(sizeof head + header->biSize);
        std::string picture(reinterpret_cast<const char*>(&head), sizeof head);
        picture.append(reinterpret_cast<const char*>(header), bytes);
        WriteWholeFile(file + L".bmp", picture);
    }
    GlobalUnlock(data);
    return json;
}

}  // namespace

std::string ClipboardJson(const std::wstring& file) {
    if (!OpenClipboard(nullptr)) return "{\"host\":\"clipboard\",\"opened\":false}";
    std::wstring text;
    const bool hasText = ClipboardText(text);
    std::string json = "{\"host\":\"clipboard\",\"opened\":true,\"text\":" + std::string(hasText ? "true" : "false") +
                       ",\"chars\":" + std::to_string(text.size()) + "," + DibJson(file);
    CloseClipboard();
    const bool saved = hasText && WriteWholeFile(file, Utf8FromWideSim(text));
    return json + ",\"saved\":" + (saved ? "true" : "false") + "}";
}

bool SavePng(HWND window, const std::wstring& file) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 10; ++i) {
        PumpPending();
        Sleep(30);
    }
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    bool saved = SaveBitmapPng(bitmap, file);
    DeleteObject(bitmap);
    return saved;
}

// The report picture as the report makes it: a 1000 x 1000, 32-bit bitmap
// with its own device context, white at first, drawn by the graph page.
std::string ReportGraph(HWND graph, const std::wstring& file) {
    const int size = 1000;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto* pixels = static_cast<uint32_t*>(bits);
    std::fill(pixels, pixels + size * size, 0x00FFFFFFu);
    LRESULT result = SendMessageW(graph, RegisterWindowMessageW(kReportGraphMessage), reinterpret_cast<WPARAM>(dc), 0);
    GdiFlush();
    long inked = 0;
    for (int i = 0; i < size * size; ++i)
        if ((pixels[i] & 0x00FFFFFFu) != 0x00FFFFFFu) ++inked;
    SelectObject(dc, old);
    DeleteDC(dc);
    bool saved = !file.empty() && SaveBitmapPng(bitmap, file);
    DeleteObject(bitmap);
    return "{\"host\":\"reportgraph\",\"result\":" + std::to_string(result) + ",\"inked\":" +
           std::to_string(inked) + ",\"saved\":" + (saved ? "true" : "false") + "}";
}

std::string ComboJson(HWND combo) {
    std::string json = "{\"host\":\"combo\",\"id\":" + std::to_string(GetDlgCtrlID(combo)) +
                       ",\"selected\":" + std::to_string(SendMessageW(combo, CB_GETCURSEL, 0, 0)) + ",\"items\":[";
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
        LRESULT data = SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        json += std::string(i ? "," : "") + "{\"text\":" + Json(text) + ",\"data\":" +
                std::to_string(static_cast<long long>(data)) + "}";
    }
    return json + "]}";
}
