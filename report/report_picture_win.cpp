#include "report/report_picture_win.h"

#include <shlwapi.h>

#include <gdiplus.h>

#include <vector>

namespace {
constexpr DWORD kPathCapacity = MAX_PATH;  // 260 characters

bool PngEncoder(CLSID& clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].MimeType && lstrcmpW(encoders[i].MimeType, L"image/png") == 0) {
            clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}
}  // namespace

GdiReportPictures::~GdiReportPictures() { EndImage(); }

std::wstring GdiReportPictures::MakeWorkingDirectory() {
    wchar_t temp[kPathCapacity];
    DWORD length = GetTempPathW(kPathCapacity, temp);
    if (length == 0 || length >= kPathCapacity) return {};
    wchar_t name[kPathCapacity];
    if (GetTempFileNameW(temp, L"tvk", 0, name) == 0) return {};
    std::wstring directory = name;
    directory += L".cat";
    if (directory.size() >= kPathCapacity) return {};
    if (CreateDirectoryW(directory.c_str(), nullptr) != 1) return {};
    return directory;
}

void* GdiReportPictures::BeginImage() {
    EndImage();
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr) != Gdiplus::Ok) {
        gdiplus_ = 0;
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_) return nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return nullptr;
    previous_ = SelectObject(dc_, bitmap_);
    // A white sheet: the graph draws its lines and texts on a transparent background.
    RECT all{0, 0, kSize, kSize};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return dc_;
}

std::wstring GdiReportPictures::SaveImage(const std::wstring& directory, const wchar_t* fileName) {
    if (!bitmap_ || !dc_ || !bits_) return {};
    GdiFlush();
    wchar_t path[kPathCapacity];
    if (!PathCombineW(path, directory.c_str(), fileName)) return {};
    CLSID png;
    if (!PngEncoder(png)) return {};
    // The pixels as they are, without the alpha GDI leaves at 0.
    Gdiplus::Bitmap image(kSize, kSize, kSize * 4, PixelFormat32bppRGB, static_cast<BYTE*>(bits_));
    if (image.GetLastStatus() != Gdiplus::Ok) return {};
    if (image.Save(path, &png, nullptr) != Gdiplus::Ok) return {};
    return path;
}

void GdiReportPictures::EndImage() {
    if (dc_) {
        if (previous_) SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    bits_ = nullptr;
    if (gdiplus_) Gdiplus::GdiplusShutdown(gdiplus_);
    gdiplus_ = 0;
}
