// The window layer: dialogs made from resource templates (modeless pages and
// windows, modal dialogs) and subclassed controls, with every message routed
// to virtual handlers. How a message gets to a handler is told in dialog.cpp.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>
#include <vector>

#include "base/layout.h"

// Common operations on any window handle.
class Window {
public:
    HWND Handle() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr && IsWindow(hwnd_); }

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text) const { SetDlgItemTextW(hwnd_, id, text.c_str()); }
    bool Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) const { CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED); }
    void SetCaption(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }
    // Large and small window icon.
    void SetIcons(HICON large, HICON small) const;

    static std::wstring TextOf(HWND window);

protected:
    HWND hwnd_ = nullptr;
};

// A dialog from a template. A page or modeless window is made with Create, a
// modal dialog runs in RunModal. Derived classes override the handlers.
class Dialog : public Window {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    bool Create(HWND parent);
    INT_PTR RunModal(HWND owner);
    // Modal: ends the loop with the result. Modeless: only hides the window.
    void End(INT_PTR result);
    bool IsModal() const { return modal_; }

protected:
    // The handlers. Each returns whether it dealt with the message; the
    // dialog manager's default handling runs otherwise.
    virtual bool OnInitDialog() { return true; }  // true: give the focus to the first control
    virtual void OnCommand(int id, int code);      // default: OK and Cancel buttons end the dialog
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    virtual bool OnNotify(NMHDR& header, LRESULT& result);
    virtual void OnSize(int width, int height);
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called once the window is gone; a heap object may delete itself here.
    virtual void PostNcDestroy() {}

    // Dynamic layout: the control follows size changes of the dialog by the
    // rule's percentages, from its place in the template.
    void SetLayout(int id, Layout::Rule rule);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ApplyLayout(int width, int height);

    struct Placement {
        HWND control;
        Layout::Rect original;
        Layout::Rule rule;
    };
    int templateId_;
    bool modal_ = false;
    SIZE initialClient_{};
    std::vector<Placement> layout_;
};

// A control whose messages this layer sees first (through subclassing): its
// own messages, and the notifications it sends to its dialog, which the
// dialog reflects back to it before handling them itself.
class Control : public Window {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    bool Attach(HWND window);
    void Detach();
    // The control object attached to a window, if any.
    static Control* FromHandle(HWND window);

protected:
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual bool OnReflectedNotify(NMHDR& header, LRESULT& result);
    // Called when the window is gone (after Detach); a heap object may delete itself.
    virtual void OnFinalMessage() {}
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    friend class Dialog;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
};

// The text of a failure box: what was being done (`where`) and what went wrong
// (`error`, null for a failure that is no std::exception). The plug-in's top
// installs it; until then a box says only that the operation failed.
using FailureTextFormatter = std::wstring (*)(const char* where, const std::exception* error);
void SetFailureTextFormatter(FailureTextFormatter formatter);

// Shows what went wrong in a message box over the window (or the active one).
// Throws nothing: without memory for the text, a fixed text is shown.
void ShowFailureBox(HWND owner, const char* where, const std::exception* error) noexcept;
// The same for a failure caught earlier (none: nothing is shown).
void ShowStoredFailureBox(HWND owner, const char* where, const std::exception_ptr& failure) noexcept;
