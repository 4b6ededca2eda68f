#include "win/clipboard.h"

#include <cstring>

#include "plot/gdi_objects_win.h"
#include "plot/packed_dib.h"

namespace {

constexpr int kOpenAttempts = 5;
constexpr DWORD kRetryPauseMs = 20;

// Movable global memory holding the bytes, as the clipboard takes it; null without memory.
HGLOBAL GlobalCopy(const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(memory);
    return memory;
}

bool OpenWithRetries(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt) Sleep(kRetryPauseMs);
        if (OpenClipboard(owner)) return true;
    }
    return false;
}

// Hands the memory to the clipboard; frees it when the clipboard refuses it.
bool Give(UINT format, HGLOBAL memory) {
    if (SetClipboardData(format, memory)) return true;
    GlobalFree(memory);
    return false;
}

}  // namespace

ClipboardOutcome PutOnClipboard(HWND owner, const std::wstring& text, const std::vector<uint8_t>& picture) {
    HGLOBAL textMemory = GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    HGLOBAL pictureMemory = picture.empty() ? nullptr : GlobalCopy(picture.data(), picture.size());
    if (!textMemory || (!picture.empty() && !pictureMemory)) {
        if (textMemory) GlobalFree(textMemory);
        if (pictureMemory) GlobalFree(pictureMemory);
        return ClipboardOutcome::kNoMemory;
    }
    if (!OpenWithRetries(owner)) {
        GlobalFree(textMemory);
        if (pictureMemory) GlobalFree(pictureMemory);
        return ClipboardOutcome::kBusy;
    }
    EmptyClipboard();
    bool given = Give(CF_UNICODETEXT, textMemory);
    if (pictureMemory) given = Give(CF_DIB, pictureMemory) && given;
    CloseClipboard();
    return given ? ClipboardOutcome::kDone : ClipboardOutcome::kNoMemory;
}

std::vector<uint8_t> DrawnPicture(int width, int height, const std::function<void(HDC)>& draw) {
    if (width <= 0 || height <= 0 || width > PackedDib::kMaxSide || height > PackedDib::kMaxSide) return {};
    DibSection bitmap(width, height);
    MemoryDc dc(nullptr);
    if (!bitmap || !dc) return {};
    SelectedObject selection(dc.get(), bitmap.get());
    if (!selection) return {};
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw(dc.get());
    GdiFlush();
    const auto count = static_cast<size_t>(width) * static_cast<size_t>(height);
    return PackedDib::FromTopDownPixels(static_cast<const uint32_t*>(bitmap.bits()), count, width, height);
}
