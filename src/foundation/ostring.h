// A text held in a narrow (ANSI code page) and a wide (UTF-16) form. The form
// assigned last is authoritative; the other is converted on first demand.
#pragma once

#include "compat.h"

class OString {
public:
    OString();
    explicit OString(const char *s);
    explicit OString(const WCHAR *s);
    ~OString();
    OString(const OString &) = delete;

    OString &operator=(const char *s);
    OString &operator=(const unsigned char *s);
    OString &operator=(const WCHAR *s);
    OString &operator=(const OString &other);
    OString &operator+=(const OString &other);
    OString &operator+=(const char *s);
    OString &operator+=(const WCHAR *s);
    OString &operator+=(char c);
    OString &operator+=(LONG value);

    // Frees both forms and makes empty storage for n characters; content is not kept.
    bool set_length(LONG n);
    LONG len() const;

    // Never null: an empty string yields a static empty text.
    operator WCHAR *() const { return wstring(); }
    operator char *() const { return nstring(); }
    operator unsigned char *() const { return reinterpret_cast<unsigned char *>(nstring()); }
    operator LONG() const;

    bool is_valid_n() const { return narrow_ && narrow_[0]; }
    bool is_valid_w() const { return wide_ && wide_[0]; }

protected:
    LONG nlen() const;
    LONG wlen() const;
    bool n_to_w() const;
    bool w_to_n() const;
    char *nstring() const;
    WCHAR *wstring() const;
    void clear_nstring();
    void clear_wstring();

private:
    bool append_wide(const WCHAR *tail, LONG taillen);
    void take(OString &other); // frees this string's storage and takes other's

    // Conversion on demand fills the other buffer of a logically const string.
    mutable char *narrow_;
    mutable WCHAR *wide_;
    LONG capacity_;
};
