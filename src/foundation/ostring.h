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

    // The two forms, converted on demand; never null (an empty string yields a
    // static empty text). Read-only: text is written only through assignment
    // or wbuffer/commit_w, so that the other form never goes stale.
    const WCHAR *wstring() const;
    const char *nstring() const;
    // atol of the narrow form.
    explicit operator LONG() const;

    // Writable storage for a wide text of up to n - 1 characters and its NUL,
    // for calls that fill a caller's buffer (GetDlgItemTextW and the like);
    // null when n < 1 or memory runs out. The string is empty until commit_w,
    // which makes the written text the string's wide form (the narrow form is
    // then converted from it on demand).
    WCHAR *wbuffer(LONG n);
    void commit_w();

    bool is_valid_n() const { return narrow_ && narrow_[0]; }
    bool is_valid_w() const { return wide_ && wide_[0]; }

protected:
    LONG nlen() const;
    LONG wlen() const;
    bool n_to_w() const;
    bool w_to_n() const;
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
