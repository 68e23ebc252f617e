// win32 backend: system identity, SHA-1 and the push report's HTTP.
//
// [x] GetVersionExA
// [x] adapter addresses through a WMI refresher on Win32_NetworkAdapterConfiguration
// [x] UuidCreateSequential looked up at run time in rpcrt4
// [x] SHA-1 through CryptoAPI
// [x] WinInet: direct, synchronous, no cookies, no cache, with time-outs
#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <rpc.h>
#include <wbemcli.h>
#include <wincrypt.h>
#include <wininet.h>

#include <cstring>
#include <string>
#include <vector>

// wininet.h makes these names macros; the seam has functions called so.
#undef HttpOpenRequest
#undef HttpSendRequest
#include "platform/platform.h"

namespace platform {
struct HttpHandle {
  HINTERNET handle;
  DWORD timeoutMs;  // 0: the library's defaults
};
}  // namespace platform

namespace {

constexpr int kAdapterSlots = 101;
constexpr int kAddressBufferBytes = 500;

// Converts the UTF-16 text of a property (it ends at the first zero
// character) to the system's 8-bit code page.
std::string Narrow(const wchar_t* text, size_t maxChars) {
  size_t length = 0;
  while (length < maxChars && text[length] != 0) ++length;
  if (length == 0) return {};
  int bytes =
      WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &narrow[0], bytes, nullptr,
                      nullptr);
  return narrow;
}

void SetBlanket(IUnknown* proxy) {
  CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

// The two refresh-and-fetch passes: the first finds the "MACAddress"
// property handle, the second reads every object's address.
void ReadAddresses(IWbemRefresher* refresher, IWbemHiPerfEnum* enumerator, int limit,
                   std::vector<std::string>* addressesOut) {
  IWbemObjectAccess* objects[kAdapterSlots] = {};
  ULONG returned = 0;
  if (FAILED(refresher->Refresh(0L))) return;
  if (FAILED(enumerator->GetObjects(0L, kAdapterSlots, objects, &returned)) || returned == 0) {
    return;
  }
  long handle = 0;
  CIMTYPE type = 0;
  HRESULT found = objects[0]->GetPropertyHandle(L"MACAddress", &type, &handle);
  for (ULONG i = 0; i < returned && i < kAdapterSlots; ++i) objects[i]->Release();
  if (FAILED(found)) return;

  returned = 0;
  if (FAILED(refresher->Refresh(0L))) return;
  if (FAILED(enumerator->GetObjects(0L, kAdapterSlots, objects, &returned))) return;
  // The property arrives as UTF-16 text; wchar_t keeps the buffer aligned for it.
  wchar_t buffer[kAddressBufferBytes / sizeof(wchar_t)] = {};
  for (ULONG i = 0; i < returned && i < kAdapterSlots; ++i) {
    long read = 0;
    std::string address;
    if (SUCCEEDED(objects[i]->ReadPropertyValue(handle, sizeof buffer, &read,
                                                reinterpret_cast<BYTE*>(buffer)))) {
      address = Narrow(buffer, sizeof buffer / sizeof buffer[0]);
    }
    if (static_cast<int>(addressesOut->size()) < limit) addressesOut->push_back(address);
    std::memset(buffer, 0, sizeof buffer);
    objects[i]->Release();
  }
}

// Sets the connect, send and receive time-outs of one handle. Windows hands
// the internet handle's time-outs down to the connections and requests made
// from it; Wine does not pass the send and receive time-outs on from the
// internet handle, so every handle the report opens gets them itself.
void ApplyTimeouts(HINTERNET handle, DWORD ms) {
  if (ms == 0) return;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(handle, option, &ms, sizeof ms);
  }
}

}  // namespace

namespace platform {

// System identity

void OsVersion(int* platformIdOut, int* majorOut, int* minorOut) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&info);
#pragma GCC diagnostic pop
  *platformIdOut = static_cast<int>(info.dwPlatformId);
  *majorOut = static_cast<int>(info.dwMajorVersion);
  *minorOut = static_cast<int>(info.dwMinorVersion);
}

std::string ToolkitToken() {
  return "Win32";
}

