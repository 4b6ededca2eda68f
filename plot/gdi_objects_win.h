// Owners of the plain GDI objects a picture is made of: a 32-bit
// device-independent bitmap, a memory device context, and an object selected
// into a device context for a while. Each owns its handle alone (move-only)
// and gives it back to the system when it goes; a selection puts the object
// it replaced back first. Nothing here is counted (plot/gdi_surface_win.h
// counts what the drawing itself creates).
#pragma once

#include <windows.h>

#include <utility>

// A top-down, 32 bits per pixel device-independent bitmap whose pixels the
// process can read.
class DibSection {
public:
    DibSection() = default;
    // An empty DibSection when the system refuses the bitmap.
    DibSection(int width, int height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (!bitmap_) bits_ = nullptr;
    }
    ~DibSection() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    DibSection(DibSection&& other) noexcept
        : bitmap_(std::exchange(other.bitmap_, nullptr)), bits_(std::exchange(other.bits_, nullptr)) {}
    DibSection& operator=(DibSection&& other) noexcept {
        DibSection old(std::move(*this));
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        bits_ = std::exchange(other.bits_, nullptr);
        return *this;
    }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    explicit operator bool() const { return bitmap_ != nullptr; }
    HBITMAP get() const { return bitmap_; }
    void* bits() const { return bits_; }  // the first row's first pixel

private:
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
};

// A memory device context compatible with a device context (with the screen
// when none is given).
class MemoryDc {
public:
    MemoryDc() = default;
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(MemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    MemoryDc& operator=(MemoryDc&& other) noexcept {
        MemoryDc old(std::move(*this));
        dc_ = std::exchange(other.dc_, nullptr);
        return *this;
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    explicit operator bool() const { return dc_ != nullptr; }
    HDC get() const { return dc_; }

private:
    HDC dc_ = nullptr;
};

// An object selected into a device context until this goes, when the object
// it replaced is selected again. Declare it after the owners of both the
// device context and the object, so that it is undone before they are freed.
class SelectedObject {
public:
    SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {
        if (previous_ == nullptr || previous_ == HGDI_ERROR) {
            dc_ = nullptr;
            previous_ = nullptr;
        }
    }
    ~SelectedObject() {
        if (dc_) SelectObject(dc_, previous_);
    }
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
    SelectedObject& operator=(SelectedObject&& other) noexcept {
        SelectedObject old(std::move(*this));  // the selection held so far is undone
        dc_ = std::exchange(other.dc_, nullptr);
        previous_ = std::exchange(other.previous_, nullptr);
        return *this;
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};
