// The clipboard: a table's text and a picture put on it in one go, and a
// drawing made into a packed picture for it. Every failure is an outcome, never
// a crash or a leak: memory the system did not take is freed here.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class ClipboardOutcome {
    kDone,
    kBusy,      // another program holds the clipboard open
    kNoMemory,  // no memory for the data, or the system did not take it
};

// Empties the clipboard and puts the text on it as CF_UNICODETEXT and, when
// `picture` (a packed bitmap, plot/packed_dib.h) is not empty, the picture as
// CF_DIB, with `owner` as the clipboard's owner. A clipboard held by another
// program is tried again a few times within a tenth of a second before it
// counts as busy.
ClipboardOutcome PutOnClipboard(HWND owner, const std::wstring& text, const std::vector<uint8_t>& picture);

// The packed picture of what `draw` draws into a white width × height bitmap
// (a memory device context over it); empty when the system refuses the bitmap
// or a side is outside what a packed picture may have.
std::vector<uint8_t> DrawnPicture(int width, int height, const std::function<void(HDC)>& draw);
