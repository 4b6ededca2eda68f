#include "report/report_picture_win.h"

#include <windows.h>

#include <shlwapi.h>

#include <gdiplus.h>

#include <vector>

#include "plot/gdi_objects_win.h"
#include "plot/gdi_surface_win.h"

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

// GDI+ started for as long as this lives.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    ~GdiplusSession() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    explicit operator bool() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};
}  // namespace

// Made in this order and undone in the reverse one: the surface lets go of
// the context, the bitmap is deselected, the context and the bitmap are
// deleted, GDI+ is shut down.
struct GdiReportPictures::Image {
    GdiplusSession gdiplus;
    DibSection bitmap;
    MemoryDc dc;
    SelectedObject selection;
    std::unique_ptr<GdiSurface> surface;
};

GdiReportPictures::GdiReportPictures() = default;

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

DrawSurface* GdiReportPictures::BeginImage() {
    EndImage();
    image_ = std::make_unique<Image>();
    Image& image = *image_;
    if (!image.gdiplus) return nullptr;
    image.bitmap = DibSection(kSize, kSize);
    if (!image.bitmap) return nullptr;
    image.dc = MemoryDc(nullptr);
    if (!image.dc) return nullptr;
    const HDC dc = image.dc.get();
    image.selection = SelectedObject(dc, image.bitmap.get());
    // A white sheet: the graph draws its lines and texts on a transparent background.
    RECT all{0, 0, kSize, kSize};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    // The picture is drawn in the anisotropic mapping mode (its extents left
    // at one to one) with a transparent background.
    SetMapMode(dc, MM_ANISOTROPIC);
    SetBkMode(dc, TRANSPARENT);
    image.surface = std::make_unique<GdiSurface>(dc);
    return image.surface.get();
}

std::wstring GdiReportPictures::SaveImage(const std::wstring& directory, const wchar_t* fileName) {
    if (!image_ || !image_->surface || !image_->bitmap.bits()) return {};
    GdiFlush();
    wchar_t path[kPathCapacity];
    if (!PathCombineW(path, directory.c_str(), fileName)) return {};
    CLSID png;
    if (!PngEncoder(png)) return {};
    // The pixels as they are, without the alpha GDI leaves at 0.
    Gdiplus::Bitmap picture(kSize, kSize, kSize * 4, PixelFormat32bppRGB, static_cast<BYTE*>(image_->bitmap.bits()));
    if (picture.GetLastStatus() != Gdiplus::Ok) return {};
    if (picture.Save(path, &png, nullptr) != Gdiplus::Ok) return {};
    return path;
}

void GdiReportPictures::EndImage() { image_.reset(); }
