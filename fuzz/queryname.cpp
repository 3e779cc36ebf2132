// Arbitrary value names read as printer queries, as the port software reads them.
#include "store/printerquery.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<WCHAR> name(size / 2 + 1, 0);
    for (size_t i = 0; i + 1 < size; i += 2)
        name[i / 2] = static_cast<WCHAR>(data[i] | data[i + 1] << 8);
    LONG avail = static_cast<LONG>((size / 2) * 2);
    QueryRequest q;
    if (!ParseQueryRequest(name.data(), avail, &q))
        return 0;
    // A request that parses names a command inside the bytes given, and builds back the same.
    const auto *begin = reinterpret_cast<const unsigned char *>(name.data());
    if (q.cmd < begin || q.cmd + q.cmd_len > begin + avail)
        std::abort();
    std::vector<WCHAR> again(static_cast<size_t>(QueryRequestBytes(q.cmd_len)) / 2);
    unsigned min_reply = q.min_reply;
    if (!BuildQueryRequest(reinterpret_cast<const char *>(q.cmd), q.cmd_len, q.wants_reply ? 1 : 0, min_reply,
                           again.data(), QueryRequestBytes(q.cmd_len)))
        std::abort();
    QueryRequest r;
    if (!ParseQueryRequest(again.data(), QueryRequestBytes(q.cmd_len), &r) || r.cmd_len != q.cmd_len ||
        r.wants_reply != q.wants_reply || (q.wants_reply && r.min_reply != q.min_reply))
        std::abort();
    for (unsigned i = 0; i < q.cmd_len; ++i)
        if (r.cmd[i] != q.cmd[i])
            std::abort();
    return 0;
}
