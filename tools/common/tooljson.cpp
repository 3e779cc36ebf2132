#include "tooljson.h"

namespace tooljson {

namespace {

struct Duplicate {
    std::string key;
};

} // namespace

json parse(const std::vector<unsigned char> &text) {
    // One set of keys per open object; a key met twice would silently win.
    std::vector<std::set<std::string>> open;
    json::parser_callback_t seen = [&open](int, json::parse_event_t event, json &parsed) {
        if (event == json::parse_event_t::object_start)
            open.emplace_back();
        else if (event == json::parse_event_t::object_end && !open.empty())
            open.pop_back();
        else if (event == json::parse_event_t::key && !open.empty() && !open.back().insert(parsed.get<std::string>()).second)
            throw Duplicate{parsed.get<std::string>()};
        return true;
    };
    try {
        return json::parse(text.begin(), text.end(), seen, true, false);
    } catch (const Duplicate &d) {
        throw Error("key \"" + d.key + "\" appears twice in one object");
    } catch (const json::parse_error &e) {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ..." without the tag.
        std::string what = e.what();
        size_t at = what.find("parse error");
        throw Error(at == std::string::npos ? what : what.substr(at));
    } catch (const json::exception &e) {
        // A number beyond what the reader can hold ("1e999") and the like.
        std::string what = e.what();
        size_t at = what.find("] ");
        throw Error(at == std::string::npos ? what : what.substr(at + 2));
    }
}

void known_keys(const json &obj, const std::set<std::string> &keys, const std::string &where) {
    if (!obj.is_object())
        throw Error(where + ": expected an object");
    for (auto it = obj.begin(); it != obj.end(); ++it)
        if (!keys.count(it.key()))
            throw Error(where + ": unknown field \"" + it.key() + "\"");
}

std::string text(const json &value, const std::string &where) {
    if (!value.is_string())
        throw Error(where + ": expected a string");
    return value.get<std::string>();
}

int64_t integer(const json &value, const std::string &where) {
    if (value.is_number_unsigned()) {
        if (value.get<uint64_t>() > uint64_t(INT64_MAX))
            throw Error(where + ": outside 64 bits");
        return static_cast<int64_t>(value.get<uint64_t>());
    }
    if (value.is_number_integer())
        return value.get<int64_t>();
    if (value.is_string()) {
        const std::string s = value.get<std::string>();
        bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
        bool negative = !hex && !s.empty() && s[0] == '-';
        size_t from = hex ? 2 : negative ? 1 : 0;
        uint64_t n = 0;
        bool ok = from < s.size() && s.size() - from <= (hex ? 16u : 18u);
        for (size_t i = from; ok && i < s.size(); ++i) {
            char c = s[i];
            int d = c >= '0' && c <= '9' ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : -1;
            if (d < 0)
                ok = false;
            else
                n = n * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        }
        if (ok && n <= uint64_t(INT64_MAX))
            return negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
    }
    throw Error(where + ": expected an integer (or a \"0x...\" string)");
}

} // namespace tooljson
