// Everything the driver's reader and model lookup would stumble on, with the
// record and the offset where it happens.
#include "ddtc.h"

#include "model/ddtformat.h"
#include "model/ddtmodel.h"
#include "model/prtres.h"
#include "model/records.h"

#include <cstdio>
#include <map>
#include <set>

namespace ddtc {

namespace {

std::string hex32(uint64_t v) {
    char buf[24];
    snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(v));
    return buf;
}

// A name as text for the report: control characters and quotes escaped.
std::string shown(const std::string &name) {
    std::string s;
    for (unsigned char c : name) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == '"' || c == '\\') {
            char buf[8];
            snprintf(buf, sizeof buf, "\\x%02x", c);
            s += buf;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s;
}

struct Checker {
    std::vector<Problem> out;
    // File offset of each record the reader took, in table order.
    std::vector<size_t> at;
    prtres res;

    void error(const std::string &s) { out.push_back({true, s}); }
    void warning(const std::string &s) { out.push_back({false, s}); }

    std::string where(const res_node *r) {
        size_t i = 0;
        for (ONode *n = res.GetHead(); n && n != r; n = n->GetNext())
            ++i;
        std::string s = "record " + std::to_string(r->GetID());
        if (r->GetName()[0])
            s += std::string(" \"") + r->GetName() + "\"";
        return s + " (file offset " + hex32(i < at.size() ? at[i] : 0) + ")";
    }

    void container(const Bytes &file) {
        size_t pos = 0;
        while (true) {
            if (pos + 4 > file.size()) {
                if (pos < file.size())
                    error("file offset " + hex32(pos) + ": " + std::to_string(file.size() - pos) +
                          " bytes left, too few for a record length");
                else
                    warning("file offset " + hex32(pos) + ": no end marker (a 0 record length); the file's end "
                            "serves");
                return;
            }
            uint32_t length = le::u32(&file[pos]);
            if (length == 0) {
                if (pos + 4 < file.size())
                    warning("file offset " + hex32(pos + 4) + ": " + std::to_string(file.size() - pos - 4) +
                            " bytes after the end marker are never read");
                return;
            }
            ddt::Fault f = ddt::Fault::none;
            if (length < ddt::kMinRecord)
                f = ddt::Fault::too_short;
            else if (length > file.size() - pos || length > static_cast<uint32_t>(INT32_MAX))
                f = ddt::Fault::truncated;
            else
                f = ddt::parse_record(&file[pos], length, nullptr);
            if (f != ddt::Fault::none) {
                std::string s = "file offset " + hex32(pos) + ": record " + std::to_string(at.size() + 1) +
                                " (length " + std::to_string(length);
                if (pos + 16 <= file.size())
                    s += ", id " + std::to_string(le::i32(&file[pos + 12]));
                s += "): " + std::string(ddt::fault_text(f));
                if (f == ddt::Fault::truncated)
                    s += " (" + std::to_string(file.size() - pos) + " bytes left)";
                if (f == ddt::Fault::data_outside)
                    s += " (data at " + hex32(le::u32(&file[pos + 8])) + ", " +
                         std::to_string(le::i32(&file[pos + 4])) + " bytes)";
                error(s + "; the reader stops here and drops the rest of the file");
                return;
            }
            at.push_back(pos);
            pos += length;
        }
    }

    void duplicates() {
        std::map<LONG, int> seen;
        for (ONode *n = res.GetHead(); n; n = n->GetNext()) {
            auto *r = static_cast<res_node *>(n);
            if (seen[r->GetID()]++ == 1)
                warning(where(r) + ": id used again; lookups find only the first record with it");
        }
    }

    void names(const res_node *dir, const MDT *mdt) {
        const unsigned char *p = dir->GetData();
        uint32_t size = static_cast<uint32_t>(dir->GetSize());
        if (ddt::wide_length_at(p, size, mdt->short_name_offset) < 0)
            error(where(dir) + ": short manufacturer name at " + hex32(mdt->short_name_offset) +
                  " is not a NUL-terminated text inside the directory");
        if (mdt->manufacturer_name_offset && ddt::wide_length_at(p, size, mdt->manufacturer_name_offset) < 0)
            error(where(dir) + ": manufacturer name at " + hex32(mdt->manufacturer_name_offset) +
                  " is not a NUL-terminated text inside the directory");
    }

