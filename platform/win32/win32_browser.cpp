// win32 backend: the system's web browser control hosted in place.
//
// [x] CLSID_WebBrowser in place in a program window, the blank page loaded
// [x] navigation, with the program's callback before each one (may cancel)
// [x] requests for a new window granted
// [x] closing a window after the callback has returned
//
// The host is the smallest OLE container the control accepts: a client
// site, an in-place site and frame, and an event sink for the browser's
// navigation events. Where no HTML engine is installed the control may
// still be created and simply shows nothing.
#include <windows.h>
// After windows.h, which they need.
#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>

#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

struct Host final : IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame, IDispatch {
  virtual ~Host() = default;
  LONG references = 1;
  HWND window = nullptr;
  int control = 0;
  IOleObject* object = nullptr;
  IWebBrowser2* browser = nullptr;
  IConnectionPoint* events = nullptr;
  DWORD cookie = 0;
  platform::NavigateHandler handler = nullptr;
  // The load of "about:blank" that creation starts has not reported yet. The
  // control may report it only once messages flow again, after the program
  // has attached its callback; it must not reach that callback.
  bool creationPending = true;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *out = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      *out = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
      *out = static_cast<IDispatch*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&references);
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* out) override {
    *out = window;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    GetClientRect(window, position);
    GetClientRect(window, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = window;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDispatch: the browser's events
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    // A new window asked for by the page is left to go ahead.
    if (id != DISPID_BEFORENAVIGATE2 || params->cArgs < 7) return S_OK;
    VARIANT* url = &params->rgvarg[5];
    VARIANT* cancel = &params->rgvarg[0];
    if (url->vt == (VT_BYREF | VT_VARIANT)) url = url->pvarVal;
    std::string text;
    if (url->vt == VT_BSTR && url->bstrVal != nullptr) {
      int length = WideCharToMultiByte(CP_ACP, 0, url->bstrVal, -1, nullptr, 0, nullptr, nullptr);
      if (length > 1) {
        text.resize(static_cast<size_t>(length - 1));
        WideCharToMultiByte(CP_ACP, 0, url->bstrVal, -1, &text[0], length, nullptr, nullptr);
      }
    }
    // Navigations report in the order they were started, so the first report
    // is the creation's blank page when it reports at all.
    bool first = creationPending;
    creationPending = false;
    if (handler == nullptr || (first && text == "about:blank")) return S_OK;
    bool proceed = handler(control, text) != 0;
    if (cancel->vt == (VT_BYREF | VT_BOOL))
      *cancel->pboolVal = proceed ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
  }
};

std::map<int, Host*> hosts;  // by control id

void Navigate(Host* host, const std::string& url) {
  int length = MultiByteToWideChar(CP_ACP, 0, url.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, url.c_str(), -1, &wide[0], length);
  BSTR target = SysAllocString(wide.c_str());
  VARIANT empty;
  VariantInit(&empty);
  host->browser->Navigate(target, &empty, &empty, &empty, &empty);
  SysFreeString(target);
}

void Shut(Host* host) {
  if (host->events != nullptr) {
    host->events->Unadvise(host->cookie);
    host->events->Release();
  }
  if (host->browser != nullptr) host->browser->Release();
  if (host->object != nullptr) {
    host->object->Close(OLECLOSE_NOSAVE);
    host->object->SetClientSite(nullptr);
    host->object->Release();
  }
  host->Release();
}

}  // namespace

namespace win32 {

void ReleaseBrowsersOf(HWND window) {
  for (auto it = hosts.begin(); it != hosts.end();) {
    if (it->second->window == window) {
      Shut(it->second);
      it = hosts.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace win32

namespace platform {

bool CreateBrowser(int window, int id, int x, int y, int width, int height) {
  HWND parent = win32::WindowHandle(window);
  if (parent == nullptr) return false;
  auto old = hosts.find(id);
  if (old != hosts.end()) {
    Shut(old->second);
    hosts.erase(old);
  }
  // The station identity query ended this thread's COM initialisation; the
  // browser needs OLE of its own.
  OleInitialize(nullptr);
  Host* host = new Host;
  host->window = parent;
  host->control = id;
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(&host->object)))) {
    host->object = nullptr;
    Shut(host);
    return false;
  }
  host->object->SetClientSite(static_cast<IOleClientSite*>(host));
  RECT area{x, y, x + width, y + height};
  host->object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(host), 0,
                       parent, &area);
  if (FAILED(host->object->QueryInterface(IID_IWebBrowser2,
                                          reinterpret_cast<void**>(&host->browser)))) {
    host->browser = nullptr;
    Shut(host);
    return false;
  }
  host->browser->put_Left(x);
  host->browser->put_Top(y);
  host->browser->put_Width(width);
  host->browser->put_Height(height);
  IConnectionPointContainer* points = nullptr;
  if (SUCCEEDED(host->object->QueryInterface(IID_IConnectionPointContainer,
                                             reinterpret_cast<void**>(&points)))) {
    if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &host->events))) {
      if (FAILED(host->events->Advise(static_cast<IDispatch*>(host), &host->cookie))) {
        host->events->Release();
        host->events = nullptr;
      }
    }
    points->Release();
  }
  // The control's own window, a child of the program window, is control `id`
  // and carries that id, as the program's other controls do.
  HWND controlWindow = nullptr;
  IOleWindow* oleWindow = nullptr;
  if (SUCCEEDED(
          host->object->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow)))) {
    if (SUCCEEDED(oleWindow->GetWindow(&controlWindow)) && controlWindow != nullptr) {
      SetWindowLongPtrA(controlWindow, GWLP_ID, id);
      win32::RegisterControl(window, id, controlWindow);
    }
    oleWindow->Release();
  }
  Navigate(host, "about:blank");
  hosts[id] = host;
  return true;
}

void BrowserNavigate(int id, const std::string& url) {
  auto it = hosts.find(id);
  if (it != hosts.end()) Navigate(it->second, url);
}

void SetBrowserNavigateHandler(int id, NavigateHandler handler) {
  auto it = hosts.find(id);
  if (it != hosts.end()) it->second->handler = handler;
}

void CloseWindowLater(int number) {
  // A close request, posted: it is taken after the browser's callback has
  // returned, and the event loop closes the window.
  if (HWND hwnd = win32::WindowHandle(number)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

}  // namespace platform
