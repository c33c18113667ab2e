// The SAX reader over the platform's MSXML 6.0 SAX reader (COM).
//
// A bridge object on the stack is registered as the reader's content and error
// handler; it turns the wide callbacks into UTF-8 and the handlers' numbers
// into failing HRESULTs. The reader is created per parse and released before
// the bridge goes out of scope, so the bridge needs no reference counting.
#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "platform/sax_reader.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/windows_lean.h"

namespace vorela {
namespace {

// Defined here under our own names so that no other file's GUID definitions
// can collide with these.
constexpr CLSID kClsidSaxXmlReader60 = {
    0x88d96a0c, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
constexpr IID kIidSaxXmlReader = {
    0xa4f96ed0, 0xf829, 0x476e, {0x81, 0xc0, 0xcd, 0xc7, 0xbd, 0x2a, 0x08, 0x02}};
constexpr IID kIidSaxContentHandler = {
    0x1545cdfa, 0x9e4e, 0x4497, {0xa8, 0xa4, 0x2b, 0xf7, 0xd0, 0x11, 0x2c, 0x44}};
constexpr IID kIidSaxErrorHandler = {
    0xa60511c4, 0xccf5, 0x479e, {0x98, 0xa3, 0xdc, 0x8d, 0xc5, 0x45, 0xb7, 0xd0}};
constexpr IID kIidUnknown = {
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::string Utf8(const wchar_t* text, int count) {
  if (!text || count <= 0) return {};
  return win32::Narrow(std::wstring_view(text, static_cast<std::size_t>(count)));
}

std::string Utf8(const wchar_t* text) { return text ? win32::Narrow(text) : std::string(); }

SaxLocation LocationOf(ISAXLocator* locator) {
  SaxLocation where;
  int line = 0, column = 0;
  if (locator && SUCCEEDED(locator->getLineNumber(&line))) where.line = line;
  if (locator && SUCCEEDED(locator->getColumnNumber(&column))) where.column = column;
  return where;
}

class Bridge final : public ISAXContentHandler, public ISAXErrorHandler {
 public:
  Bridge(SaxContentHandler& content, SaxErrorHandler& errors)
      : content_(content), errors_(errors) {}

  bool stopped() const { return stopped_; }
  SaxResult stop_number() const { return stop_number_; }
  const SaxLocation& stop_where() const { return stop_where_; }
  bool fatal_seen() const { return fatal_seen_; }
  const SaxStatus& fatal() const { return fatal_; }

  // IUnknown: the bridge lives on the stack and outlives the reader.
  HRESULT WINAPI QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, kIidUnknown) || IsEqualIID(riid, kIidSaxContentHandler)) {
      *object = static_cast<ISAXContentHandler*>(this);
    } else if (IsEqualIID(riid, kIidSaxErrorHandler)) {
      *object = static_cast<ISAXErrorHandler*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG WINAPI AddRef() override { return 2; }
  ULONG WINAPI Release() override { return 1; }

  // ISAXContentHandler
  HRESULT WINAPI putDocumentLocator(ISAXLocator* locator) override {
    locator_ = locator;  // valid for the parse only; used to place a stop
    return S_OK;
  }
  HRESULT WINAPI startDocument() override { return S_OK; }
  HRESULT WINAPI endDocument() override { return S_OK; }
  HRESULT WINAPI startPrefixMapping(const wchar_t*, int, const wchar_t*, int) override {
    return S_OK;
  }
  HRESULT WINAPI endPrefixMapping(const wchar_t*, int) override { return S_OK; }
  HRESULT WINAPI startElement(const wchar_t* uri, int uri_length, const wchar_t* local,
                              int local_length, const wchar_t*, int, ISAXAttributes*) override {
    if (stopped_) return E_FAIL;
    return Check(content_.StartElement(Utf8(uri, uri_length), Utf8(local, local_length)));
  }
  HRESULT WINAPI endElement(const wchar_t* uri, int uri_length, const wchar_t* local,
                            int local_length, const wchar_t*, int) override {
    if (stopped_) return E_FAIL;
    return Check(content_.EndElement(Utf8(uri, uri_length), Utf8(local, local_length)));
  }
  HRESULT WINAPI characters(const wchar_t* text, int length) override {
    if (stopped_) return E_FAIL;
    // Text the handler does not keep now is neither converted nor passed on.
    if (length <= 0 || !content_.wants_characters()) return S_OK;
    return Check(content_.Characters(Utf8(text, length)));
  }
  HRESULT WINAPI ignorableWhitespace(const wchar_t*, int) override { return S_OK; }
  HRESULT WINAPI processingInstruction(const wchar_t*, int, const wchar_t*, int) override {
    return S_OK;
  }
  HRESULT WINAPI skippedEntity(const wchar_t*, int) override { return S_OK; }

  // ISAXErrorHandler
  HRESULT WINAPI error(ISAXLocator* locator, const wchar_t* message, HRESULT code) override {
    if (stopped_) return E_FAIL;
    SaxLocation where = LocationOf(locator);
    return Check(errors_.RecoverableError(where, Utf8(message), code), &where);
  }
  HRESULT WINAPI fatalError(ISAXLocator* locator, const wchar_t* message, HRESULT code) override {
    if (stopped_ || fatal_seen_) return code;
    fatal_seen_ = true;
    fatal_.outcome = SaxOutcome::kDocumentError;
    fatal_.number = code != 0 ? code : E_FAIL;
    fatal_.where = LocationOf(locator);
    fatal_.message = Utf8(message);
    errors_.FatalError(fatal_.where, fatal_.message, fatal_.number);
    return code;
  }
  HRESULT WINAPI ignorableWarning(ISAXLocator* locator, const wchar_t* message,
                                  HRESULT code) override {
    if (stopped_) return E_FAIL;
    SaxLocation where = LocationOf(locator);
    return Check(errors_.IgnorableWarning(where, Utf8(message), code), &where);
  }

 private:
  HRESULT Check(SaxResult result, const SaxLocation* where = nullptr) {
    if (result == kSaxContinue) return S_OK;
    stopped_ = true;
    stop_number_ = result;
    stop_where_ = where ? *where : LocationOf(locator_);
    return E_FAIL;
  }

  SaxContentHandler& content_;
  SaxErrorHandler& errors_;
  ISAXLocator* locator_ = nullptr;
  bool stopped_ = false;
  SaxResult stop_number_ = kSaxContinue;
  SaxLocation stop_where_;
  bool fatal_seen_ = false;
  SaxStatus fatal_;
};

class MsxmlSaxReader final : public SaxReader {
 public:
  SaxStatus Parse(std::string_view path, SaxContentHandler& content,
                  SaxErrorHandler& errors) override {
    SaxStatus status;
    if (const HRESULT com = win32::EnsureCom(); FAILED(com)) return Unavailable(com);
    Bridge bridge(content, errors);
    HRESULT hr;
    {
      win32::ComPtr<ISAXXMLReader> reader;
      hr = CoCreateInstance(kClsidSaxXmlReader60, nullptr, CLSCTX_INPROC_SERVER, kIidSaxXmlReader,
                            reader.put_void());
      if (FAILED(hr)) return Unavailable(hr);
      reader->putFeature(L"prohibit-dtd", VARIANT_TRUE);
      hr = reader->putContentHandler(&bridge);
      if (SUCCEEDED(hr)) hr = reader->putErrorHandler(&bridge);
      if (FAILED(hr)) return Unavailable(hr);
      if (path.find('\0') != std::string_view::npos) {
        hr = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
      } else {
        const std::wstring wide = win32::Widen(path);
        hr = reader->parseURL(wide.c_str());
      }
      // Nothing of the reader may call into the bridge after this block.
      reader->putContentHandler(nullptr);
      reader->putErrorHandler(nullptr);
    }
    if (bridge.stopped()) {
      status.outcome = SaxOutcome::kStoppedByHandler;
      status.number = bridge.stop_number();
      status.where = bridge.stop_where();
      status.message = "Stopped by the handler.";
    } else if (bridge.fatal_seen()) {
      status = bridge.fatal();
    } else if (FAILED(hr)) {
      status.outcome = SaxOutcome::kReadError;
      status.number = hr;
      status.message = "The file cannot be read.";
    }
    return status;
  }

 private:
  static SaxStatus Unavailable(HRESULT hr) {
    SaxStatus status;
    status.outcome = SaxOutcome::kUnavailable;
    status.number = FAILED(hr) ? hr : E_FAIL;
    status.message = "The XML reader cannot be created.";
    return status;
  }
};

}  // namespace

SaxReader& SystemSaxReader() {
  static MsxmlSaxReader reader;
  return reader;
}

}  // namespace vorela
