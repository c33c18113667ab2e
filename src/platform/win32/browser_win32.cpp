// The Internet Explorer automation object (out of process), driven through
// IWebBrowser2 as the cleaner's first run needs it.
#include <exdisp.h>
#include <ole2.h>

#include <memory>
#include <utility>

#include "platform/browser.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/windows_lean.h"

namespace vorela {
namespace {

// {0002DF01-0000-0000-C000-000000000046}
const CLSID kClsidInternetExplorer = {
    0x0002DF01, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {D30C1661-CDAF-11D0-8A3E-00C04FC9E26E}
const IID kIidWebBrowser2 = {
    0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};

Win32Error FromHresult(HRESULT hr) {
  if (SUCCEEDED(hr)) return kErrorSuccess;
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return HRESULT_CODE(hr);
  return kErrorInvalidData;
}

struct Bstr {
  explicit Bstr(std::string_view utf8) : value(SysAllocString(win32::Widen(utf8).c_str())) {}
  ~Bstr() { SysFreeString(value); }
  BSTR value;
};

class IeWindow final : public BrowserWindow {
 public:
  explicit IeWindow(win32::ComPtr<IWebBrowser2> browser) : browser_(std::move(browser)) {}

  Win32Error ShowBrowserBar(std::string_view class_id, bool show, std::int16_t size) override {
    VARIANT id, visible, width;
    VariantInit(&id);
    VariantInit(&visible);
    VariantInit(&width);
    id.vt = VT_BSTR;
    id.bstrVal = SysAllocString(win32::Widen(class_id).c_str());
    visible.vt = VT_BOOL;
    visible.boolVal = show ? VARIANT_TRUE : VARIANT_FALSE;
    width.vt = VT_I2;
    width.iVal = size;
    HRESULT hr = browser_->ShowBrowserBar(&id, &visible, &width);
    VariantClear(&id);
    return FromHresult(hr);
  }

  Win32Error Navigate(std::string_view url) override {
    Bstr address(url);
    VARIANT empty;
    VariantInit(&empty);
    return FromHresult(browser_->Navigate(address.value, &empty, &empty, &empty, &empty));
  }

  Win32Error SetVisible(bool visible) override {
    return FromHresult(browser_->put_Visible(visible ? VARIANT_TRUE : VARIANT_FALSE));
  }

 private:
  win32::ComPtr<IWebBrowser2> browser_;
};

class IeBrowser final : public Browser {
 public:
  std::unique_ptr<BrowserWindow> NewWindow(Win32Error* error) override {
    HRESULT hr = win32::EnsureCom();
    win32::ComPtr<IWebBrowser2> browser;
    if (SUCCEEDED(hr)) {
      hr = CoCreateInstance(kClsidInternetExplorer, nullptr, CLSCTX_LOCAL_SERVER,
                            kIidWebBrowser2, browser.put_void());
    }
    if (FAILED(hr) || !browser) {
      if (error) *error = FromHresult(FAILED(hr) ? hr : E_FAIL);
      return nullptr;
    }
    if (error) *error = kErrorSuccess;
    return std::make_unique<IeWindow>(std::move(browser));
  }
};

}  // namespace

Browser& SystemBrowser() {
  static IeBrowser browser;
  return browser;
}

}  // namespace vorela
