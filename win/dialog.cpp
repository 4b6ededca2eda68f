// How a message reaches a handler
// --------------------------------
// 1. The host's message loop takes the message and hands it to Windows
//    (DispatchMessage / IsDialogMessage); a modal dialog runs its own loop.
// 2. Every dialog of the plug-in is created with Dialog::Procedure as its
//    dialog procedure and the Dialog object's address as the creation
//    parameter; on WM_INITDIALOG the address is stored in the window
//    (DWLP_USER), and from then on Procedure finds the object again.
// 3. Procedure calls Dispatch inside a try block: no C++ exception ever
//    leaves a window procedure. A failure shows a message box with what went
//    wrong and the dialog keeps working.
// 4. Dispatch turns the message into a virtual call: WM_INITDIALOG into
//    OnInitDialog, WM_COMMAND into OnCommand (and OnOK / OnCancel),
//    WM_NOTIFY into OnNotify, WM_SIZE into the dynamic layout and OnSize,
//    everything else into OnMessage. A page (DlgAssayList, CDlgOutTable...)
//    is a Dialog whose overrides are its handlers.
// 5. A notification from a control that has a Control object attached (the
//    grid) is first offered to that control (OnReflectedNotify): the control
//    reacts to its own clicks and drawing, and only what it leaves reaches
//    the page. The control's own messages come through Control::Procedure
//    (window subclassing), guarded the same way.
// A handler's result travels back through DWLP_MSGRESULT, as dialogs require.
#include "win/dialog.h"

#include <cstdio>
#include <exception>

#include "base/guard.h"
#include "win/module.h"

namespace {
constexpr UINT_PTR kSubclassId = 0x7E55;
const wchar_t kControlProperty[] = L"Tessaro.Control";

// "window message 0x0111": where a failure happened, in a buffer of the caller's.
struct MessageName {
    MessageName(const char* kind, UINT message) noexcept { std::snprintf(text, sizeof text, "%s 0x%04X", kind, message); }
    char text[48];
};

// What the failure box says when even its text cannot be made (no memory).
const wchar_t kFallbackFailureText[] = L"Операция не выполнена.\n\nНедостаточно памяти.";
}  // namespace

std::wstring Window::TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::wstring Window::ItemText(int id) const { return TextOf(Item(id)); }

void Window::SetIcons(HICON large, HICON small) const {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

namespace {
FailureTextFormatter g_failureText = nullptr;
}  // namespace

void SetFailureTextFormatter(FailureTextFormatter formatter) { g_failureText = formatter; }

void ShowFailureBox(HWND owner, const char* where, const std::exception* error) noexcept {
    HWND parent = owner ? owner : GetActiveWindow();
    try {
        std::wstring text = g_failureText ? g_failureText(where, error) : std::wstring(L"Операция не выполнена.");
        Module::ActivationScope scope;
        MessageBoxW(parent, text.c_str(), L"Tessaro", MB_OK | MB_ICONERROR);
        return;
    } catch (...) {
        // the text could not be made: the fixed one below needs no memory of ours
    }
    MessageBoxW(parent, kFallbackFailureText, L"Tessaro", MB_OK | MB_ICONERROR);
}

void ShowStoredFailureBox(HWND owner, const char* where, const std::exception_ptr& failure) noexcept {
    try {
        if (failure) std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        ShowFailureBox(owner, where, &e);
    } catch (...) {
        ShowFailureBox(owner, where, nullptr);
    }
}

// ------------------------------------------------------------------ Dialog

Dialog::~Dialog() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);  // the window outlives its object: it no longer dispatches
        if (!modal_) DestroyWindow(hwnd_);
    }
}

