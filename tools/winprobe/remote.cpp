#include "probe.h"

bool RemoteOpen(HWND hwnd, size_t size, RemoteBlock* blockOut) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return false;
  void* address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (address == nullptr) {
    CloseHandle(process);
    return false;
  }
  *blockOut = RemoteBlock{process, address, size};
  return true;
}

bool RemoteRead(const RemoteBlock* block, void* dest, size_t size) {
  SIZE_T done = 0;
  return ReadProcessMemory(block->process, block->address, dest, size, &done) && done == size;
}

bool RemoteWrite(const RemoteBlock* block, const void* src, size_t size) {
  SIZE_T done = 0;
  return WriteProcessMemory(block->process, block->address, src, size, &done) && done == size;
}

void RemoteClose(RemoteBlock* block) {
  VirtualFreeEx(block->process, block->address, 0, MEM_RELEASE);
  CloseHandle(block->process);
  block->process = nullptr;
  block->address = nullptr;
}
