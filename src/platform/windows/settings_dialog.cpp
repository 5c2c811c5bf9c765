#include "settings_dialog.h"

#include <array>
#include <cstddef>
#include <string>

#include "app/frm_steiner_conf.h"
#include "settings_layout.h"
#include "wide_text.h"

namespace drevanti::win32 {

namespace {

constexpr int kFirstControlId = 1000;

// An empty dialog template: the controls are made at their pixel places once the window is there.
// Layout: DLGTEMPLATE, then the menu, class and title arrays (each one empty WORD).
struct alignas(DWORD) EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu = 0, windowClass = 0, title = 0;
};

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

class SettingsDialog {
 public:
  static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void create(HWND window);
  void layout(UINT dpi, const RECT* suggested);
  void close();
  // The index in the form's controls, or -1.
  int controlIndex(HWND control) const;

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  std::array<HWND, frmSteinerConf::kControls.size()> controls_{};
  frmSteinerConf form_;
};

void SettingsDialog::create(HWND window) {
  window_ = window;
  SetWindowTextW(window_, widen(frmSteinerConf::kTitle).c_str());
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  // Made in tab order, which is the order the dialog manager moves the focus in.
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const FormControl& control = frmSteinerConf::kControls[i];
    const bool button = control.kind == FormControl::Kind::Button;
    const DWORD style = WS_CHILD | WS_VISIBLE |
                        (button ? static_cast<DWORD>(WS_TABSTOP | BS_PUSHBUTTON)
                                : static_cast<DWORD>(SS_LEFT | SS_NOPREFIX));
    controls_[i] = CreateWindowExW(
        0, button ? L"BUTTON" : L"STATIC", widen(control.text).c_str(), style, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i))),
        instance, nullptr);
  }
  layout(GetDpiForWindow(window_), nullptr);
  // Through the dialog manager, so that the focused button is also the one Enter presses.
  SendMessageW(window_, WM_NEXTDLGCTL,
               reinterpret_cast<WPARAM>(controls_[static_cast<std::size_t>(form_.focused())]),
               TRUE);
}

int SettingsDialog::controlIndex(HWND control) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i] == control && control != nullptr) return static_cast<int>(i);
  }
  return -1;
}

// Places the window and its controls for the given DPI, with the form's font at that DPI.
void SettingsDialog::layout(UINT dpi, const RECT* suggested) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  HFONT font = nullptr;
  if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    font = CreateFontIndirectW(&metrics.lfMessageFont);
  }
  const HFONT shown = font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const PixelBox box = controlBox(frmSteinerConf::kControls[i], dpi);
    SetWindowPos(controls_[i], nullptr, box.left, box.top, box.width, box.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
  }
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;

  const PixelBox client = clientBox(dpi);
  RECT frame{0, 0, client.width, client.height};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
  AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  if (suggested != nullptr) {
    SetWindowPos(window_, nullptr, suggested->left, suggested->top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  // Centred on the screen it opens on.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void SettingsDialog::close() {
  DestroyWindow(window_);
}

INT_PTR CALLBACK SettingsDialog::procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<SettingsDialog*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->create(window);
    return FALSE;  // the focus is set
  }
  auto* self = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      int control = -1;
      if (id >= kFirstControlId && HIWORD(wParam) == BN_CLICKED) {
        control = id - kFirstControlId;
      } else if (id == IDOK) {
        // Enter when the dialog has no default button: the focused button is pressed. Neither
        // button is the dialog's cancel button, so Escape (IDCANCEL) does nothing.
        control = self->controlIndex(GetFocus());
      }
      if (control < 0) return FALSE;
      self->form_.click(control);
      if (self->form_.unloaded()) self->close();
      return TRUE;
    }
    case WM_CLOSE:  // the title bar's close control
      self->form_.onCloseRequest();
      if (self->form_.unloaded()) self->close();
      return TRUE;
    case WM_DPICHANGED:
      self->layout(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return TRUE;
    case WM_DESTROY:
      if (self->font_ != nullptr) DeleteObject(self->font_);
      self->font_ = nullptr;
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int runSettingsDialog(HINSTANCE instance, HWND owner) {
  EmptyDialogTemplate dialogTemplate{};
  dialogTemplate.header.style = kStyle;
  SettingsDialog dialog;
  const HWND window =
      CreateDialogIndirectParamW(instance, &dialogTemplate.header, owner,
                                 &SettingsDialog::procedure, reinterpret_cast<LPARAM>(&dialog));
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    // Tab and Shift+Tab between the buttons, Space and Enter on the focused one.
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace drevanti::win32