bool Dialog::Create(HWND parent) {
    Module::ActivationScope scope;
    modal_ = false;
    HWND window = CreateDialogParamW(Module::Instance(), MAKEINTRESOURCEW(templateId_), parent, &Dialog::Procedure,
                                     reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

INT_PTR Dialog::RunModal(HWND owner) {
    Module::ActivationScope scope;
    modal_ = true;
    INT_PTR result = DialogBoxParamW(Module::Instance(), MAKEINTRESOURCEW(templateId_), owner, &Dialog::Procedure,
                                     reinterpret_cast<LPARAM>(this));
    return result;
}

void Dialog::End(INT_PTR result) {
    if (modal_)
        EndDialog(hwnd_, result);
    else
        ShowWindow(hwnd_, SW_HIDE);
}

void Dialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDOK) OnOK();
    if (id == IDCANCEL) OnCancel();
}

bool Dialog::OnNotify(NMHDR&, LRESULT&) { return false; }
void Dialog::OnSize(int, int) {}
bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void Dialog::SetLayout(int id, Layout::Rule rule) {
    HWND control = Item(id);
    if (!control) return;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    layout_.push_back({control, {r.left, r.top, r.right, r.bottom}, rule});
}

void Dialog::ApplyLayout(int width, int height) {
    if (layout_.empty()) return;
    int dx = width - initialClient_.cx, dy = height - initialClient_.cy;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(layout_.size()));
    for (const Placement& p : layout_) {
        Layout::Rect r = Layout::Apply(p.original, p.rule, dx, dy);
        if (batch)
            batch = DeferWindowPos(batch, p.control, nullptr, r.left, r.top, r.Width(), r.Height(),
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch) EndDeferWindowPos(batch);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->hwnd_ = window;
        RECT client;
        GetClientRect(window, &client);
        self->initialClient_ = {client.right, client.bottom};
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;  // messages before WM_INITDIALOG get the default handling

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->Dispatch(message, wParam, lParam, result);
    } catch (const std::exception& e) {
        ShowFailureBox(window, MessageName("window message", message).text, &e);
    } catch (...) {
        ShowFailureBox(window, MessageName("window message", message).text, nullptr);
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->layout_.clear();
        CallGuarded<int>("PostNcDestroy", 0, [&] {
            self->PostNcDestroy();
            return 0;
        });
        return FALSE;
    }
    if (!handled) return FALSE;
    if (message == WM_INITDIALOG) return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_INITDIALOG:
            result = OnInitDialog() ? TRUE : FALSE;
            return true;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return true;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (!header) return false;
            if (Control* control = Control::FromHandle(header->hwndFrom))
                if (control->OnReflectedNotify(*header, result)) return true;
            return OnNotify(*header, result);
        }
        case WM_SIZE:
            ApplyLayout(LOWORD(lParam), HIWORD(lParam));
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return OnMessage(message, wParam, lParam, result);
        default:
            return OnMessage(message, wParam, lParam, result);
    }
}

// ----------------------------------------------------------------- Control

Control::~Control() { Detach(); }

bool Control::Attach(HWND window) {
    Detach();
    if (!window || !SetWindowSubclass(window, &Control::Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd_ = window;
    SetPropW(window, kControlProperty, this);
    return true;
}

void Control::Detach() {
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, &Control::Procedure, kSubclassId);
    RemovePropW(hwnd_, kControlProperty);
    hwnd_ = nullptr;
}

Control* Control::FromHandle(HWND window) {
    return window ? static_cast<Control*>(GetPropW(window, kControlProperty)) : nullptr;
}

bool Control::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool Control::OnReflectedNotify(NMHDR&, LRESULT&) { return false; }

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam) const {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<Control*>(data);
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->OnMessage(message, wParam, lParam, result);
    } catch (const std::exception& e) {
        ShowFailureBox(GetAncestor(window, GA_ROOT), MessageName("control message", message).text, &e);
    } catch (...) {
        ShowFailureBox(GetAncestor(window, GA_ROOT), MessageName("control message", message).text, nullptr);
    }
    if (message == WM_NCDESTROY) {
        if (!handled) result = DefSubclassProc(window, message, wParam, lParam);
        self->Detach();
        CallGuarded<int>("control end", 0, [&] {
            self->OnFinalMessage();
            return 0;
        });
        return result;
    }
    return handled ? result : DefSubclassProc(window, message, wParam, lParam);
}
