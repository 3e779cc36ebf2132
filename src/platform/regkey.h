// Owner of one open registry key: closed when the owner goes.
#pragma once

#include "../foundation/compat.h"

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { close(); }
    RegKey(RegKey &&other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegKey &operator=(RegKey &&other) noexcept {
        if (this != &other) {
            close();
            key_ = other.key_;
            other.key_ = nullptr;
        }
        return *this;
    }
    RegKey(const RegKey &) = delete;
    RegKey &operator=(const RegKey &) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // For the Reg* calls that hand back a key: closes the one held first.
    HKEY *out() {
        close();
        return &key_;
    }
    void close() {
        if (key_)
            RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};
