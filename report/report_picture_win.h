// The report's graph picture on Windows: a new working directory under the
// temporary folder, a 1000 x 1000 32-bit image with a memory device context
// that the graph is drawn on through a GDI drawing surface, saved as PNG
// through GDI+.
#pragma once

#include <memory>

#include "report/report_document.h"

class GdiReportPictures : public ReportPictureWorkshop {
public:
    GdiReportPictures();
    ~GdiReportPictures() override;
    GdiReportPictures(const GdiReportPictures&) = delete;
    GdiReportPictures& operator=(const GdiReportPictures&) = delete;

    // "tvk????.tmp.cat" beside the empty file that reserved its name; both stay.
    std::wstring MakeWorkingDirectory() override;
    DrawSurface* BeginImage() override;
    std::wstring SaveImage(const std::wstring& directory, const wchar_t* fileName) override;
    void EndImage() override;

    static constexpr int kSize = 1000;

private:
    struct Image;
    std::unique_ptr<Image> image_;
};