std::vector<std::string> AdapterAddresses(int limit) {
  std::vector<std::string> addresses;
  // The thread is a single-threaded apartment already, so this request is
  // refused and the query runs in that apartment. Only an initialisation
  // made here is undone at the end: the apartment must outlive the query,
  // since ShellExecuteA on this thread may hand a URL to a shell handler
  // that is a COM object.
  HRESULT initialised = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                       RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_NONE, nullptr);
  IWbemLocator* locator = nullptr;
  IWbemServices* services = nullptr;
  IWbemRefresher* refresher = nullptr;
  IWbemHiPerfEnum* enumerator = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                 reinterpret_cast<void**>(&locator)))) {
    BSTR space = SysAllocString(L"root\\cimv2");
    HRESULT connected =
        locator->ConnectServer(space, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
    SysFreeString(space);
    if (SUCCEEDED(connected)) {
      SetBlanket(services);
      IUnknown* unknown = nullptr;
      if (SUCCEEDED(services->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)))) {
        SetBlanket(unknown);
        unknown->Release();
      }
      if (SUCCEEDED(CoCreateInstance(CLSID_WbemRefresher, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IWbemRefresher, reinterpret_cast<void**>(&refresher)))) {
        IWbemConfigureRefresher* configure = nullptr;
        if (SUCCEEDED(refresher->QueryInterface(IID_IWbemConfigureRefresher,
                                                reinterpret_cast<void**>(&configure)))) {
          long id = 0;
          configure->AddEnum(services, L"Win32_NetworkAdapterConfiguration", 0, nullptr,
                             &enumerator, &id);
          configure->Release();
        }
        if (enumerator != nullptr) ReadAddresses(refresher, enumerator, limit, &addresses);
      }
    }
  }
  if (enumerator != nullptr) enumerator->Release();
  if (refresher != nullptr) refresher->Release();
  if (services != nullptr) services->Release();
  if (locator != nullptr) locator->Release();
  if (SUCCEEDED(initialised)) CoUninitialize();
  return addresses;
}

bool SequentialUuid(unsigned char uuidOut[16]) {
  HMODULE library = LoadLibraryA("rpcrt4");
  if (library == nullptr) return false;
  using Create = RPC_STATUS(RPC_ENTRY*)(UUID*);
  Create create = reinterpret_cast<Create>(
      reinterpret_cast<void*>(GetProcAddress(library, "UuidCreateSequential")));
  if (create == nullptr) {
    FreeLibrary(library);
    return false;
  }
  UUID uuid{};
  create(&uuid);  // its result code tells nothing the bytes don't
  FreeLibrary(library);
  std::memcpy(uuidOut, &uuid, 16);
  return true;
}

// Digest

bool Sha1(const void* bytes, size_t size, unsigned char digestOut[20]) {
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
    return false;
  }
  HCRYPTHASH hash = 0;
  bool done = false;
  if (CryptCreateHash(provider, CALG_SHA1, 0, 0, &hash)) {
    DWORD length = 20;
    done = CryptHashData(hash, static_cast<const BYTE*>(bytes), static_cast<DWORD>(size), 0) &&
           CryptGetHashParam(hash, HP_HASHVAL, digestOut, &length, 0) && length == 20;
    CryptDestroyHash(hash);
  }
  CryptReleaseContext(provider, 0);
  return done;
}

// HTTP

Http HttpOpenSession(const std::string& agent) {
  HINTERNET session = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
  return session == nullptr ? nullptr : new HttpHandle{session, 0};
}

void HttpSetTimeouts(Http session, int ms) {
  session->timeoutMs = static_cast<DWORD>(ms);
  ApplyTimeouts(session->handle, session->timeoutMs);
}

Http HttpConnect(Http session, const std::string& host, int port) {
  HINTERNET connection =
      InternetConnectA(session->handle, host.c_str(), static_cast<INTERNET_PORT>(port), "", "",
                       INTERNET_SERVICE_HTTP, 0, 0);
  if (connection == nullptr) return nullptr;
  ApplyTimeouts(connection, session->timeoutMs);
  return new HttpHandle{connection, session->timeoutMs};
}

Http HttpOpenRequest(Http connection, const std::string& verb, const std::string& path) {
  HINTERNET request =
      HttpOpenRequestA(connection->handle, verb.c_str(), path.c_str(), "", "", nullptr,
                       INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_PRAGMA_NOCACHE, 0);
  if (request == nullptr) return nullptr;
  ApplyTimeouts(request, connection->timeoutMs);
  return new HttpHandle{request, connection->timeoutMs};
}

bool HttpSendRequest(Http request) {
  return HttpSendRequestA(request->handle, "", 0, nullptr, 0) != FALSE;
}

int HttpReadAnswer(Http request, void* buffer, int size) {
  DWORD read = 0;
  if (!InternetReadFile(request->handle, buffer, static_cast<DWORD>(size), &read)) return 0;
  return static_cast<int>(read);
}

void HttpClose(Http handle) {
  if (handle == nullptr) return;
  InternetCloseHandle(handle->handle);
  delete handle;
}

}  // namespace platform