    void model(const res_node *dir, const ddt::Entry &e, const std::string &name) {
        std::string who = where(dir) + ", entry \"" + name + "\" at " + hex32(e.offset);
        res_node *pdt_res = res.Find(e.pdt_id);
        if (!pdt_res) {
            error(who + ": printer data table " + std::to_string(e.pdt_id) + " is missing");
            return;
        }
        PDT *pdt = ddt::as_pdt(pdt_res);
        if (!pdt) {
            error(where(pdt_res) + ": printer data table of \"" + name + "\" is " +
                  std::to_string(pdt_res->GetSize()) + " bytes, needs " + std::to_string(sizeof(PDT)));
            return;
        }
        if (const char *why = ddt::pdt_problem(pdt))
            error(where(pdt_res) + ": printer data table of \"" + name + "\": " + why + " (dpi " +
                  std::to_string(pdt->dpi) + ", printer_dpi " + std::to_string(pdt->printer_dpi) + ", printable " +
                  std::to_string(pdt->printable_width) + " x " + std::to_string(pdt->printable_length) +
                  " um, unprintable_width " + std::to_string(pdt->unprintable_width) + " um, paper width " +
                  std::to_string(pdt->min_paper_width) + " to " + std::to_string(pdt->max_paper_width) +
                  ", length " + std::to_string(pdt->min_paper_length) + " to " +
                  std::to_string(pdt->max_paper_length) + " (0.1 mm)); the driver cannot use the model");
        if (pdt->ext_offset >= static_cast<uint32_t>(pdt_res->GetSize()))
            warning(where(pdt_res) + ": ext_offset " + hex32(pdt->ext_offset) +
                    " lies outside the table; the model has no extension block");
        res_node *caps_res = res.Find(pdt->capabilities_id);
        if (!caps_res) {
            error(where(pdt_res) + ": capability table " + std::to_string(pdt->capabilities_id) +
                  " (capabilities_id at offset " + hex32(offsetof(PDT, capabilities_id)) + ") is missing");
            return;
        }
        if (const char *why = ddt::caps_problem(caps_res->GetData(), static_cast<uint32_t>(caps_res->GetSize()))) {
            std::string s = where(caps_res) + ": " + why + " (" + std::to_string(caps_res->GetSize()) + " bytes";
            if (caps_res->GetSize() >= static_cast<LONG>(sizeof(VXCapabilitiesData))) {
                auto *c = reinterpret_cast<const VXCapabilitiesData *>(caps_res->GetData());
                s += "; table at " + hex32(c->symbology_offset) + ", " + std::to_string(c->symbology_count) +
                     " records of " + std::to_string(c->symbology_size);
            }
            error(s + ")");
        }
    }

    void directories() {
        std::map<std::string, std::string> listed; // model name -> where first listed
        bool any = false;
        for (LONG id = ddt::kFirstDirectory; id <= ddt::kLastDirectory; ++id) {
            res_node *dir = res.Find(id);
            if (!dir)
                continue;
            any = true;
            MDT *mdt = ddt::as_directory(dir);
            if (!mdt) {
                error(where(dir) + ": directory is " + std::to_string(dir->GetSize()) + " bytes, needs " +
                      std::to_string(sizeof(MDT)));
                continue;
            }
            names(dir, mdt);
            ddt::directory_walk walk(dir->GetData(), static_cast<uint32_t>(dir->GetSize()));
            ddt::Entry e;
            while (walk.next(&e)) {
                OString name;
                e.name_to(name);
                std::string n = shown(name.nstring());
                if (const char *why = e.name_problem())
                    error(where(dir) + ", entry \"" + n + "\" at " + hex32(e.offset) + ": " + why +
                          "; the model cannot be installed");
                if (listed.count(n)) {
                    warning(where(dir) + ", entry \"" + n + "\" at " + hex32(e.offset) +
                            ": already listed in " + listed[n] + "; this entry is used only when that one fails");
                } else {
                    listed[n] = where(dir);
                }
                model(dir, e, n);
            }
            if (walk.broken())
                error(where(dir) + ": entry at " + hex32(walk.broken_offset()) +
                      " runs past the directory's end (model_count " + std::to_string(mdt->model_count) + ")");
        }
        if (!any)
            error("no model directory (ids " + std::to_string(ddt::kFirstDirectory) + " to " +
                  std::to_string(ddt::kLastDirectory) + ")");
    }
};

} // namespace

std::vector<Problem> check(const Bytes &file) {
    Checker c;
    c.container(file);
    // The driver's own reader fills the table the lookups run on.
    c.res.LoadBytes(file.data(), file.size());
    if (static_cast<size_t>(c.res.Count()) != c.at.size())
        c.error("internal: the reader took " + std::to_string(c.res.Count()) + " records, the scan " +
                std::to_string(c.at.size()));
    c.duplicates();
    c.directories();
    return c.out;
}

} // namespace ddtc
