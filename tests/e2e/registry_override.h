// A registry value that a test changes for its own duration: the value (and
// any key created for it) is put back as it was when the object goes, so
// the run's Wine prefix is left as it was found.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class RegistryOverride {
 public:
  // An empty value name is the key's default value.
  RegistryOverride(HKEY root, std::string key, std::string value) : root_(root), key_(key), value_(value) {
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root_, key_.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS) {
      DWORD size = 0;
      if (::RegQueryValueExA(h, value_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
        data_.resize(size);
        if (::RegQueryValueExA(h, value_.c_str(), nullptr, &type_, reinterpret_cast<BYTE*>(data_.data()), &size) ==
            ERROR_SUCCESS) {
          data_.resize(size);
          hadValue_ = true;
        }
      }
      ::RegCloseKey(h);
    }
  }
  ~RegistryOverride() { Restore(); }
  RegistryOverride(const RegistryOverride&) = delete;
  RegistryOverride& operator=(const RegistryOverride&) = delete;

  bool SetString(const std::string& text) { return SetRaw(REG_SZ, std::string(text).append(1, '\0')); }
  bool SetRaw(DWORD type, const std::string& bytes) {
    HKEY h = Create();
    if (!h) return false;
    LONG rc = ::RegSetValueExA(h, value_.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(h);
    return rc == ERROR_SUCCESS;
  }
  // Removes the value (the key stays).
  void Remove() {
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root_, key_.c_str(), 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
      ::RegDeleteValueA(h, value_.c_str());
      ::RegCloseKey(h);
    }
  }

 private:
  // Opens the key for writing, creating it and any missing parents, which
  // are remembered so that they go again afterwards.
  HKEY Create() {
    std::string path;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
      std::size_t next = key_.find('\\', pos);
      path = key_.substr(0, next);
      pos = next == std::string::npos ? next : next + 1;
      HKEY probe = nullptr;
      if (::RegOpenKeyExA(root_, path.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
        ::RegCloseKey(probe);
      } else {
        created_.push_back(path);
      }
    }
    HKEY h = nullptr;
    if (::RegCreateKeyExA(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS) {
      return nullptr;
    }
    return h;
  }

  void Restore() {
    if (hadValue_) {
      SetRaw(type_, data_);
    } else {
      Remove();
    }
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) ::RegDeleteKeyA(root_, it->c_str());
    created_.clear();
  }

  HKEY root_;
  std::string key_;
  std::string value_;
  bool hadValue_ = false;
  DWORD type_ = REG_NONE;
  std::string data_;
  std::vector<std::string> created_;
};

}  // namespace e2e
